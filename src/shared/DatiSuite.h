#pragma once

// The suite's data as this program reads it: each table and the file that
// holds it, the files a tableau's run opens, the rule of the rooms on a
// tableau. Names are written as the suite stores them.

#include <array>
#include <string_view>

namespace vdx::suite {

// A table of the suite and its file.
struct TabellaSuite {
    const char* nome;
    const char* file;
};

inline constexpr TabellaSuite AnagraficaHotels{"AnagraficaHotels", "AnagraficaHotels.mdb"};
inline constexpr TabellaSuite Tableau{"Tableau", "Tableau.mdb"};
inline constexpr TabellaSuite NumeriCamere{"NumeriCamere", "NumeriCamere.mdb"};
inline constexpr TabellaSuite TipiCamere{"TipiCamere", "TipiCamere.mdb"};
inline constexpr TabellaSuite Scheda_Cliente{"Scheda_Cliente", "Scheda_Cliente.mdb"};
inline constexpr TabellaSuite Ditta_Intestataria{"Ditta_Intestataria", "Ditta_Intestataria.mdb"};
inline constexpr TabellaSuite AgenzieAbituali{"AgenzieAbituali", "AgenzieAbituali.mdb"};
inline constexpr TabellaSuite Arrangiamento{"Arrangiamento", "Arrangiamento.mdb"};
inline constexpr TabellaSuite Camere_Prenotazione{"Camere_Prenotazione", "Camere_Prenotazione.mdb"};
inline constexpr TabellaSuite Scheda_Prenotazione{"Scheda_Prenotazione", "Scheda_Prenotazione.mdb"};
inline constexpr TabellaSuite ListaClienti_Prenotazione{"ListaClienti_Prenotazione",
                                                        "ListaClienti_Prenotazione.mdb"};
// The printer destinations and their settings share one file.
inline constexpr TabellaSuite Stampanti{"Stampanti", "Stampanti.mdb"};
inline constexpr TabellaSuite SetStampa{"SetStampa", "Stampanti.mdb"};
inline constexpr TabellaSuite Contatori{"Contatori", "Contatori.mdb"};

// The tables a tableau's run reads, in the order it opens their files.
inline constexpr std::array<TabellaSuite, 11> TabelleDelTableau{NumeriCamere,
                                                                AnagraficaHotels,
                                                                Tableau,
                                                                Scheda_Cliente,
                                                                Ditta_Intestataria,
                                                                Camere_Prenotazione,
                                                                Scheda_Prenotazione,
                                                                ListaClienti_Prenotazione,
                                                                Arrangiamento,
                                                                AgenzieAbituali,
                                                                TipiCamere};

// Every table of the suite the program reads.
inline constexpr std::array<TabellaSuite, 14> TutteLeTabelle{AnagraficaHotels,
                                                             Tableau,
                                                             NumeriCamere,
                                                             TipiCamere,
                                                             Scheda_Cliente,
                                                             Ditta_Intestataria,
                                                             AgenzieAbituali,
                                                             Arrangiamento,
                                                             Camere_Prenotazione,
                                                             Scheda_Prenotazione,
                                                             ListaClienti_Prenotazione,
                                                             Stampanti,
                                                             SetStampa,
                                                             Contatori};

// A room is on the tableau when the Tipologia of its type (TipiCamere) is
// this one: rooms, not apartments or meeting rooms.
inline constexpr std::string_view TipologiaCamera = "C";

} // namespace vdx::suite
