#include "shared/Date.h"

#include <chrono>
#include <cstdio>
#include <ctime>

namespace vdx {

DataOra OraLocale() {
    const std::time_t now = std::time(nullptr);
    std::tm scomposta{};
    localtime_r(&now, &scomposta);
    return DataOra{scomposta.tm_year + 1900, scomposta.tm_mon + 1, scomposta.tm_mday,
                   scomposta.tm_hour,        scomposta.tm_min,     scomposta.tm_sec};
}

Orologio OrologioDiSistema() {
    return [] { return OraLocale(); };
}

std::string TestoData(const DataOra& momento) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d/%02d/%04d", momento.giorno, momento.mese, momento.anno);
    return buf;
}

std::string DataOdierna(const Orologio& orologio) {
    return TestoData(orologio());
}

std::string TestoOra(const DataOra& momento) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d:%02d", momento.ora, momento.minuti);
    return buf;
}

namespace {
// Characters `from` (1-based) to `to` of a text, as many of them as exist.
std::string_view Posizioni(std::string_view s, std::size_t from, std::size_t to) {
    if (from > s.size()) {
        return {};
    }
    return s.substr(from - 1, to - from + 1);
}
} // namespace

std::string ChiaveDaData(std::string_view data) {
    std::string chiave;
    chiave += Posizioni(data, 7, 10);
    chiave += Posizioni(data, 4, 5);
    chiave += Posizioni(data, 1, 2);
    return chiave;
}

std::string DataDaChiave(std::string_view chiave) {
    std::string testo;
    testo += Posizioni(chiave, 7, 8);
    testo += '/';
    testo += Posizioni(chiave, 5, 6);
    testo += '/';
    testo += Posizioni(chiave, 1, 4);
    return testo;
}

DataOra SpostaGiorni(const DataOra& data, int giorni) {
    using namespace std::chrono;
    const year_month_day ymd{year{data.anno}, month{static_cast<unsigned>(data.mese)},
                             day{static_cast<unsigned>(data.giorno)}};
    const year_month_day spostata{sys_days{ymd} + days{giorni}};
    DataOra out = data;
    out.anno = static_cast<int>(spostata.year());
    out.mese = static_cast<int>(static_cast<unsigned>(spostata.month()));
    out.giorno = static_cast<int>(static_cast<unsigned>(spostata.day()));
    return out;
}

} // namespace vdx
