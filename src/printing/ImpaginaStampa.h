#pragma once

// How a tableau printed through the system printer is laid out on pages,
// worked out on plain line numbers before anything is printed, so that
// every page can say "Pagina N di M":
//  - every page but the last holds as many lines as the page length allows;
//  - each page after the first begins again with the report's head (the
//    title and the ruled column heads), which counts in its lines;
//  - a room's block (its lines down to the rule under it) that does not fit
//    in what is left of a page starts the next one; only a block longer than
//    a whole page is split, where the page ends. The bottom border and the
//    totals are the last block, and stay together the same way.

#include <string>
#include <vector>

namespace vdx {

// The shape of a report's lines, counted from 0, form feeds left out.
struct FormaReport {
    int righe = 0;                // the lines to print
    int teste = 0;                // the head at the start, 0 when the report has none
    std::vector<int> fineBlocchi; // the last line of each block after the head, ascending
    std::vector<int> salti;       // lines that begin a page (the report had a form feed)
};

// One printed page: the head again when `conTeste`, then the lines [da, a).
struct PaginaStampata {
    bool conTeste = false;
    int da = 0;
    int a = 0;
    bool operator==(const PaginaStampata&) const = default;
};

// The pages of a report on pages of `lunghezzaPagina` lines, the first
// `righeIniziali` of them blank: lunghezzaPagina - righeIniziali lines for
// the report (at least one). The head is repeated only when a line of the
// report still fits under it. At least one page, even for no line.
std::vector<PaginaStampata> Impagina(const FormaReport& forma, int lunghezzaPagina,
                                     int righeIniziali);

// Takes the form-feed lines out of the report lines `righe` (as read from
// the file, before any conversion) and gives the shape of what is left. The
// head is there when the second line is the top border: it runs to the
// first inner separator (├───┼───┤), and every later separator ends a room's
// block. A report saved from the preview, with "|" and "-" for the rules,
// has the same shape.
FormaReport FormaDi(std::vector<std::string>& righe);

} // namespace vdx
