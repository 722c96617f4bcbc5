#include "preview/ConvertiXLS.h"

#include "report/ConvertiBordi.h"
#include "shared/Ambiente.h"
#include "shared/Errore.h"
#include "shared/FileTesto.h"
#include "shared/NomiFile.h"

#include <algorithm>
#include <vector>

namespace vdx {

namespace fs = std::filesystem;

namespace {

// The rules and joints of the line drawing that become a field separator;
// the right tee only at the end of a line.
bool Separatore(unsigned char c) {
    switch (c) {
    case 217:
    case 197:
    case 194:
    case 195:
    case 192:
    case 193:
    case 179:
    case 191:
    case 218:
        return true;
    default:
        return false;
    }
}

constexpr unsigned char TeeDestra = 180;
constexpr unsigned char Orizzontale = 196;

// Positions count from 0 here; one before the start or past the end holds no digit.
bool Cifra(std::string_view riga, std::size_t pos, std::ptrdiff_t spostamento) {
    const auto p = static_cast<std::ptrdiff_t>(pos) + spostamento;
    if (p < 0 || static_cast<std::size_t>(p) >= riga.size()) {
        return false;
    }
    const char c = riga[static_cast<std::size_t>(p)];
    return c >= '0' && c <= '9';
}

// Whether the sign `segno` stands at `pos` between a digit and two digits, as
// the decimal and grouping signs of an amount do; its length, 0 if not.
std::size_t SegnoDiImporto(std::string_view riga, std::size_t pos, std::string_view segno) {
    if (segno.empty() || riga.substr(pos, segno.size()) != segno) {
        return 0;
    }
    const auto dopo = static_cast<std::ptrdiff_t>(segno.size());
    return Cifra(riga, pos, -1) && Cifra(riga, pos, dopo) && Cifra(riga, pos, dopo + 1)
               ? segno.size()
               : 0;
}

} // namespace

namespace {

// The first control byte of a setting (a tab is a separator spreadsheets
// know), or -1.
int ByteDiControllo(const std::string& valore) {
    for (const char c : valore) {
        const auto b = static_cast<unsigned char>(c);
        if ((b < 0x20 && b != '\t') || b == 0x7F) {
            return b;
        }
    }
    return -1;
}

[[noreturn]] void Rifiuta(const fs::path& file, int riga, const std::string& perche) {
    throw ImpostazioneRifiutata(errore::ChiamataNonValida, file.filename().string() + ", riga " +
                                                               std::to_string(riga) + ": " +
                                                               perche + ".");
}

} // namespace

ImpostazioniXLS LeggiImpostazioniXLS(const fs::path& cartella) {
    ImpostazioniXLS impostazioni;
    impostazioni.segni = SegniDelLocale();
    const auto file = TrovaFile(cartella, FileSeparatori);
    if (!file) {
        return impostazioni;
    }
    LettoreRighe lettore(*file);
    int numero = 0;
    for (std::string* valore :
         {&impostazioni.separatoreCampi, &impostazioni.segnoDecimale, &impostazioni.segnoValuta}) {
        auto riga = lettore.Leggi();
        if (!riga) {
            break; // a short file keeps the defaults of the lines it lacks
        }
        ++numero;
        // A separator of megabytes would turn a small report into a huge export.
        if (riga->size() > LunghezzaImpostazioneXLS) {
            Rifiuta(*file, numero,
                    "l'impostazione ha " + std::to_string(riga->size()) +
                        " caratteri, al massimo se ne accettano " +
                        std::to_string(LunghezzaImpostazioneXLS));
        }
        if (const int controllo = ByteDiControllo(*riga); controllo >= 0) {
            Rifiuta(*file, numero,
                    "l'impostazione contiene un carattere di controllo (codice " +
                        std::to_string(controllo) + ")");
        }
        *valore = std::move(*riga);
    }
    // Fields glued together, or amounts cut in two, are no spreadsheet.
    if (impostazioni.separatoreCampi.empty()) {
        Rifiuta(*file, 1, "il separatore dei campi \xE8 vuoto");
    }
    if (impostazioni.separatoreCampi == impostazioni.segnoDecimale) {
        Rifiuta(*file, std::min(numero, 2),
                "il separatore dei campi \xE8 uguale al segno decimale (\"" +
                    impostazioni.segnoDecimale + "\")");
    }
    return impostazioni;
}

std::string RigaCsv(std::string_view riga, const ImpostazioniXLS& impostazioni) {
    std::string csv;
    csv.reserve(riga.size() + riga.size() / 4);
    const std::size_t lunghezza = riga.size();
    for (std::size_t i = 0; i < lunghezza; ++i) {
        const auto c = static_cast<unsigned char>(riga[i]);
        // Line-drawing bytes count only where the layout puts a rule: in a
        // name they are letters (À, Ù, É).
        const bool regola = PosizioneDiRegola(riga, i);
        if (c == '|' || c == '+' || (regola && Separatore(c))) {
            csv += impostazioni.separatoreCampi;
        } else if (regola && c == TeeDestra) {
            if (i + 1 == lunghezza) {
                csv += impostazioni.separatoreCampi;
            } else {
                csv += ' ';
            }
        } else if (regola && c == Orizzontale) {
            csv += ' ';
        } else if (const std::size_t n = SegnoDiImporto(riga, i, impostazioni.segni.decimale)) {
            // The nearest space before the amount takes the currency mark,
            // wherever it stands; none found, nothing is marked.
            const std::size_t spazio = csv.rfind(' ');
            if (spazio != std::string::npos && !impostazioni.segnoValuta.empty()) {
                csv[spazio] = impostazioni.segnoValuta.front();
            }
            csv += impostazioni.segnoDecimale;
            i += n - 1;
        } else if (const std::size_t m = SegnoDiImporto(riga, i, impostazioni.segni.migliaia)) {
            i += m - 1; // a grouping sign is dropped
        } else if (c == ',') {
            csv += ' ';
        } else if (c == '-') {
            csv += Cifra(riga, i, 1) ? '-' : ' ';
        } else {
            csv += static_cast<char>(c);
        }
    }
    return csv;
}

std::string TestoCsv(std::string_view testo, const ImpostazioniXLS& impostazioni) {
    std::string csv;
    for (const auto& riga : DividiRighe(testo)) {
        csv += RigaCsv(riga, impostazioni);
        csv += "\r\n";
    }
    return csv;
}

fs::path ConvertiXLS(std::string_view nome, const fs::path& cartella, std::string_view postazione) {
    const ImpostazioniXLS impostazioni = LeggiImpostazioniXLS(cartella);
    const fs::path dato(nome);
    const fs::path ingresso = dato.is_absolute() ? dato : RisolviNome(cartella, nome);
    LettoreRighe lettore(ingresso);
    const fs::path uscita = RisolviNome(cartella, NomeFileCsv(postazione));
    ScrittoreAtomico scrittore(uscita);
    while (auto riga = lettore.Leggi()) {
        scrittore.ScriviRiga(RigaCsv(*riga, impostazioni));
    }
    scrittore.Conferma();
    return uscita;
}

} // namespace vdx
