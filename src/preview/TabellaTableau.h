#pragma once

// The report read back as a table, for the spreadsheet: each line of a room
// block that holds something becomes a row, its cells typed (persons, dates,
// amounts), and the totals of the report's end become labelled numbers. The
// report's layout is fixed, so the cells are read by their columns, from the
// report as the generator wrote it or as the preview saved it ("|" and "-"
// in place of the line drawing).

#include "report/Righe.h"
#include "shared/Date.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace vdx {

// A date cell: empty ("  /  /    "), a real day (its time 00:00), or the text
// of a stored date that is no day of the calendar, kept as it stands.
using CellaData = std::variant<std::monostate, DataOra, std::string>;

// One line of a room block. Texts are code page 1252, trimmed.
struct RigaTabella {
    std::string camera; // text: rooms compare as text; repeated on the block's second line
    std::string tipo;
    std::optional<int> persone; // none on the second line
    CellaData arrivo;
    CellaData partenza;
    std::string alloggiato;
    std::string secondo;       // second guest, or "(in arrivo)", "(prenotazione)", "(in partenza)"
    std::string dittaAgenzia;  // company on the first line, agency on the second
    std::string arrangiamento; // the code alone
    std::optional<std::int64_t> importo; // ten-thousandths; none without the arrangement column
    std::string commento;                // comment, or customer type on the second line
    bool operator==(const RigaTabella&) const = default;
};

// A total of the report's end ("Presenze attuali", "Totale Partenze",
// "Camere presenti", "Totale presenze").
struct TotaleTableau {
    std::string etichetta;
    long long valore = 0;
    bool operator==(const TotaleTableau&) const = default;
};

struct TabellaTableau {
    // The title line's hotel, tableau and reference date, as the report
    // states them; empty when the text holds no title line.
    std::string hotel;
    std::string tableau;
    std::string data;
    std::vector<RigaTabella> righe;
    std::vector<TotaleTableau> totali;
};

// Reads the lines of a report; amounts are read with `segni`, the signs the
// report was written with. Lines that are neither a room line, the title nor
// a totals line (borders, headings, blank ruled lines, the form feed) give
// nothing.
class LettoreTabella {
public:
    explicit LettoreTabella(SegniNumerici segni) : segni_(std::move(segni)) {}
    void Aggiungi(std::string_view riga);
    const TabellaTableau& Tabella() const { return tabella_; }

private:
    void AggiungiRigaDiCamera(std::string_view riga);

    SegniNumerici segni_;
    TabellaTableau tabella_;
    std::string camera_; // the room of the block being read
};

// A whole report text (lines ended by CR LF, CR or LF) as a table.
TabellaTableau LeggiTabella(std::string_view testo, const SegniNumerici& segni);

} // namespace vdx
