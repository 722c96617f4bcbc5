#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace vdx {

// A local date and time as the workstation's clock gives it.
struct DataOra {
    int anno = 1900;
    int mese = 1;
    int giorno = 1;
    int ora = 0;
    int minuti = 0;
    int secondi = 0;
    bool operator==(const DataOra&) const = default;
};

// The clock is injected wherever the time is read, so tests are exact.
using Orologio = std::function<DataOra()>;

// The workstation's local clock.
DataOra OraLocale();
Orologio OrologioDiSistema();

// "dd/mm/yyyy", zero-filled (5 March 2026 -> "05/03/2026").
std::string TestoData(const DataOra& momento);

// Today's date text from a clock.
std::string DataOdierna(const Orologio& orologio);

// "hh:mm", zero-filled.
std::string TestoOra(const DataOra& momento);

// dd/mm/yyyy -> yyyymmdd: characters 7-10, 4-5 and 1-2 (positions only; a
// shorter text yields what its positions hold).
std::string ChiaveDaData(std::string_view data);

// Stored yyyymmdd -> dd/mm/yyyy: characters 7-8, "/", 5-6, "/", 1-4. A text of
// ten blanks gives "  /  /    ": the positions are taken as they are.
std::string DataDaChiave(std::string_view chiave);

// The day `giorni` days after (or before, when negative) a date, by the
// proleptic Gregorian calendar.
DataOra SpostaGiorni(const DataOra& data, int giorni);

} // namespace vdx
