#include "printing/ImpaginaStampa.h"

#include "report/Righe.h"

#include <algorithm>

namespace vdx {

namespace {

// A rule across the whole table: the line starts with `angolo` and goes on
// with the horizontal line, as the file holds it or as "|"/"-" after the
// conversion of a saved preview page.
bool Regola(const std::string& riga, char angolo, char convertito) {
    return riga.size() >= 2 && (riga[0] == angolo || riga[0] == convertito) &&
           (riga[1] == bordo::Orizzontale || riga[1] == '-');
}

bool Separatore(const std::string& riga) {
    return Regola(riga, bordo::TeeSinistra, '|');
}

bool BordoAlto(const std::string& riga) {
    return Regola(riga, bordo::AngoloAltoSx, '-');
}

} // namespace

FormaReport FormaDi(std::vector<std::string>& righe) {
    FormaReport forma;
    std::size_t scritte = 0;
    for (std::size_t i = 0; i < righe.size(); ++i) {
        if (righe[i] == "\f") {
            forma.salti.push_back(static_cast<int>(scritte));
            continue;
        }
        if (scritte != i) {
            righe[scritte] = std::move(righe[i]);
        }
        ++scritte;
    }
    righe.resize(scritte);
    forma.righe = static_cast<int>(scritte);
    // A form feed at the end begins no page.
    while (!forma.salti.empty() && forma.salti.back() >= forma.righe) {
        forma.salti.pop_back();
    }

    const bool conTesta = righe.size() > 1 && BordoAlto(righe[1]);
    for (std::size_t i = 0; i < righe.size(); ++i) {
        if (!Separatore(righe[i])) {
            continue;
        }
        if (conTesta && forma.teste == 0) {
            forma.teste = static_cast<int>(i) + 1;
        } else {
            forma.fineBlocchi.push_back(static_cast<int>(i));
        }
    }
    return forma;
}

std::vector<PaginaStampata> Impagina(const FormaReport& forma, int lunghezzaPagina,
                                     int righeIniziali) {
    const int posti = std::max(1, lunghezzaPagina - righeIniziali);
    // The lines the repeated head takes on each page after the first.
    const int teste = forma.teste > 0 && forma.teste < posti ? forma.teste : 0;

    // Where each block begins: the head is the first block.
    std::vector<int> inizi{0, forma.teste};
    for (int fine : forma.fineBlocchi) {
        inizi.push_back(fine + 1);
    }
    inizi.insert(inizi.end(), forma.salti.begin(), forma.salti.end());
    std::sort(inizi.begin(), inizi.end());
    inizi.erase(std::unique(inizi.begin(), inizi.end()), inizi.end());
    inizi.push_back(forma.righe);

    std::vector<PaginaStampata> pagine{{false, 0, 0}};
    int usate = 0; // lines of the current page taken
    auto nuova = [&](int da) {
        pagine.push_back({teste > 0, da, da});
        usate = teste;
    };
    for (std::size_t b = 0; b + 1 < inizi.size(); ++b) {
        const int da = inizi[b];
        const int a = std::min(inizi[b + 1], forma.righe);
        if (da >= a) {
            continue;
        }
        const PaginaStampata& corrente = pagine.back();
        const bool occupata = corrente.a > corrente.da;
        const bool salto = std::binary_search(forma.salti.begin(), forma.salti.end(), da);
        const bool nonCi = a - da > posti - usate && a - da <= posti - teste;
        if (occupata && (salto || nonCi)) {
            nuova(da);
        }
        // A block longer than a whole page goes on where the page ends.
        for (int riga = da; riga < a;) {
            if (usate == posti) {
                nuova(riga);
            }
            const int quante = std::min(a - riga, posti - usate);
            pagine.back().a = riga + quante;
            usate += quante;
            riga += quante;
        }
    }
    return pagine;
}

} // namespace vdx
