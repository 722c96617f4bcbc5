#pragma once

// The values of the fields of the suite's tables: the kinds of field, and one
// stored value with the texts and numbers the program reads it as.

#include <cstdint>
#include <string>

namespace vdx::jet {

enum class TipoCampo {
    Boolean,
    Byte,
    Integer,
    Long,
    Currency,
    Single,
    Double,
    DateTime,
    Text,
    Memo,
    Other
};

// Whether a field of kind `tipo` holds a whole number: Boolean, Byte, Integer,
// Long, and Currency (in ten-thousandths).
bool TipoIntero(TipoCampo tipo);

// One stored value, read natively from the row.
class Valore {
public:
    Valore() = default;                    // NULL
    static Valore NulloDi(TipoCampo tipo); // NULL, in a field of that kind
    static Valore Testo(std::string bytes, TipoCampo tipo = TipoCampo::Text);
    static Valore Intero(std::int64_t v, TipoCampo tipo = TipoCampo::Long);
    static Valore Reale(double v, TipoCampo tipo = TipoCampo::Double);
    static Valore Denaro(std::int64_t decimillesimi); // Currency, value x 10000
    static Valore Data(double giorniDal1899);         // DateTime, days since 30/12/1899
    static Valore Booleano(bool v);

    bool Nullo() const { return nullo_; }
    TipoCampo Tipo() const { return tipo_; }

    // Text fields as code page 1252 bytes; a number as its plain decimal text
    // ("3", "1.5", money "18.5"); a date as "dd/mm/yyyy[ hh:mm:ss]"; a
    // boolean as "True"/"False"; NULL as "".
    std::string ComeTesto() const;
    // Numbers as they are; money as value/10000; text by the numeric reading
    // of text; booleans as -1/0; NULL as 0.
    double ComeNumero() const;
    // Money exactly, in ten-thousandths; other numbers x 10000 rounded; NULL 0.
    std::int64_t ComeDenaro() const;

    // Criteria and Sort order text by byte codes and numbers by value (see
    // Criteri.h); a NULL field satisfies no comparison.

private:
    TipoCampo tipo_ = TipoCampo::Other;
    bool nullo_ = true;
    std::int64_t intero_ = 0; // integers, money, booleans
    double reale_ = 0.0;      // Single, Double, DateTime
    std::string testo_;       // Text, Memo
};

// A number as its plain decimal text, shortest form that reads back the same
// ("3", "1.5", "-0.25"): no exponent, no locale.
std::string TestoNumero(double v);
std::string TestoDecimillesimi(std::int64_t v); // 185000 -> "18.5"

} // namespace vdx::jet
