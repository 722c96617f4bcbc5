#include "jet/Criteri.h"

#include "shared/Cp1252.h"
#include "shared/Error.h"
#include "shared/Numeric.h"

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

std::string TestoTraApici(std::string_view valore) {
    std::string s;
    s.reserve(valore.size() + 2);
    for (char c : valore) {
        s.push_back(c);
        if (c == '\'') {
            s.push_back('\'');
        }
    }
    return s;
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

bool carattereNome(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
           c >= 0x80;
}

bool cifra(char c) {
    return c >= '0' && c <= '9';
}

bool spazio(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Reads the text one token ahead; errors carry the kind of text being read.
class Lettore {
public:
    Lettore(std::string_view testo, int numeroErrore, const char* cosa)
        : testo_(testo), errore_(numeroErrore), cosa_(cosa) {
        avanza();
    }

    const Token& corrente() const { return tok_; }

    Token prendi() {
        Token t = tok_;
        avanza();
        return t;
    }

    bool parola(std::string_view kw) const {
        return tok_.tipo == Tok::Nome && !tok_.traQuadre && UgualiSenzaMaiuscole(tok_.testo, kw);
    }

    void attendiParola(std::string_view kw) {
        if (!parola(kw)) {
            errore("\"" + std::string(kw) + "\" expected");
        }
        avanza();
    }

    [[noreturn]] void errore(const std::string& cosa) const { errore(tok_.pos, cosa); }

    [[noreturn]] void errore(std::size_t pos, const std::string& cosa) const {
        throw Error(errore_, "Errore di sintassi " + std::string(cosa_) + " al carattere " +
                                 std::to_string(pos) + ": " + cosa +
                                 ". Il testo e': " + std::string(testo_));
    }

private:
    // The next token, from the first character that is no blank.
    void avanza() {
        while (i_ < testo_.size() && spazio(testo_[i_])) {
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
            testoTraApici();
        } else if (c == '[') {
            nomeTraQuadre();
        } else if (cifra(c) || (c == '.' && i_ + 1 < testo_.size() && cifra(testo_[i_ + 1]))) {
            numero();
        } else if (carattereNome(static_cast<unsigned char>(c))) {
            nome();
        } else {
            segno(c);
        }
    }

    // 'text', a doubled quote standing for one.
    void testoTraApici() {
        std::string s;
        std::size_t j = i_ + 1;
        for (;;) {
            if (j >= testo_.size()) {
                errore(tok_.pos, "il testo tra apici non e' chiuso");
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
    void nomeTraQuadre() {
        const std::size_t chiusa = testo_.find(']', i_ + 1);
        if (chiusa == std::string_view::npos || chiusa == i_ + 1) {
            errore(tok_.pos, "il nome di campo tra parentesi quadre non e' chiuso");
        }
        tok_.tipo = Tok::Nome;
        tok_.traQuadre = true;
        tok_.testo = std::string(testo_.substr(i_ + 1, chiusa - i_ - 1));
        i_ = chiusa + 1;
    }

    // Digits with at most one decimal point, not running into letters.
    void numero() {
        std::size_t j = i_;
        while (j < testo_.size() && cifra(testo_[j])) {
            ++j;
        }
        if (j < testo_.size() && testo_[j] == '.') {
            ++j;
            while (j < testo_.size() && cifra(testo_[j])) {
                ++j;
            }
        }
        if (j < testo_.size() && carattereNome(static_cast<unsigned char>(testo_[j]))) {
            errore(j + 1, "un numero non puo' essere seguito da lettere");
        }
        tok_.tipo = Tok::Numero;
        tok_.testo = std::string(testo_.substr(i_, j - i_));
        i_ = j;
    }

    // A field name or a word (And, Select, ...).
    void nome() {
        std::size_t j = i_;
        while (j < testo_.size() && carattereNome(static_cast<unsigned char>(testo_[j]))) {
            ++j;
        }
        tok_.tipo = Tok::Nome;
        tok_.testo = std::string(testo_.substr(i_, j - i_));
        i_ = j;
    }

    // An operator (= <> < <= > >=) or a sign of the selection texts.
    void segno(char c) {
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

bool parolaRiservata(const Token& t) {
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

std::string nomeCampo(Lettore& l, const char* cosa) {
    const Token& t = l.corrente();
    if (t.tipo != Tok::Nome || parolaRiservata(t)) {
        l.errore("serve " + std::string(cosa));
    }
    return l.prendi().testo;
}

Letterale valore(Lettore& l) {
    if (l.corrente().tipo == Tok::Testo) {
        return Letterale::Testo(l.prendi().testo);
    }
    if (l.corrente().tipo == Tok::Meno) {
        l.prendi();
        if (l.corrente().tipo != Tok::Numero) {
            l.errore("serve un numero dopo il segno meno");
        }
        return Letterale::Numero("-" + l.prendi().testo);
    }
    if (l.corrente().tipo == Tok::Numero) {
        return Letterale::Numero(l.prendi().testo);
    }
    l.errore("serve un numero o un testo tra apici");
}

SottoSelezione sottoSelezione(Lettore& l, std::string campo);

// A list of conditions joined by "and"; stops before anything that is not
// "and" (the caller checks what follows).
Criterio condizioni(Lettore& l, bool selezione) {
    Criterio c;
    for (;;) {
        if (l.corrente().tipo == Tok::Fine) {
            l.errore("serve una condizione");
        }
        std::string campo = nomeCampo(l, "il nome di un campo");
        if (selezione && l.parola("in")) {
            l.prendi();
            c.sottoSelezioni.push_back(sottoSelezione(l, std::move(campo)));
        } else {
            if (l.corrente().tipo != Tok::Operatore) {
                l.errore("serve un operatore di confronto (=, <>, <, <=, >, >=)");
            }
            Termine t;
            t.campo = std::move(campo);
            t.op = l.prendi().op;
            t.valore = valore(l);
            c.termini.push_back(std::move(t));
        }
        if (!l.parola("and")) {
            return c;
        }
        l.prendi();
    }
}

SottoSelezione sottoSelezione(Lettore& l, std::string campo) {
    SottoSelezione s;
    s.campo = std::move(campo);
    if (l.corrente().tipo != Tok::Aperta) {
        l.errore("\"(\" expected");
    }
    l.prendi();
    l.attendiParola("select");
    s.colonna = nomeCampo(l, "il nome di un campo");
    l.attendiParola("from");
    s.tabella = nomeCampo(l, "il nome di una tabella");
    if (l.parola("in")) {
        l.prendi();
        if (l.corrente().tipo != Tok::Testo) {
            l.errore("serve il nome di un file tra apici");
        }
        s.file = l.prendi().testo;
    }
    if (l.parola("where")) {
        l.prendi();
        Criterio interno = condizioni(l, false);
        s.criteri = std::move(interno.termini);
    }
    if (l.corrente().tipo != Tok::Chiusa) {
        l.errore("\")\" expected");
    }
    l.prendi();
    return s;
}

std::vector<Ordinamento> ordinamenti(Lettore& l) {
    std::vector<Ordinamento> v;
    for (;;) {
        Ordinamento o;
        o.campo = nomeCampo(l, "il nome di un campo");
        if (l.parola("desc")) {
            o.discendente = true;
            l.prendi();
        } else if (l.parola("asc")) {
            l.prendi();
        }
        v.push_back(std::move(o));
        if (l.corrente().tipo != Tok::Virgola) {
            return v;
        }
        l.prendi();
    }
}

} // namespace

Criterio AnalizzaCriterio(std::string_view testo) {
    Lettore l(testo, err::CriteriaSyntax, "nel criterio di ricerca");
    Criterio c = condizioni(l, false);
    if (l.corrente().tipo != Tok::Fine) {
        if (l.parola("or") || l.parola("not")) {
            l.errore("solo \"and\" puo' unire le condizioni");
        }
        l.errore("serve \"and\" o la fine del criterio");
    }
    return c;
}

bool ESelezione(std::string_view testo) {
    std::size_t i = 0;
    while (i < testo.size() && spazio(testo[i])) {
        ++i;
    }
    return testo.size() - i > 6 && UgualiSenzaMaiuscole(testo.substr(i, 6), "select") &&
           spazio(testo[i + 6]);
}

Selezione AnalizzaSelezione(std::string_view testo) {
    Lettore l(testo, err::QuerySyntax, "nel testo di selezione");
    Selezione s;
    l.attendiParola("select");
    if (l.corrente().tipo != Tok::Stella) {
        l.errore("serve \"*\": si selezionano solo record interi");
    }
    l.prendi();
    l.attendiParola("from");
    s.tabella = nomeCampo(l, "il nome di una tabella");
    if (l.parola("where")) {
        l.prendi();
        s.dove = condizioni(l, true);
    }
    if (l.parola("order")) {
        l.prendi();
        l.attendiParola("by");
        s.ordine = ordinamenti(l);
    }
    if (l.corrente().tipo == Tok::PuntoVirgola) {
        l.prendi();
    }
    if (l.corrente().tipo != Tok::Fine) {
        l.errore("serve la fine del testo di selezione");
    }
    return s;
}

std::vector<Ordinamento> AnalizzaOrdinamento(std::string_view testo) {
    Lettore l(testo, err::QuerySyntax, "nel testo di ordinamento");
    std::vector<Ordinamento> v = ordinamenti(l);
    if (l.corrente().tipo != Tok::Fine) {
        l.errore("serve \",\" o la fine del testo di ordinamento");
    }
    return v;
}

std::optional<std::string> NumeroCriterio(const Valore& valore) {
    if (valore.nullo()) {
        return std::nullopt;
    }
    const double n = valore.numero();
    if (std::isfinite(n) && n == std::floor(n) && std::fabs(n) < 9e15) {
        return std::to_string(static_cast<long long>(n));
    }
    return valore.testo();
}

} // namespace vdx::jet
