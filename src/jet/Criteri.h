#pragma once

// Search criteria and selection texts, as the system writes them:
//
//   criteria   NumeroHotel = 1 and NumeroCamera >= '101' and Partito <> 'S'
//   selection  Select * From T [Where criteria] [Order by F [ASC|DESC], ...][;]
//              ... Where F In (Select C From T2 In 'file.mdb' Where criteria)
//
// A criterion is a list of comparisons joined by "and": a field name (or a
// [bracketed] name), one of = <> < <= > >=, and a value: an unsigned decimal
// number or a text between single quotes, where two quotes stand for one.
// Anything else ("or", "not", "like", parentheses, a value on the left) is a
// syntax error with its position, never a guess. Key words are read without
// regard to letter case. A minus sign before a number is taken (the engine
// reads it as a negative value).

#include "jet/Valore.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vdx::jet {

enum class Operatore { Uguale, Diverso, Minore, MinoreUguale, Maggiore, MaggioreUguale };

// A value written in a criterion.
struct Letterale {
    bool quotato = false; // between quotes
    std::string testo;    // the text (quotes undone), or the number as written
    double numero = 0;    // the numeric reading
    bool esatto = false;  // numero is exactly decimillesimi / 10000
    std::int64_t decimillesimi = 0;

    static Letterale Testo(std::string bytes);
    static Letterale Numero(std::string cifre);
};

struct Termine {
    std::string campo;
    Operatore op = Operatore::Uguale;
    Letterale valore;
};

// campo In (Select colonna From tabella [In 'file'] [Where criteri])
struct SottoSelezione {
    std::string campo;
    std::string colonna;
    std::string tabella;
    std::string file; // empty: the same database
    std::vector<Termine> criteri;
};

struct Criterio {
    std::vector<Termine> termini;
    std::vector<SottoSelezione> sottoSelezioni; // only in selection texts
};

struct Ordinamento {
    std::string campo;
    bool discendente = false;
};

struct Selezione {
    std::string tabella;
    Criterio dove;
    std::vector<Ordinamento> ordine;
};

// Criteria of a Find. Syntax errors: vdx::Errore SintassiCriterio with the
// character position (from 1).
Criterio AnalizzaCriterio(std::string_view testo);

// Whether a source text is a selection text (it starts with "Select") rather
// than a table name.
bool ESelezione(std::string_view testo);

// A selection text. Anything not of the forms above: vdx::Errore SintassiSelezione.
Selezione AnalizzaSelezione(std::string_view testo);

// A sort text: "[NumeroCamera]", "NumeroCamera, Codice DESC". Errors: SintassiSelezione.
std::vector<Ordinamento> AnalizzaOrdinamento(std::string_view testo);

// A text made safe to put between single quotes in a criterion: every quote
// doubled, so that a name like D'Angelo can never end the text early or
// change the criterion.
std::string TestoTraApici(std::string_view valore);

// A number of a record as a criterion writes it: plain decimal, no leading
// space ("CodiceCliente = 1234"). Nothing for a field holding no value: no
// record can match it.
std::optional<std::string> NumeroCriterio(const Valore& valore);

} // namespace vdx::jet
