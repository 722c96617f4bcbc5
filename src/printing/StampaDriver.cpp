#include "printing/StampaDriver.h"

#include "printing/Converti2.h"
#include "printing/ImpaginaStampa.h"
#include "shared/Cp1252.h"
#include "shared/FileTesto.h"
#include "shared/NomiFile.h"

#include <algorithm>
#include <cmath>

namespace vdx {

namespace {

constexpr const char* FontTesta = "Times New Roman";

// A report line as the printer gets it: converted unless the code holds "K".
std::string PerLaStampante(std::string riga, const SceltaStampa& scelta) {
    if (!scelta.ConBordi()) {
        Converti2(riga);
    }
    return riga;
}

// A size, lowered to `limite` when there is one (0: none).
double Entro(double punti, double limite) {
    return limite > 0 && punti > limite ? limite : punti;
}

// The sizes a print uses: the page head's (and the blank top lines' of the
// first page), and the report lines'.
struct Dimensioni {
    double testa = 0;
    double righe = 0;
};

Dimensioni DimensioniEntro(const ImpostazioniStampa& s, const SceltaStampa& c, double limite) {
    return {Entro(s.Compresso(1), limite),
            Entro(c.compressa ? s.Compresso(1) : s.Compresso(7), limite)};
}

class StampaDriver {
public:
    StampaDriver(Stampante& p, const ImpostazioniStampa& s, const SceltaStampa& c,
                 const Dimensioni& d)
        : p_(p), s_(s), c_(c), d_(d) {}

    // Each page: the page head, the blank top lines, the report's head again
    // when the layout says so, its lines, and "Pagina N di M" at its foot.
    void Stampa(const std::vector<std::string>& righe, int teste,
                const std::vector<PaginaStampata>& pagine) {
        if (c_.fronteRetro) {
            p_.SetDuplex(2);
        }
        const std::string totale = " di " + std::to_string(pagine.size());
        for (std::size_t n = 0; n < pagine.size(); ++n) {
            if (n == 0) {
                Orientamento();
                TestaPagina();
                RigheIniziali();
                DimensioneRighe();
            } else {
                // From the second page on, the top lines take the report's size.
                p_.NewPage();
                Orientamento();
                TestaPagina();
                DimensioneRighe();
                RigheIniziali();
            }
            if (pagine[n].conTeste) {
                Righe(righe, 0, teste);
            }
            Righe(righe, pagine[n].da, pagine[n].a);
            p_.PiePagina("Pagina " + std::to_string(n + 1) + totale);
        }
        p_.EndDoc();
        if (c_.orizzontale) {
            p_.SetOrientation(1);
        }
    }

private:
    void Orientamento() { p_.SetOrientation(c_.Orientamento()); }

    void TestaPagina() {
        p_.SetFontName(FontTesta);
        p_.SetFontSize(d_.testa);
        p_.PrintLine(" ");
        p_.SetFontName(s_.fontStampa);
    }

    void RigheIniziali() {
        for (int i = 0; i < s_.righeIniziali; ++i) {
            p_.PrintLine(" ");
        }
    }

    void DimensioneRighe() { p_.SetFontSize(d_.righe); }

    void Righe(const std::vector<std::string>& righe, int da, int a) {
        for (int i = da; i < a; ++i) {
            StampaLaser(p_, righe[static_cast<std::size_t>(i)]);
        }
    }

