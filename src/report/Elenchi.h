#pragma once

// The hotels, the tableaux of a hotel and the room range of a tableau, as the
// request window offers them and as `vdx generate` takes its defaults.

#include <filesystem>
#include <string>
#include <vector>

namespace vdx {

namespace jet {
class Archivi;
class Recordset;
} // namespace jet

namespace suite {
struct TabellaSuite;
} // namespace suite

struct VoceElenco {
    int numero = 0;   // hotel Numero or tableau Codice
    std::string nome; // RagioneSociale or Descrizione, as stored
    // The list entry: the number right-aligned in three characters, one
    // blank, the name ("  7 Hotel Lago").
    std::string Testo() const;
};

// A dynaset over a table of the suite among the files of a run: the whole
// table, or "Select * From" it with `selezione` after its name (" Where ...").
jet::Recordset ApriTabellaSuite(jet::Archivi& archivi, const suite::TabellaSuite& tabella,
                                const std::string& selezione = {});

// What the windows and the commands offer, read afresh from the data files
// of `cartella` at each call (the windows' lists, when the user sees them),
// or from the files of a run (a command's steps, see jet::Archivi). Errors
// of the data files are thrown as vdx::Errore.

// Hotels with Numero > 0, in the order the table yields them.
std::vector<VoceElenco> ElencoHotel(const std::filesystem::path& cartella);
std::vector<VoceElenco> ElencoHotel(jet::Archivi& archivi);

// The hotel's CodiceAssistenza ("K" and "U" steer printing, "U" also drops
// the report's final form feed); one blank when the hotel has no record or
// the code holds no value.
std::string CodiceAssistenza(const std::filesystem::path& cartella, int hotel);
std::string CodiceAssistenza(jet::Archivi& archivi, int hotel);

// Tableaux of a hotel with Codice > 0, in the table's order ("<tutti>" not
// included: it is tableau 0).
std::vector<VoceElenco> ElencoTableau(const std::filesystem::path& cartella, int hotel);
std::vector<VoceElenco> ElencoTableau(jet::Archivi& archivi, int hotel);

inline constexpr std::string_view VoceTutti = "<tutti>";

// The lowest and highest room of a tableau (tableau 0: every room of the
// hotel) among rooms whose type goes on a tableau (TipoSulTableau), in text order (10 sorts
// before 9). With no such room: lowest is the one byte 255, highest empty,
// so the range check refuses it.
struct Intervallo {
    std::string prima;
    std::string ultima;
};
Intervallo IntervalloCamere(const std::filesystem::path& cartella, int hotel, int tableau);
Intervallo IntervalloCamere(jet::Archivi& archivi, int hotel, int tableau);

// Whether rooms of type `tipo` go on a tableau: the type is in `tipiCamere`
// (a set over TipiCamere) with the Tipologia of rooms (suite::TipologiaCamera),
// not an apartment, a meeting room or a type the table lacks.
bool TipoSulTableau(jet::Recordset& tipiCamere, const std::string& tipo);

// The print destinations, always those of hotel 1, in the order the
// Stampanti table holds them.
std::vector<std::string> DestinazioniDiStampa(const std::filesystem::path& cartella);
std::vector<std::string> DestinazioniDiStampa(jet::Archivi& archivi);

} // namespace vdx
