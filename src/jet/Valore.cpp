#include "jet/Valore.h"

#include "shared/Numeri.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <utility>

namespace vdx::jet {

bool TipoIntero(TipoCampo tipo) {
    return tipo == TipoCampo::Boolean || tipo == TipoCampo::Byte || tipo == TipoCampo::Integer ||
           tipo == TipoCampo::Long || tipo == TipoCampo::Currency;
}

Valore Valore::NulloDi(TipoCampo tipo) {
    Valore v;
    v.tipo_ = tipo;
    return v;
}

Valore Valore::Testo(std::string bytes, TipoCampo tipo) {
    Valore v;
    v.tipo_ = tipo;
    v.nullo_ = false;
    v.testo_ = std::move(bytes);
    return v;
}

Valore Valore::Intero(std::int64_t n, TipoCampo tipo) {
    Valore v;
    v.tipo_ = tipo;
    v.nullo_ = false;
    v.intero_ = n;
    return v;
}

Valore Valore::Reale(double n, TipoCampo tipo) {
    Valore v;
    v.tipo_ = tipo;
    v.nullo_ = false;
    v.reale_ = n;
    return v;
}

Valore Valore::Denaro(std::int64_t decimillesimi) {
    return Intero(decimillesimi, TipoCampo::Currency);
}

Valore Valore::Data(double giorniDal1899) {
    return Reale(giorniDal1899, TipoCampo::DateTime);
}

Valore Valore::Booleano(bool b) {
    return Intero(b ? -1 : 0, TipoCampo::Boolean);
}

namespace {

// Days since 30/12/1899 -> "dd/mm/yyyy" and, when the time is not midnight,
// " hh:mm:ss". Negative values count back from 30/12/1899 with the time of day
// taken as a positive fraction, as the engine stores them.
std::string TestoData(double giorni) {
    if (!std::isfinite(giorni) || std::fabs(giorni) > 3.0e6) {
        return TestoNumero(giorni);
    }
    double interi = std::trunc(giorni);
    double frazione = std::fabs(giorni - interi);
    long long secondiTotali = std::llround(frazione * 86400.0);
    if (secondiTotali >= 86400) {
        secondiTotali -= 86400;
        interi += giorni < 0 ? -1 : 1;
    }
    // Civil date from days since 1970-01-01 (30/12/1899 is day -25569).
    long long z = static_cast<long long>(interi) - 25569 + 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    long long y = yoe + era * 400;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    const long long d = doy - (153 * mp + 2) / 5 + 1;
    const long long m = mp < 10 ? mp + 3 : mp - 9;
    if (m <= 2) {
        ++y;
    }
    char buf[128];
    if (secondiTotali == 0) {
        std::snprintf(buf, sizeof buf, "%02lld/%02lld/%04lld", d, m, y);
    } else {
        std::snprintf(buf, sizeof buf, "%02lld/%02lld/%04lld %02lld:%02lld:%02lld", d, m, y,
                      secondiTotali / 3600, (secondiTotali / 60) % 60, secondiTotali % 60);
    }
    return buf;
}

} // namespace

std::string TestoNumero(double v) {
    if (v == 0) {
        return "0";
    }
    std::array<char, 400> buf{};
    auto [end, ec] =
        std::to_chars(buf.data(), buf.data() + buf.size(), v, std::chars_format::fixed);
    if (ec != std::errc()) {
        return "0";
    }
    return std::string(buf.data(), end);
}

std::string TestoDecimillesimi(std::int64_t v) {
    const bool negativo = v < 0;
    const std::uint64_t a =
        negativo ? 0 - static_cast<std::uint64_t>(v) : static_cast<std::uint64_t>(v);
    std::string s = std::to_string(a / 10000);
    std::uint64_t frazione = a % 10000;
    if (frazione != 0) {
        char f[24];
        std::snprintf(f, sizeof f, "%04llu", static_cast<unsigned long long>(frazione));
        std::string cifre(f);
        while (!cifre.empty() && cifre.back() == '0') {
            cifre.pop_back();
        }
        s += "." + cifre;
    }
    return negativo ? "-" + s : s;
}

std::string Valore::ComeTesto() const {
    if (nullo_) {
        return {};
    }
    switch (tipo_) {
    case TipoCampo::Text:
    case TipoCampo::Memo:
    case TipoCampo::Other:
        return testo_;
    case TipoCampo::Boolean:
        return intero_ != 0 ? "True" : "False";
    case TipoCampo::Currency:
        return TestoDecimillesimi(intero_);
    case TipoCampo::Byte:
    case TipoCampo::Integer:
    case TipoCampo::Long:
        return std::to_string(intero_);
    case TipoCampo::Single: {
        // The shortest text of the single-precision value: 1.1, not 1.100000023841858.
        std::array<char, 64> buf{};
        const float f = static_cast<float>(reale_);
        if (f == 0) {
            return "0";
        }
        auto [end, ec] =
            std::to_chars(buf.data(), buf.data() + buf.size(), f, std::chars_format::fixed);
        return ec == std::errc() ? std::string(buf.data(), end) : TestoNumero(reale_);
    }
    case TipoCampo::Double:
        return TestoNumero(reale_);
    case TipoCampo::DateTime:
        return TestoData(reale_);
    }
    return testo_;
}

double Valore::ComeNumero() const {
    if (nullo_) {
        return 0;
    }
    if (tipo_ == TipoCampo::Currency) {
        return static_cast<double>(intero_) / 10000.0;
    }
    if (TipoIntero(tipo_)) {
        return static_cast<double>(intero_);
    }
    if (tipo_ == TipoCampo::Text || tipo_ == TipoCampo::Memo || tipo_ == TipoCampo::Other) {
        return LeggiNumero(testo_);
    }
    return reale_;
}

std::int64_t Valore::ComeDenaro() const {
    if (nullo_) {
        return 0;
    }
    if (tipo_ == TipoCampo::Currency) {
        return intero_;
    }
    if (TipoIntero(tipo_)) {
        return intero_ * 10000;
    }
    // Beyond the range of money the value is held at its ends.
    const double scalato = ComeNumero() * 10000.0;
    if (std::isnan(scalato)) {
        return 0;
    }
    if (scalato >= 9.2e18) {
        return std::numeric_limits<std::int64_t>::max();
    }
    if (scalato <= -9.2e18) {
        return std::numeric_limits<std::int64_t>::min();
    }
    return std::llround(scalato);
}

} // namespace vdx::jet
