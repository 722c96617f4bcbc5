#pragma once

// Where the request window works: the hotel's data folder. Started from a
// terminal in that folder, vdx works there; started from the desktop's menu
// (in the home folder), it asks once for the folder and remembers it.

#include <QString>
#include <filesystem>
#include <functional>
#include <optional>

namespace vdx::ui {

// Whether `cartella` holds the hotel's files (AnagraficaHotels.mdb, in any
// letter case).
bool CartellaDiHotel(const std::filesystem::path& cartella);

// The folder: `indicata` (vdx --folder) as it is; else `corrente` when it
// holds the hotel's files; else the one remembered when it still does; else
// the one the user picks, asked until it holds them, then remembered.
// nullopt when the user gives up.
std::optional<std::filesystem::path>
CartellaHotel(const std::optional<std::filesystem::path>& indicata,
              const std::filesystem::path& corrente);

// Where the folder is remembered (QSettings: organisation and application).
inline const QString OrganizzazioneImpostazioni = QStringLiteral("Vardelux");
inline const QString ApplicazioneImpostazioni = QStringLiteral("Vardelux");

// Test seam: the folder dialog. Given the folder to start from, it returns
// the one picked, or nullopt for Annulla. Empty restores the real dialog.
using ChiediCartellaFn =
    std::function<std::optional<std::filesystem::path>(const std::filesystem::path& partenza)>;
void ImpostaChiediCartella(ChiediCartellaFn fn);

} // namespace vdx::ui
