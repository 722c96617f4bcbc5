#pragma once

// The printing tests' hotel: destinations of every kind, page lengths, and
// a recording system printer.

#include "Albergo.h"
#include "StampanteRegistrata.h"
#include "printing/StampaReport.h"

#include <memory>
#include <string>
#include <vector>

namespace vdx::test {

namespace fx = vdx::fixture;

// Hotel 1 (code `codice`) with the destinations below; hotel 2 pages of 80
// compressed and 60 normal; hotel 3 has no Contatori record.
//   Laser      type 1: driver mode, 7 compressed, 10 normal, 2 top lines
//   Aghi       type 2: direct mode, ESC 15 compressed, 18 normal; sheets 72/66
//   Senza      type 9: no SetStampa record
//   Archivio PDF / Ufficio PDF  type 1, to PDF files
inline fx::Albergo AlbergoDiStampa(const std::string& codice = "") {
    fx::Albergo a;
    a.Hotel(1, "Hotel Mare", codice).LunghezzePagina(1, 4, 3).LunghezzePagina(2, 80, 60);
    a.ValoriStampa(1, "007000000000000001010000000000000000",
                   "000000000000000002000000000000000000")
        .ValoriStampa(2, "027015000000000000018000000000000000",
                      "000000000000000001072066000000000000");
    a.Destinazione(1, "Laser", 1, "Ufficio")
        .Destinazione(1, "Aghi", 2, "porta.prn")
        .Destinazione(1, "Senza", 9, "senza.prn")
        .Destinazione(1, "Archivio PDF", 1, "archivio.pdf")
        .Destinazione(1, "Ufficio PDF", 1, "ufficio.pdf");
    return a;
}

inline SceltaStampa Scelta(const std::string& destinazione, bool compressa = true,
                           short hotel = 1) {
    SceltaStampa s;
    s.destinazione = destinazione;
    s.compressa = compressa;
    s.hotel = hotel;
    return s;
}

// What a driver print of the one-line report "A" on Laser gives between the
// orientation and the end: the page head at 7 points, the two blank top
// lines, the line at `dimensione` ("size 7", "size 10") and the page's foot.
inline std::vector<std::string> PaginaLaser(const std::string& dimensione) {
    return {"font Times New Roman",
            "size 7",
            "line ' '",
            "font Courier New",
            "line ' '",
            "line ' '",
            dimensione,
            "line 'A'",
            "foot 'Pagina 1 di 1'"};
}

// The system printer "Ufficio"; `ultima` is set to the recording once asked
// for, and `lavoro` to the job's name.
inline vdx::FabbricaStampante Fabbrica(StampanteRegistrata*& ultima,
                                       std::string* lavoro = nullptr) {
    return [&ultima, lavoro](const std::string& nome) -> std::unique_ptr<vdx::Stampante> {
        if (lavoro != nullptr) {
            *lavoro = nome;
        }
        static StampanteRegistrata registrata;
        registrata = StampanteRegistrata(std::vector<std::string>{"Ufficio"});
        ultima = &registrata;
        return std::make_unique<vdx::test::StampanteInoltro>(registrata);
    };
}

} // namespace vdx::test
