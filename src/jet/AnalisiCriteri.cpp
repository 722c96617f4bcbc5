#include "jet/AnalisiCriteri.h"

#include "shared/Cp1252.h"
#include "shared/Errore.h"
#include "shared/Numeri.h"

#include <cmath>

namespace vdx::jet {

Letterale Letterale::Testo(std::string bytes) {
    Letterale l;
    l.quotato = true;
    l.testo = std::move(bytes);
    l.numero = LeggiNumero(l.testo);
    const double scalato = l.numero * 10000.0;
    if (std::fabs(scalato) < 9.0e17) {
        l.decimillesimi = std::llround(scalato);
        l.esatto = std::fabs(scalato - static_cast<double>(l.decimillesimi)) <=
                   1e-9 * std::fabs(scalato) + 1e-7;
    }
    return l;
}

Letterale Letterale::Numero(std::string cifre) {
    Letterale l = Testo(std::move(cifre));
    l.quotato = false;
    return l;
}

namespace {

enum class Tok {
    Nome,
    Numero,
    Testo,
    Operatore,
    Aperta,
    Chiusa,
    Stella,
    Virgola,
    PuntoVirgola,
    Meno,
    Fine,
    Altro
};

struct Token {
    Tok tipo = Tok::Fine;
    std::string testo;
    std::size_t pos = 0; // from 1
    bool traQuadre = false;
    Operatore op = Operatore::Uguale;
};

bool CarattereNome(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
           c >= 0x80;
}

bool Cifra(char c) {
    return c >= '0' && c <= '9';
}

bool Spazio(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Reads the text one token ahead; errors carry the kind of text being read.
class Lettore {
public:
    Lettore(std::string_view testo, int numeroErrore, const char* cosa)
        : testo_(testo), errore_(numeroErrore), cosa_(cosa) {
        Avanza();
    }

    const Token& Corrente() const { return tok_; }

    Token Prendi() {
        Token t = tok_;
        Avanza();
        return t;
    }

    bool Parola(std::string_view kw) const {
        return tok_.tipo == Tok::Nome && !tok_.traQuadre && UgualiSenzaMaiuscole(tok_.testo, kw);
    }

    void AttendiParola(std::string_view kw) {
        if (!Parola(kw)) {
            ErroreSintassi("serve \"" + std::string(kw) + "\"");
        }
        Avanza();
    }

    [[noreturn]] void ErroreSintassi(const std::string& cosa) const {
        ErroreSintassi(tok_.pos, cosa);
    }

    [[noreturn]] void ErroreSintassi(std::size_t pos, const std::string& cosa) const {
        throw Errore(errore_, "Errore di sintassi " + std::string(cosa_) + " al carattere " +
                                  std::to_string(pos) + ": " + cosa +
                                  ". Il testo \xE8: " + std::string(testo_));
    }

private:
    // The next token, from the first character that is no blank.
    void Avanza() {
        while (i_ < testo_.size() && Spazio(testo_[i_])) {
            ++i_;
        }
        tok_ = Token{};
        tok_.pos = i_ + 1;
        if (i_ >= testo_.size()) {
            tok_.tipo = Tok::Fine;
            return;
        }
        const char c = testo_[i_];
        if (c == '\'') {
            TestoTraApici();
        } else if (c == '[') {
            NomeTraQuadre();
        } else if (Cifra(c) || (c == '.' && i_ + 1 < testo_.size() && Cifra(testo_[i_ + 1]))) {
            Numero();
        } else if (CarattereNome(static_cast<unsigned char>(c))) {
            Nome();
        } else {
            LeggiSegno(c);
        }
    }

    // 'text', a doubled quote standing for one.
    void TestoTraApici() {
        std::string s;
        std::size_t j = i_ + 1;
        for (;;) {
            if (j >= testo_.size()) {
                ErroreSintassi(tok_.pos, "il testo tra apici non \xE8 chiuso");
            }
            if (testo_[j] == '\'') {
                if (j + 1 < testo_.size() && testo_[j + 1] == '\'') {
                    s.push_back('\'');
                    j += 2;
                    continue;
                }
                ++j;
                break;
            }
            s.push_back(testo_[j++]);
        }
        tok_.tipo = Tok::Testo;
        tok_.testo = std::move(s);
        i_ = j;
    }

    // [Field name], which may hold blanks.
    void NomeTraQuadre() {
        const std::size_t chiusa = testo_.find(']', i_ + 1);
        if (chiusa == std::string_view::npos || chiusa == i_ + 1) {
            ErroreSintassi(tok_.pos, "il nome di campo tra parentesi quadre non \xE8 chiuso");
        }
        tok_.tipo = Tok::Nome;
        tok_.traQuadre = true;
        tok_.testo = std::string(testo_.substr(i_ + 1, chiusa - i_ - 1));
        i_ = chiusa + 1;
    }

    // Digits with at most one decimal point, not running into letters.
    void Numero() {
        std::size_t j = i_;
        while (j < testo_.size() && Cifra(testo_[j])) {
            ++j;
        }
        if (j < testo_.size() && testo_[j] == '.') {
            ++j;
            while (j < testo_.size() && Cifra(testo_[j])) {
                ++j;
            }
        }
        if (j < testo_.size() && CarattereNome(static_cast<unsigned char>(testo_[j]))) {
            ErroreSintassi(j + 1, "un numero non pu\xF2 essere seguito da lettere");
        }
        tok_.tipo = Tok::Numero;
        tok_.testo = std::string(testo_.substr(i_, j - i_));
        i_ = j;
    }

    // A field name or a word (And, Select, ...).
    void Nome() {
        std::size_t j = i_;
        while (j < testo_.size() && CarattereNome(static_cast<unsigned char>(testo_[j]))) {
            ++j;
        }
        tok_.tipo = Tok::Nome;
        tok_.testo = std::string(testo_.substr(i_, j - i_));
        i_ = j;
    }

    // An operator (= <> < <= > >=) or a sign of the selection texts.
    void LeggiSegno(char c) {
        const char d = i_ + 1 < testo_.size() ? testo_[i_ + 1] : '\0';
        tok_.tipo = Tok::Operatore;
        switch (c) {
        case '=':
            tok_.op = Operatore::Uguale;
            break;
        case '<':
            tok_.op = d == '>'   ? Operatore::Diverso
                      : d == '=' ? Operatore::MinoreUguale
                                 : Operatore::Minore;
            break;
        case '>':
            tok_.op = d == '=' ? Operatore::MaggioreUguale : Operatore::Maggiore;
            break;
        case '(':
            tok_.tipo = Tok::Aperta;
            break;
        case ')':
            tok_.tipo = Tok::Chiusa;
            break;
        case '*':
            tok_.tipo = Tok::Stella;
            break;
        case ',':
            tok_.tipo = Tok::Virgola;
            break;
        case ';':
            tok_.tipo = Tok::PuntoVirgola;
            break;
        case '-':
            tok_.tipo = Tok::Meno;
            break;
        default:
            tok_.tipo = Tok::Altro;
            break;
        }
        const bool doppio = (c == '<' && (d == '>' || d == '=')) || (c == '>' && d == '=');
        tok_.testo = std::string(testo_.substr(i_, doppio ? 2 : 1));
        i_ += doppio ? 2 : 1;
    }

    std::string_view testo_;
    int errore_;
    const char* cosa_;
    std::size_t i_ = 0;
    Token tok_;
};

bool ParolaRiservata(const Token& t) {
    if (t.tipo != Tok::Nome || t.traQuadre) {
        return false;
    }
    for (const char* kw : {"and", "or", "not", "like", "in", "between", "is", "null", "select",
                           "from", "where", "order", "by"}) {
        if (UgualiSenzaMaiuscole(t.testo, kw)) {
            return true;
        }
    }
    return false;
}

std::string NomeCampo(Lettore& l, const char* cosa) {
    const Token& t = l.Corrente();
    if (t.tipo != Tok::Nome || ParolaRiservata(t)) {
        l.ErroreSintassi("serve " + std::string(cosa));
    }
    return l.Prendi().testo;
}

Letterale LeggiValore(Lettore& l) {
    if (l.Corrente().tipo == Tok::Testo) {
        return Letterale::Testo(l.Prendi().testo);
    }
    if (l.Corrente().tipo == Tok::Meno) {
        l.Prendi();
        if (l.Corrente().tipo != Tok::Numero) {
            l.ErroreSintassi("serve un numero dopo il segno meno");
        }
        return Letterale::Numero("-" + l.Prendi().testo);
    }
    if (l.Corrente().tipo == Tok::Numero) {
        return Letterale::Numero(l.Prendi().testo);
    }
    l.ErroreSintassi("serve un numero o un testo tra apici");
}

SottoSelezione LeggiSottoSelezione(Lettore& l, std::string campo);

// A list of conditions joined by "and"; stops before anything that is not
// "and" (the caller checks what follows).
Criterio Condizioni(Lettore& l, bool selezione) {
    Criterio c;
    for (;;) {
        if (l.Corrente().tipo == Tok::Fine) {
            l.ErroreSintassi("serve una condizione");
        }
        std::string campo = NomeCampo(l, "il nome di un campo");
        if (selezione && l.Parola("in")) {
            l.Prendi();
            c.sottoSelezioni.push_back(LeggiSottoSelezione(l, std::move(campo)));
        } else {
            if (l.Corrente().tipo != Tok::Operatore) {
                l.ErroreSintassi("serve un operatore di confronto (=, <>, <, <=, >, >=)");
            }
            Termine t;
            t.campo = std::move(campo);
            t.op = l.Prendi().op;
            t.valore = LeggiValore(l);
            c.termini.push_back(std::move(t));
        }
        if (!l.Parola("and")) {
            return c;
        }
        l.Prendi();
    }
}

SottoSelezione LeggiSottoSelezione(Lettore& l, std::string campo) {
    SottoSelezione s;
    s.campo = std::move(campo);
    if (l.Corrente().tipo != Tok::Aperta) {
        l.ErroreSintassi("serve \"(\"");
    }
    l.Prendi();
    l.AttendiParola("select");
    s.colonna = NomeCampo(l, "il nome di un campo");
    l.AttendiParola("from");
    s.tabella = NomeCampo(l, "il nome di una tabella");
    if (l.Parola("in")) {
        l.Prendi();
        if (l.Corrente().tipo != Tok::Testo) {
            l.ErroreSintassi("serve il nome di un file tra apici");
        }
        s.file = l.Prendi().testo;
    }
    if (l.Parola("where")) {
        l.Prendi();
        Criterio interno = Condizioni(l, false);
        s.criteri = std::move(interno.termini);
    }
    if (l.Corrente().tipo != Tok::Chiusa) {
        l.ErroreSintassi("serve \")\"");
    }
    l.Prendi();
    return s;
}

std::vector<Ordinamento> Ordinamenti(Lettore& l) {
    std::vector<Ordinamento> v;
    for (;;) {
        Ordinamento o;
        o.campo = NomeCampo(l, "il nome di un campo");
        if (l.Parola("desc")) {
            o.discendente = true;
            l.Prendi();
        } else if (l.Parola("asc")) {
            l.Prendi();
        }
        v.push_back(std::move(o));
        if (l.Corrente().tipo != Tok::Virgola) {
            return v;
        }
        l.Prendi();
    }
}

} // namespace

Criterio AnalizzaCriterio(std::string_view testo) {
    Lettore l(testo, errore::SintassiCriterio, "nel criterio di ricerca");
    Criterio c = Condizioni(l, false);
    if (l.Corrente().tipo != Tok::Fine) {
        if (l.Parola("or") || l.Parola("not")) {
            l.ErroreSintassi("solo \"and\" pu\xF2 unire le condizioni");
        }
        l.ErroreSintassi("serve \"and\" o la fine del criterio");
    }
    return c;
}

bool DiSelezione(std::string_view testo) {
    std::size_t i = 0;
    while (i < testo.size() && Spazio(testo[i])) {
        ++i;
    }
    return testo.size() - i > 6 && UgualiSenzaMaiuscole(testo.substr(i, 6), "select") &&
           Spazio(testo[i + 6]);
}

Selezione AnalizzaSelezione(std::string_view testo) {
    Lettore l(testo, errore::SintassiSelezione, "nel testo di selezione");
    Selezione s;
    l.AttendiParola("select");
    if (l.Corrente().tipo != Tok::Stella) {
        l.ErroreSintassi("serve \"*\": si selezionano solo record interi");
    }
    l.Prendi();
    l.AttendiParola("from");
    s.tabella = NomeCampo(l, "il nome di una tabella");
    if (l.Parola("where")) {
        l.Prendi();
        s.dove = Condizioni(l, true);
    }
    if (l.Parola("order")) {
        l.Prendi();
        l.AttendiParola("by");
        s.ordine = Ordinamenti(l);
    }
    if (l.Corrente().tipo == Tok::PuntoVirgola) {
        l.Prendi();
    }
    if (l.Corrente().tipo != Tok::Fine) {
        l.ErroreSintassi("serve la fine del testo di selezione");
    }
    return s;
}

std::vector<Ordinamento> AnalizzaOrdinamento(std::string_view testo) {
    Lettore l(testo, errore::SintassiSelezione, "nel testo di ordinamento");
    std::vector<Ordinamento> v = Ordinamenti(l);
    if (l.Corrente().tipo != Tok::Fine) {
        l.ErroreSintassi("serve \",\" o la fine del testo di ordinamento");
    }
    return v;
}

} // namespace vdx::jet
