#include "jet/EsportaCsv.h"

#include "shared/Cp1252.h"

namespace vdx::jet {

namespace {

void ScriviValore(std::ostream& out, const std::string& cp1252) {
    const std::string utf8 = Utf8DaCp1252(cp1252);
    if (utf8.find_first_of(",\"\r\n") == std::string::npos) {
        out << utf8;
        return;
    }
    out << '"';
    for (char c : utf8) {
        if (c == '"') {
            out << '"';
        }
        out << c;
    }
    out << '"';
}

void ScriviRiga(std::ostream& out, const std::vector<std::string>& valori) {
    for (std::size_t i = 0; i < valori.size(); ++i) {
        if (i > 0) {
            out << ',';
        }
        ScriviValore(out, valori[i]);
    }
    out << "\r\n";
}

} // namespace

std::size_t ScriviCsv(Recordset& rs, std::string_view criterio, std::ostream& out) {
    const std::vector<std::string> nomi = rs.NomiCampi();
    ScriviRiga(out, nomi);
    std::size_t n = 0;
    auto scriviCorrente = [&] {
        std::vector<std::string> valori;
        valori.reserve(nomi.size());
        for (const std::string& nome : nomi) {
            valori.push_back(rs.Testo(nome));
        }
        ScriviRiga(out, valori);
        ++n;
    };
    if (criterio.empty()) {
        for (rs.MoveFirst(); !rs.Fine(); rs.MoveNext()) {
            scriviCorrente();
        }
    } else {
        for (bool trovato = rs.FindFirst(criterio); trovato; trovato = rs.FindNext(criterio)) {
            scriviCorrente();
        }
    }
    return n;
}

} // namespace vdx::jet
