#include "printing/StampaDriver.h"

#include "printing/Converti2.h"
#include "shared/Cp1252.h"
#include "shared/FileNames.h"
#include "shared/TextFile.h"

#include <cmath>

namespace vdx {

namespace {

// A report line as the printer gets it: converted unless the code holds "K".
std::string PerLaStampante(std::string riga, const SceltaStampa& scelta) {
    if (!scelta.conBordi()) {
        Converti2(riga);
    }
    return riga;
}

class StampaDriver {
public:
    // `limite`: the largest size at which every line of the report fits the
    // page's width, 0 when no line needs a smaller size than the one chosen.
    StampaDriver(Stampante& p, const ImpostazioniStampa& s, const SceltaStampa& c, double limite)
        : p_(p), s_(s), c_(c), limite_(limite) {}

    void inizio() {
        if (c_.fronteRetro) {
            p_.setDuplex(2);
        }
        orientamento();
        testaPagina();
        righeIniziali();
        dimensioneRighe();
    }

    void riga(std::string testo) {
        testo = PerLaStampante(std::move(testo), c_);
        if (testo == "\f") {
            // One new page per form feed, started when a line follows.
            paginaInSospeso_ = true;
            return;
        }
        if (paginaInSospeso_) {
            nuovaPagina();
        }
        StampaLaser(p_, testo);
        ++righeScritte_;
        // A page length not above the blank top lines would end a page after
        // every line; pages then end only at form feeds, as on a port.
        if (s_.LunghezzaPagina > s_.RigheIniziali && righeScritte_ >= s_.LunghezzaPagina) {
            paginaInSospeso_ = true;
        }
    }

    void fine() {
        p_.endDoc();
        if (c_.orizzontale) {
            p_.setOrientation(1);
        }
    }

private:
    void orientamento() { p_.setOrientation(c_.orizzontale ? 2 : 1); }

    // A size, lowered to the limit when the report needs it.
    double entro(double punti) const { return limite_ > 0 && punti > limite_ ? limite_ : punti; }

    void testaPagina() {
        p_.setFontName("Times New Roman");
        p_.setFontSize(entro(s_.compresso(1)));
        p_.printLine(" ");
        p_.setFontName(s_.FontStampa);
    }

    void righeIniziali() {
        for (int i = 0; i < s_.RigheIniziali; ++i) {
            p_.printLine(" ");
        }
        righeScritte_ = s_.RigheIniziali;
    }

    void dimensioneRighe() {
        p_.setFontSize(entro(c_.compressa ? s_.compresso(1) : s_.compresso(7)));
    }

    void nuovaPagina() {
        paginaInSospeso_ = false;
        p_.newPage();
        orientamento();
        testaPagina();
        dimensioneRighe();
        righeIniziali();
    }

    Stampante& p_;
    const ImpostazioniStampa& s_;
    const SceltaStampa& c_;
    double limite_;
    int righeScritte_ = 0;
    bool paginaInSospeso_ = false;
};

// The size at which the widest line of the report fits the page's width, 0
// when it already fits at the chosen size: a print never loses columns off
// the right edge. Lowered just enough, to a hundredth of a point.
double LimiteDimensione(Stampante& p, const ImpostazioniStampa& s, const SceltaStampa& c,
                        const std::filesystem::path& report) {
    const double scelta = c.compressa ? s.compresso(1) : s.compresso(7);
    const double utile = p.larghezzaUtile(c.orizzontale ? 2 : 1);
    if (scelta <= 0 || utile <= 0) {
        return 0;
    }
    std::string larga;
    double massima = 0;
    LettoreRighe lettore(report);
    while (auto riga = lettore.leggi()) {
        std::string testo = PerLaStampante(std::move(*riga), c);
        if (testo == "\f") {
            continue;
        }
        const double larghezza = p.larghezzaTesto(testo, s.FontStampa, scelta);
        if (larghezza > massima) {
            massima = larghezza;
            larga = std::move(testo);
        }
    }
    if (massima <= utile) {
        return 0;
    }
    double punti = std::floor(scelta * utile / massima * 100) / 100;
    // A font is not always exactly proportional to its size: step down until
    // the line fits.
    while (punti > 0.01 && p.larghezzaTesto(larga, s.FontStampa, punti) > utile) {
        punti -= 0.01;
    }
    return punti;
}

} // namespace

void StampaLaser(Stampante& stampante, std::string_view testo) {
    // The report holds no bold markers: a "ç" comes from a name or a comment
    // ("Jean-François") and is printed as the letter it is.
    stampante.printLine(std::string(testo));
}

bool UscitaPdf(std::string_view uscita) {
    return uscita.size() >= 4 && UgualiSenzaMaiuscole(uscita.substr(uscita.size() - 4), ".pdf");
}

bool StampaModoDriver(Stampante& stampante, const ImpostazioniStampa& impostazioni,
                      const SceltaStampa& scelta, const std::filesystem::path& cartella,
                      const std::filesystem::path& report) {
    const std::string& uscita = impostazioni.UscitaStampa;
    if (UscitaPdf(uscita)) {
        const std::filesystem::path nome(uscita);
        stampante.impostaFilePdf(nome.is_absolute() ? nome : RisolviNome(cartella, uscita));
    } else {
        for (const std::string& nome : stampante.nomiDispositivi()) {
            if (nome == uscita) {
                stampante.selezionaDispositivo(nome);
                break;
            }
        }
    }
    if (!std::filesystem::exists(report)) {
        return false;
    }
    StampaDriver driver(stampante, impostazioni, scelta,
                        LimiteDimensione(stampante, impostazioni, scelta, report));
    LettoreRighe lettore(report);
    driver.inizio();
    while (auto riga = lettore.leggi()) {
        driver.riga(std::move(*riga));
    }
    driver.fine();
    return true;
}

} // namespace vdx
