#pragma once

// The criteria and selection texts of Criteri.h taken apart: the reader's
// side of them.

#include <cstdint>
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
bool DiSelezione(std::string_view testo);

// A selection text. Anything not of the forms of Criteri.h: vdx::Errore
// SintassiSelezione.
Selezione AnalizzaSelezione(std::string_view testo);

// A sort text: "[NumeroCamera]", "NumeroCamera, Codice DESC". Errors: SintassiSelezione.
std::vector<Ordinamento> AnalizzaOrdinamento(std::string_view testo);

} // namespace vdx::jet
