#include "printing/StampaDriver.h"

#include "printing/Converti2.h"
#include "shared/Cp1252.h"
#include "shared/FileNames.h"
#include "shared/TextFile.h"

namespace vdx {

namespace {

class StampaDriver {
public:
    StampaDriver(Stampante& p, const ImpostazioniStampa& s, const SceltaStampa& c)
        : p_(p), s_(s), c_(c) {}

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
        if (!c_.conBordi()) {
            Converti2(testo);
        }
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

    void testaPagina() {
        p_.setFontName("Times New Roman");
        p_.setFontSize(s_.compresso(1));
        p_.printLine(" ");
        p_.setFontName(s_.FontStampa);
    }

    void righeIniziali() {
        for (int i = 0; i < s_.RigheIniziali; ++i) {
            p_.printLine(" ");
        }
        righeScritte_ = s_.RigheIniziali;
    }

    void dimensioneRighe() { p_.setFontSize(c_.compressa ? s_.compresso(1) : s_.compresso(7)); }

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
    int righeScritte_ = 0;
    bool paginaInSospeso_ = false;
};

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
    LettoreRighe lettore(report);
    StampaDriver driver(stampante, impostazioni, scelta);
    driver.inizio();
    while (auto riga = lettore.leggi()) {
        driver.riga(std::move(*riga));
    }
    driver.fine();
    return true;
}

} // namespace vdx