    Stampante& p_;
    const ImpostazioniStampa& s_;
    const SceltaStampa& c_;
    Dimensioni d_;
};

// The size at which the widest line of the report fits the page's width, 0
// when it already fits at the chosen size: a print never loses columns off
// the right edge. Lowered just enough, to a hundredth of a point.
double LimiteLarghezza(Stampante& p, const ImpostazioniStampa& s, const SceltaStampa& c,
                       const std::vector<std::string>& righe) {
    const double scelta = DimensioniEntro(s, c, 0).righe;
    const double utile = p.LarghezzaUtile(c.Orientamento());
    if (scelta <= 0 || utile <= 0) {
        return 0;
    }
    const std::string* larga = nullptr;
    double massima = 0;
    for (const std::string& riga : righe) {
        const double larghezza = p.LarghezzaTesto(riga, s.fontStampa, scelta);
        if (larghezza > massima) {
            massima = larghezza;
            larga = &riga;
        }
    }
    if (massima <= utile) {
        return 0;
    }
    double punti = std::floor(scelta * utile / massima * 100) / 100;
    // A font is not always exactly proportional to its size: step down until
    // the line fits.
    while (punti > 0.01 && p.LarghezzaTesto(*larga, s.fontStampa, punti) > utile) {
        punti -= 0.01;
    }
    return punti;
}

// What a page takes down the sheet: the page head, the blank top lines (at
// the head's size on the first page, at the report's on the others: the
// larger counts), `posti` report lines and the foot, a line of the report.
double AltezzaPagina(Stampante& p, const ImpostazioniStampa& s, const Dimensioni& d, int posti) {
    // A size of nothing is not set: the report's stays in force.
    const double testa = d.testa > 0 ? d.testa : d.righe;
    return p.AltezzaRiga(FontTesta, testa) +
           std::max(0, static_cast<int>(s.righeIniziali)) *
               p.AltezzaRiga(s.fontStampa, std::max(testa, d.righe)) +
           (posti + 1) * p.AltezzaRiga(s.fontStampa, d.righe);
}

// The report lines a page holds: the page length less the blank top lines.
// A page length not above them sets none; a page then holds what the sheet
// does at the size of the print.
int PostiPagina(Stampante& p, const ImpostazioniStampa& s, const SceltaStampa& c, double limite) {
    if (s.lunghezzaPagina > s.righeIniziali) {
        return s.lunghezzaPagina - s.righeIniziali;
    }
    const Dimensioni d = DimensioniEntro(s, c, limite);
    if (d.righe <= 0) {
        return 1;
    }
    const double riga = p.AltezzaRiga(s.fontStampa, d.righe);
    const double libera = p.AltezzaUtile(c.Orientamento()) - AltezzaPagina(p, s, d, 0);
    if (riga <= 0) {
        return 1;
    }
    return static_cast<int>(std::clamp(std::floor(libera / riga), 1.0, 1e6));
}

// The size at which a page of `posti` lines fits the page's height, at most
// `limite` (the width's, 0 for none); `limite` itself when the page fits
// under it. Lowered just enough, to a hundredth of a point: the printer
// never has to start a page of its own.
double LimiteAltezza(Stampante& p, const ImpostazioniStampa& s, const SceltaStampa& c,
                     double limite, int posti) {
    const double utile = p.AltezzaUtile(c.Orientamento());
    auto entra = [&](double l) {
        return AltezzaPagina(p, s, DimensioniEntro(s, c, l), posti) <= utile;
    };
    const Dimensioni scelte = DimensioniEntro(s, c, limite);
    if (utile <= 0 || scelte.righe <= 0 || entra(limite)) {
        return limite;
    }
    // The largest hundredth of a point that fits: the page's height grows
    // with the size.
    long basso = 1;
    long alto = std::lround(std::floor(std::max(scelte.testa, scelte.righe) * 100));
    while (basso < alto) {
        const long mezzo = (basso + alto + 1) / 2;
        if (entra(static_cast<double>(mezzo) / 100)) {
            basso = mezzo;
        } else {
            alto = mezzo - 1;
        }
    }
    return static_cast<double>(basso) / 100;
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
    // The whole report first: the pages are laid out before the first is
    // printed, so each can carry the number of them all.
    std::vector<std::string> righe = LeggiRighe(report);
    const FormaReport forma = FormaDi(righe);
    for (std::string& riga : righe) {
        riga = PerLaStampante(std::move(riga), scelta);
    }
    const double larghezza = LimiteLarghezza(stampante, impostazioni, scelta, righe);
    const int posti = PostiPagina(stampante, impostazioni, scelta, larghezza);
    const double limite = LimiteAltezza(stampante, impostazioni, scelta, larghezza, posti);
    const auto pagine =
        Impagina(forma, impostazioni.righeIniziali + posti, impostazioni.righeIniziali);
    StampaDriver(stampante, impostazioni, scelta, DimensioniEntro(impostazioni, scelta, limite))
        .Stampa(righe, forma.teste, pagine);
    return true;
}

} // namespace vdx
