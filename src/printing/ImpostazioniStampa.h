#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace vdx::jet {
class Archivi;
}

namespace vdx {

// The choices of the print menu a print works with. Texts are code page 1252.
struct SceltaStampa {
    std::string destinazione;     // Combo1: the configured destination
    std::string stampanteSistema; // Combo2: a system printer, "" for none
    bool compressa = true;        // "Stampa Compressa"
    bool orizzontale = false;     // "Stampa orizzontale"
    bool fronteRetro = false;     // "Stampa fronte / retro"
    std::string codiceAssistenza; // hotel 1's CodiceAssistenza ("K", "U")
    short hotel = 1;              // the hotel whose page lengths apply

    int Orientamento() const { return orizzontale ? 2 : 1; } // 1 portrait, 2 landscape
    bool ConBordi() const { return codiceAssistenza.find('K') != std::string::npos; }
    bool RiempiFoglio() const { return codiceAssistenza.find('U') != std::string::npos; }
};

// The settings of one print, resolved afresh each time.
struct ImpostazioniStampa {
    std::string fontStampa = "Courier New";
    short lunghezzaPagina = 60;
    std::array<double, 12> valoriCompresso{}; // [0] is valoriCompresso(1)
    std::array<short, 12> valoriGrassetto{};
    short righeFoglio = 66;
    short righeIniziali = 0;
    std::string uscitaStampa;

    // valoriCompresso(k) and valoriGrassetto(k), counted from 1.
    double Compresso(int k) const { return valoriCompresso.at(static_cast<std::size_t>(k - 1)); }
    short Grassetto(int k) const { return valoriGrassetto.at(static_cast<std::size_t>(k - 1)); }
    // Driver mode (through the system printer) when valoriCompresso(6) is 1.
    bool ModoDriver() const { return Compresso(6) == 1.0; }
};

// The twelve 3-character groups of a Compresso or Grassetto text, each read
// as a number; a group beyond the end of the text is 0.
std::array<double, 12> DividiGruppi(std::string_view testo);

// The first line of "FontStp.txt" in `cartella`, trimmed of spaces; "Courier
// New" when the file is missing or its first line is empty.
std::string LeggiFontStampa(const std::filesystem::path& cartella);

// Reads the settings from "FontStp.txt", "Contatori.mdb" and "Stampanti.mdb"
// in `cartella`, the environment and the menu's choices. nullopt when the
// destination is not in Stampanti: then nothing is printed. Errors of the
// data files are thrown as vdx::Errore.
std::optional<ImpostazioniStampa> LeggiImpostazioni(const std::filesystem::path& cartella,
                                                    const SceltaStampa& scelta);
// The same, from the files of a run (jet::Archivi): a file the run has
// opened already is not read again.
std::optional<ImpostazioniStampa> LeggiImpostazioni(jet::Archivi& archivi,
                                                    const SceltaStampa& scelta);

} // namespace vdx
