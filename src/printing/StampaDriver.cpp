#include "printing/StampaDriver.h"

#include "printing/Converti2.h"
#include "shared/Cp1252.h"
#include "shared/FileTesto.h"
#include "shared/NomiFile.h"

#include <cmath>

namespace vdx {

namespace {

// A report line as the printer gets it: converted unless the code holds "K".
std::string PerLaStampante(std::string riga, const SceltaStampa& scelta) {
    if (!scelta.ConBordi()) {
        Converti2(riga);
    }
    return riga;
}

class StampaDriver {
public:
    // `Limite`: the largest size at which every line of the report fits the
    // page's width, 0 when no line needs a smaller size than the one chosen.
    StampaDriver(Stampante& p, const ImpostazioniStampa& s, const SceltaStampa& c, double limite)
        : p_(p), s_(s), c_(c), limite_(limite) {}

    void Inizio() {
        if (c_.fronteRetro) {
            p_.SetDuplex(2);
        }
        Orientamento();
        TestaPagina();
        RigheIniziali();
        DimensioneRighe();
    }

    void ScriviRiga(std::string testo) {
        testo = PerLaStampante(std::move(testo), c_);
        if (testo == "\f") {
            // One new page per form feed, started when a line follows.
            paginaInSospeso_ = true;
            return;
        }
        if (paginaInSospeso_) {
            NuovaPagina();
        }
        StampaLaser(p_, testo);
        ++righeScritte_;
        // A page length not above the blank top lines would end a page after
        // every line; pages then end only at form feeds, as on a port.
        if (s_.lunghezzaPagina > s_.righeIniziali && righeScritte_ >= s_.lunghezzaPagina) {
            paginaInSospeso_ = true;
        }
    }

    void Fine() {
        p_.EndDoc();
        if (c_.orizzontale) {
            p_.SetOrientation(1);
        }
    }

private:
    void Orientamento() { p_.SetOrientation(c_.orizzontale ? 2 : 1); }

    // A size, lowered to the limit when the report needs it.
    double Entro(double punti) const { return limite_ > 0 && punti > limite_ ? limite_ : punti; }

    void TestaPagina() {
        p_.SetFontName("Times New Roman");
        p_.SetFontSize(Entro(s_.Compresso(1)));
        p_.PrintLine(" ");
        p_.SetFontName(s_.fontStampa);
    }

    void RigheIniziali() {
        for (int i = 0; i < s_.righeIniziali; ++i) {
            p_.PrintLine(" ");
        }
        righeScritte_ = s_.righeIniziali;
    }

    void DimensioneRighe() {
        p_.SetFontSize(Entro(c_.compressa ? s_.Compresso(1) : s_.Compresso(7)));
    }

    void NuovaPagina() {
        paginaInSospeso_ = false;
        p_.NewPage();
        Orientamento();
        TestaPagina();
        DimensioneRighe();
        RigheIniziali();
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
    const double scelta = c.compressa ? s.Compresso(1) : s.Compresso(7);
    const double utile = p.LarghezzaUtile(c.orizzontale ? 2 : 1);
    if (scelta <= 0 || utile <= 0) {
        return 0;
    }
    std::string larga;
    double massima = 0;
    LettoreRighe lettore(report);
    while (auto riga = lettore.Leggi()) {
        std::string testo = PerLaStampante(std::move(*riga), c);
        if (testo == "\f") {
            continue;
        }
        const double larghezza = p.LarghezzaTesto(testo, s.fontStampa, scelta);
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
    while (punti > 0.01 && p.LarghezzaTesto(larga, s.fontStampa, punti) > utile) {
        punti -= 0.01;
    }
    return punti;
}

} // namespace

void StampaLaser(Stampante& stampante, std::string_view testo) {
    // The report holds no bold markers: a "ç" comes from a name or a comment
    // ("Jean-François") and is printed as the letter it is.
    stampante.PrintLine(std::string(testo));
}

bool UscitaPdf(std::string_view uscita) {
    return uscita.size() >= 4 && UgualiSenzaMaiuscole(uscita.substr(uscita.size() - 4), ".pdf");
}

bool StampaModoDriver(Stampante& stampante, const ImpostazioniStampa& impostazioni,
                      const SceltaStampa& scelta, const std::filesystem::path& cartella,
                      const std::filesystem::path& report) {
    const std::string& uscita = impostazioni.uscitaStampa;
    if (UscitaPdf(uscita)) {
        const std::filesystem::path nome(uscita);
        stampante.ImpostaFilePdf(nome.is_absolute() ? nome : RisolviNome(cartella, uscita));
    } else {
        for (const std::string& nome : stampante.NomiDispositivi()) {
            if (nome == uscita) {
                stampante.SelezionaDispositivo(nome);
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
    driver.Inizio();
    while (auto riga = lettore.Leggi()) {
        driver.ScriviRiga(std::move(*riga));
    }
    driver.Fine();
    return true;
}

} // namespace vdx
