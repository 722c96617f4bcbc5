#include "report/Righe.h"

#include "shared/Cp1252.h"

#include <clocale>
#include <cstdio>
#include <cstring>

namespace vdx {

namespace {

using namespace bordo;

// A line of `riempimento` between the rules: left end, each cell's width of fill
// followed by the joint, the last cell followed by the right end.
std::string LineaDiBordo(char sinistra, char riempimento, char giunto, char destra) {
    std::string riga(1, sinistra);
    for (std::size_t i = 0; i < Celle.size(); ++i) {
        riga.append(Celle[i].larghezza, riempimento);
        riga.push_back(i + 1 == Celle.size() ? destra : giunto);
    }
    return riga;
}

void ScriviA(std::string& riga, std::size_t colonna, std::string_view testo) {
    riga.replace(colonna - 1, testo.size(), testo);
}

std::string Spazi(std::size_t n) {
    return std::string(n, ' ');
}

} // namespace

std::string_view Taglia(std::string_view testo, std::size_t n) {
    return testo.substr(0, std::min(n, testo.size()));
}

void ScriviFisso(std::string& riga, int cella, std::string_view valore) {
    const Cella& c = Celle.at(static_cast<std::size_t>(cella - 1));
    std::string testo(Taglia(valore, c.larghezza));
    testo.resize(c.larghezza, ' ');
    ScriviA(riga, c.colonna, testo);
}

void ScriviTesto(std::string& riga, int cella, std::string_view valore) {
    const Cella& c = Celle.at(static_cast<std::size_t>(cella - 1));
    ScriviFisso(riga, cella, TrimSpazi(Taglia(valore, c.larghezza)));
}

void ScriviCodice(std::string& riga, int cella, std::string_view valore) {
    ScriviFisso(riga, cella, TrimSpazi(valore));
}

Righe CostruisciRighe(std::string titolo, bool arrangiamento) {
    Righe r;
    r[1] = std::move(titolo);
    r[2] = LineaDiBordo(AngoloAltoSx, Orizzontale, TeeAlto, AngoloAltoDx);
    r[6] = LineaDiBordo(TeeSinistra, Orizzontale, Croce, TeeDestra);
    r[8] = LineaDiBordo(AngoloBassoSx, Orizzontale, TeeBasso, AngoloBassoDx);

    // Blank ruled line: rules in every rule column.
    r[9] = LineaDiBordo(Verticale, ' ', Verticale, Verticale);
    r[7] = r[9];

    // Date heading: the date spans cells 4 and 5, so column 31 has no rule.
    r[3] = r[9];
    r[3][30] = ' ';
    ScriviA(r[3], 21, "     D A T A     ");

    r[4] = r[9];
    ScriviFisso(r[4], 1, "  N.  ");
    ScriviFisso(r[4], 2, " TIPO ");
    ScriviFisso(r[4], 3, " N. ");
    ScriviA(r[4], 21, std::string(21, Orizzontale));
    ScriviFisso(r[4], 6, " A L L O G G I A T O ");
    ScriviFisso(r[4], 7, " A L L O G G I A T O ");
    ScriviFisso(r[4], 8, " D I T T A           ");
    ScriviFisso(r[4], 9, arrangiamento ? " ARRANGIAMENTO          " : " C O M M E N T O        ");

    r[5] = r[9];
    ScriviFisso(r[5], 1, "CAMERA");
    ScriviFisso(r[5], 2, "      ");
    ScriviFisso(r[5], 3, "PERS");
    ScriviFisso(r[5], 4, "  ARRIVO  ");
    ScriviFisso(r[5], 5, " PARTENZA ");
    ScriviFisso(r[5], 8, " A G E N Z I A       ");
    ScriviFisso(r[5], 9, " T I P O   C L I E N T E");
    return r;
}

std::string RigaTitolo(const std::optional<std::string>& ragioneSociale,
                       const std::optional<std::string>& descrizione, std::string_view dataTesto,
                       const DataOra& momento) {
    std::string titolo = " Hotel : ";
    if (ragioneSociale) {
        std::string nome(Taglia(*ragioneSociale, 45));
        nome.resize(45, ' ');
        titolo += nome;
        titolo += " Tableau : ";
        if (descrizione) {
            titolo += TrimSpazi(*descrizione);
            titolo += " del ";
            titolo += dataTesto;
        }
    }
    // A long tableau name would push the time stamp out of the line.
    titolo.resize(117, ' ');
    titolo += TestoData(momento);
    titolo += ' ';
    titolo += TestoOra(momento);
    return titolo;
}

std::string TestoPersone(long long persone) {
    char buf[32];
    std::snprintf(buf, sizeof buf, " %2lld ", persone);
    std::string testo = buf;
    if (testo.size() > 4) {
        std::snprintf(buf, sizeof buf, "%4lld", persone);
        testo = std::string(Taglia(buf, 4));
    }
    return testo;
}

std::string TestoDataCella(std::string_view chiave) {
    if (chiave.empty()) {
        return DataDaChiave(Spazi(10));
    }
    return DataDaChiave(chiave);
}

namespace {

bool LocaleC(const char* nome) {
    if (nome == nullptr) {
        return true;
    }
    return std::strcmp(nome, "C") == 0 || std::strcmp(nome, "POSIX") == 0 ||
           std::strncmp(nome, "C.", 2) == 0;
}

// A sign of the locale as code page 1252 bytes. Locales hand them over in
// their own character set, UTF-8 on today's systems; the narrow no-break
// space some use for grouping has no byte of its own and becomes the
// no-break space.
std::string SegnoCp1252(const char* segno) {
    if (segno == nullptr) {
        return {};
    }
    std::string_view s = segno;
    bool ascii = true;
    for (char c : s) {
        ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    }
    if (ascii) {
        return std::string(s);
    }
    if (s == "\xE2\x80\xAF") {
        return "\xA0";
    }
    return Cp1252DaUtf8(s);
}

} // namespace

SegniNumerici SegniDelLocale() {
    SegniNumerici segni; // Italian signs
    if (LocaleC(std::setlocale(LC_NUMERIC, nullptr))) {
        return segni;
    }
    const std::lconv* conv = std::localeconv();
    segni.decimale = SegnoCp1252(conv->decimal_point);
    segni.migliaia = SegnoCp1252(conv->thousands_sep);
    if (segni.decimale.empty()) {
        segni.decimale = ",";
    }
    return segni;
}

std::string FormattaImporto(std::int64_t decimillesimi, const SegniNumerici& segni) {
    const bool negativo = decimillesimi < 0;
    // Work in unsigned so the most negative amount has a magnitude too.
    unsigned long long assoluto = negativo ? 0ULL - static_cast<unsigned long long>(decimillesimi)
                                           : static_cast<unsigned long long>(decimillesimi);
    const unsigned long long centesimi = assoluto / 100 + (assoluto % 100 >= 50 ? 1 : 0);
    const std::string intera = std::to_string(centesimi / 100);
    const unsigned cent = static_cast<unsigned>(centesimi % 100);

    std::string testo;
    if (negativo && centesimi != 0) {
        testo += '-';
    }
    for (std::size_t i = 0; i < intera.size(); ++i) {
        if (i > 0 && (intera.size() - i) % 3 == 0) {
            testo += segni.migliaia;
        }
        testo += intera[i];
    }
    testo += segni.decimale;
    testo += static_cast<char>('0' + cent / 10);
    testo += static_cast<char>('0' + cent % 10);
    return testo;
}

std::optional<std::int64_t> LeggiImporto(std::string_view testo, const SegniNumerici& segni) {
    const bool negativo = !testo.empty() && testo.front() == '-';
    if (negativo) {
        testo.remove_prefix(1);
    }
    const std::string_view decimale = segni.decimale;
    const std::string_view migliaia = segni.migliaia;
    const std::size_t virgola = decimale.empty() ? std::string_view::npos : testo.rfind(decimale);
    if (virgola == std::string_view::npos || testo.size() != virgola + decimale.size() + 2) {
        return std::nullopt;
    }
    const auto cifra = [](char c) { return c >= '0' && c <= '9'; };
    // Whole part: digits, grouped by three when grouped at all.
    std::int64_t intera = 0;
    std::size_t cifre = 0; // digits since the start or the last grouping sign
    std::size_t totale = 0;
    bool raggruppata = false;
    for (std::size_t i = 0; i < virgola;) {
        if (cifra(testo[i])) {
            intera = intera * 10 + (testo[i] - '0');
            ++cifre;
            ++i;
            // Beyond 14 digits the amount would not fit in ten-thousandths.
            if (++totale > 14) {
                return std::nullopt;
            }
        } else if (!migliaia.empty() && testo.substr(i, migliaia.size()) == migliaia && cifre > 0 &&
                   (!raggruppata || cifre == 3)) {
            raggruppata = true;
            cifre = 0;
            i += migliaia.size();
        } else {
            return std::nullopt;
        }
    }
    const std::string_view decimali = testo.substr(virgola + decimale.size());
    if (totale == 0 || (raggruppata && cifre != 3) || !cifra(decimali[0]) || !cifra(decimali[1])) {
        return std::nullopt;
    }
    const std::int64_t centesimi = intera * 100 + (decimali[0] - '0') * 10 + (decimali[1] - '0');
    return (negativo ? -centesimi : centesimi) * 100;
}

std::string TestoArrangiamento(std::string_view codice, std::int64_t decimillesimi,
                               const SegniNumerici& segni) {
    std::string testo = " ";
    std::string cod(Taglia(codice, 8));
    cod.resize(8, ' ');
    testo += cod;
    testo += ' ';
    // An amount too wide for its 13 columns drops its grouping signs before
    // anything is cut: 123456789,00 rather than the misleading 123.456.789,0.
    std::string importo = FormattaImporto(decimillesimi, segni);
    if (importo.size() > 13) {
        importo = FormattaImporto(decimillesimi, SegniNumerici{segni.decimale, ""});
    }
    importo = std::string(Taglia(importo, 13));
    testo += Spazi(13 - importo.size());
    testo += importo;
    testo += ' ';
    return testo;
}

} // namespace vdx
