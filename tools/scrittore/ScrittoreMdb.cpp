#include "ScrittoreMdb.h"

#include "jet/FileMdb.h"
#include "shared/Cp1252.h"
#include "shared/Errore.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace vdx::jet {

namespace {

namespace fs = std::filesystem;

constexpr std::size_t Pagina = 4096;
constexpr std::size_t TestataDati = 14; // data page header up to the row offsets
constexpr std::size_t MaxRighePagina = 255;
constexpr std::size_t MaxRiga = 4060;           // a data row, as Access allows it
constexpr std::size_t MaxLvalSingola = 4076;    // a memo held in one LVAL row
constexpr std::size_t MaxLvalCatena = 4072;     // a part of a memo chain (plus the next pointer)
constexpr std::size_t MaxMemoInterno = 64;      // memos kept inside the row
constexpr std::size_t Mappa = 69;               // a usage-map row
constexpr std::size_t PagineMappaInterna = 512; // pages an inline map covers
constexpr std::uint32_t PagineMappaEsterna = (Pagina - 4) * 8; // pages one 0x05 page covers
constexpr std::size_t SlotMappaEsterna = (Mappa - 1) / 4;
constexpr std::uint32_t PaginaCatalogo = 2;
constexpr std::uint32_t PaginaMappe = 3;
constexpr std::uint32_t PrimaPaginaLibera = 4;

constexpr std::uint32_t IdTabelle = 0x0F000001; // the "Tables" container of the catalog
constexpr std::uint32_t IdRadice = 0x0F000000;
constexpr std::uint32_t FlagSistema = 0x80000002;

// The RC4 keystream (key C7 DA 39 6B) over the 128 header bytes from 0x18.
constexpr std::array<std::uint8_t, 128> ChiaveTestata = {
    0xb5, 0x6f, 0x03, 0x62, 0x61, 0x08, 0xc2, 0x55, 0xeb, 0xa9, 0x67, 0x72, 0x43, 0x3f, 0x00, 0x9c,
    0x7a, 0x9f, 0x90, 0xff, 0x80, 0x9a, 0x31, 0xc5, 0x79, 0xba, 0xed, 0x30, 0xbc, 0xdf, 0xcc, 0x9d,
    0x63, 0xd9, 0xe4, 0xc3, 0x7b, 0x42, 0xfb, 0x8a, 0xbc, 0x4e, 0x86, 0xfb, 0xec, 0x37, 0x5d, 0x44,
    0x9c, 0xfa, 0xc6, 0x5e, 0x28, 0xe6, 0x13, 0xb6, 0x8a, 0x60, 0x54, 0x94, 0x7b, 0x36, 0xf5, 0x72,
    0xdf, 0xb1, 0x77, 0xf4, 0x13, 0x43, 0xcf, 0xaf, 0xb1, 0x33, 0x34, 0x61, 0x79, 0x5b, 0x92, 0xb5,
    0x7c, 0x2a, 0x05, 0xf1, 0x7c, 0x99, 0x01, 0x1b, 0x98, 0xfd, 0x12, 0x4f, 0x4a, 0x94, 0x6c, 0x3e,
    0x60, 0x26, 0x5f, 0x95, 0xf8, 0xd0, 0x89, 0x24, 0x85, 0x67, 0xc6, 0x1f, 0x27, 0x44, 0xd2, 0xee,
    0xcf, 0x65, 0xed, 0xff, 0x07, 0xc7, 0x46, 0xa1, 0x78, 0x16, 0x0c, 0xed, 0xe9, 0x2d, 0x62, 0xd4};

void Metti16(std::uint8_t* p, std::uint32_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
void Metti32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        p[i] = static_cast<std::uint8_t>(v >> (8 * i));
    }
}
void Metti64(std::uint8_t* p, std::uint64_t v) {
    for (int i = 0; i < 8; ++i) {
        p[i] = static_cast<std::uint8_t>(v >> (8 * i));
    }
}
void Aggiungi16(std::string& s, std::uint32_t v) {
    s.push_back(static_cast<char>(v & 0xFF));
    s.push_back(static_cast<char>((v >> 8) & 0xFF));
}
void Aggiungi32(std::string& s, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    }
}

std::string Minuscole(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return out;
}

[[noreturn]] void Rifiuta(const std::string& testo) {
    throw Errore(errore::ChiamataNonValida, testo);
}

// Names the engine refuses are refused here: a file with one would not read.
void ControllaNome(const std::string& nome) {
    if (!NomeAccessValido(nome)) {
        Rifiuta("il nome \"" + nome +
                "\" non \xE8 ammesso in un file Access: niente . ! ` [ ], caratteri di "
                "controllo o spazio iniziale");
    }
}

const char* NomeTipo(TipoCampo tipo) {
    switch (tipo) {
    case TipoCampo::Boolean:
        return "Boolean";
    case TipoCampo::Byte:
        return "Byte";
    case TipoCampo::Integer:
        return "Integer";
    case TipoCampo::Long:
        return "Long";
    case TipoCampo::Currency:
        return "Currency";
    case TipoCampo::Single:
        return "Single";
    case TipoCampo::Double:
        return "Double";
    case TipoCampo::DateTime:
        return "DateTime";
    case TipoCampo::Text:
        return "Text";
    case TipoCampo::Memo:
        return "Memo";
    case TipoCampo::Other:
        break;
    }
    return "?";
}

// Where a column sits in the table definition and in a row.
struct Posto {
    std::string nome; // code page 1252
    TipoCampo tipo = TipoCampo::Long;
    std::uint8_t codice = 0; // Jet type code
    bool fisso = false;
    std::uint16_t numero = 0;    // column number: null-mask bit
    std::uint16_t variabile = 0; // index among the variable columns
    std::uint16_t offset = 0;    // offset in the fixed area
    std::uint16_t dimensione = 0;
    int caratteri = 0;
};

std::vector<Posto> Disponi(const std::vector<Colonna>& colonne, std::uint16_t& lunghezzaFissa,
                           std::uint16_t& variabili) {
    std::vector<Posto> posti;
    lunghezzaFissa = 0;
    variabili = 0;
    for (std::size_t i = 0; i < colonne.size(); ++i) {
        const Colonna& c = colonne[i];
        Posto p;
        p.nome = c.nome;
        p.tipo = c.tipo;
        p.numero = static_cast<std::uint16_t>(i);
        p.caratteri = c.caratteri;
        switch (c.tipo) {
        case TipoCampo::Boolean:
            p.codice = 0x01;
            p.dimensione = 1;
            break;
        case TipoCampo::Byte:
            p.codice = 0x02;
            p.dimensione = 1;
            break;
        case TipoCampo::Integer:
            p.codice = 0x03;
            p.dimensione = 2;
            break;
        case TipoCampo::Long:
            p.codice = 0x04;
            p.dimensione = 4;
            break;
        case TipoCampo::Currency:
            p.codice = 0x05;
            p.dimensione = 8;
            break;
        case TipoCampo::Single:
            p.codice = 0x06;
            p.dimensione = 4;
            break;
        case TipoCampo::Double:
            p.codice = 0x07;
            p.dimensione = 8;
            break;
        case TipoCampo::DateTime:
            p.codice = 0x08;
            p.dimensione = 8;
            break;
        case TipoCampo::Text:
            p.codice = 0x0A;
            p.dimensione = static_cast<std::uint16_t>(2 * c.caratteri);
            break;
        case TipoCampo::Memo:
            p.codice = 0x0C;
            p.dimensione = 0;
            break;
        case TipoCampo::Other:
            Rifiuta("colonna " + c.nome + ": un tipo che lo scrittore non sa scrivere");
        }
        p.fisso = c.tipo != TipoCampo::Text && c.tipo != TipoCampo::Memo;
        // A fixed column carries the count of variable columns before it,
        // as Access writes it; a variable one its own index.
        p.variabile = p.fisso ? variabili : variabili++;
        if (c.tipo == TipoCampo::Boolean) {
            // The value is the null-mask bit: no room in the row, offset 0
            // and size 1 in the definition, as Access writes it.
        } else if (p.fisso) {
            p.offset = lunghezzaFissa;
            lunghezzaFissa = static_cast<std::uint16_t>(lunghezzaFissa + p.dimensione);
        }
        posti.push_back(p);
    }
    return posti;
}

// Code page 1252 to Access text: one byte per character behind FF FE when
// every character is below U+0100 (and that is shorter), else UCS-2. The
// bytes that compress are their own low byte, so they are copied as they are.
class CodificaTesto {
public:
    CodificaTesto() {
        for (int b = 0; b < 256; ++b) {
            const char16_t u =
                static_cast<char16_t>(UnicodeDaCp1252(static_cast<unsigned char>(b)));
            unicode_[static_cast<std::size_t>(b)] = u;
            compatta_[static_cast<std::size_t>(b)] = u != 0 && u <= 0xFF;
        }
    }
    void Codifica(std::string_view testo, std::string& out) const {
        const auto* p = reinterpret_cast<const unsigned char*>(testo.data());
        const std::size_t n = testo.size();
        bool compatto = n > 2;
        for (std::size_t i = 0; compatto && i < n; ++i) {
            compatto = compatta_[p[i]];
        }
        if (compatto) {
            out.resize(n + 2);
            out[0] = '\xFF';
            out[1] = '\xFE';
            std::memcpy(out.data() + 2, p, n);
        } else {
            out.resize(2 * n);
            auto* q = reinterpret_cast<unsigned char*>(out.data());
            for (std::size_t i = 0; i < n; ++i) {
                const char16_t u = unicode_[p[i]];
                q[2 * i] = static_cast<unsigned char>(u & 0xFF);
                q[2 * i + 1] = static_cast<unsigned char>(u >> 8);
            }
        }
    }

private:
    std::array<char16_t, 256> unicode_{};
    std::array<bool, 256> compatta_{};
};

// A page of rows being filled: rows packed downward from the page end.
class PaginaRighe {
public:
    void Inizia(std::uint32_t proprietario) {
        std::memset(buf_.data(), 0, Pagina);
        buf_[0] = 0x01;
        buf_[1] = 0x01;
        Metti32(&buf_[4], proprietario);
        righe_ = 0;
        inizio_ = Pagina;
    }
    bool Vuota() const { return righe_ == 0; }
    bool Entra(std::size_t lunghezza) const {
        return righe_ < MaxRighePagina && TestataDati + 2 * (righe_ + 1) + lunghezza <= inizio_;
    }
    // Puts a row on the page; returns its index.
    std::uint32_t Aggiungi(const void* dati, std::size_t lunghezza) {
        inizio_ -= lunghezza;
        std::memcpy(&buf_[inizio_], dati, lunghezza);
        Metti16(&buf_[TestataDati + 2 * righe_], static_cast<std::uint32_t>(inizio_));
        return static_cast<std::uint32_t>(righe_++);
    }
    const std::uint8_t* Finisci() {
        const std::size_t libero = inizio_ - TestataDati - 2 * righe_;
        Metti16(&buf_[2], static_cast<std::uint32_t>(libero));
        Metti16(&buf_[12], static_cast<std::uint32_t>(righe_));
        return buf_.data();
    }

private:
    std::array<std::uint8_t, Pagina> buf_{};
    std::size_t righe_ = 0;
    std::size_t inizio_ = Pagina;
};

// A table already written, kept until the catalog is written.
struct TabellaScritta {
    std::string nome;
    std::vector<Posto> posti;
    std::uint16_t variabili = 0;
    std::uint32_t tdef = 0;
    std::uint32_t righe = 0;
    std::vector<std::uint32_t> pagine; // its data pages, ascending
    bool sistema = false;
};

std::string TestoColonna(const Posto& p, std::string_view tabella) {
    return "\"" + std::string(tabella) + "\".\"" + p.nome + "\"";
}

} // namespace

Colonna ColonnaDa(std::string_view dichiarazione) {
    const auto duePunti = dichiarazione.rfind(':');
    if (duePunti == std::string_view::npos) {
        Rifiuta("la colonna \"" + std::string(dichiarazione) + "\" non ha un tipo (Nome:Tipo)");
    }
    Colonna c;
    c.nome = std::string(dichiarazione.substr(0, duePunti));
    std::string tipo = Minuscole(dichiarazione.substr(duePunti + 1));
    tipo.erase(0, tipo.find_first_not_of(' '));
    tipo.erase(tipo.find_last_not_of(' ') + 1);
    if (c.nome.empty() || c.nome.size() > 64) {
        Rifiuta("il nome di colonna \"" + c.nome + "\" deve avere da 1 a 64 caratteri");
    }
    ControllaNome(c.nome);
    static const std::pair<const char*, TipoCampo> semplici[] = {
        {"long", TipoCampo::Long},         {"integer", TipoCampo::Integer},
        {"byte", TipoCampo::Byte},         {"boolean", TipoCampo::Boolean},
        {"memo", TipoCampo::Memo},         {"currency", TipoCampo::Currency},
        {"single", TipoCampo::Single},     {"double", TipoCampo::Double},
        {"datetime", TipoCampo::DateTime}, {"text", TipoCampo::Text}};
    for (const auto& [nome, t] : semplici) {
        if (tipo == nome) {
            c.tipo = t;
            c.caratteri = t == TipoCampo::Text ? 255 : 0;
            return c;
        }
    }
    if (tipo.size() > 6 && tipo.compare(0, 5, "text(") == 0 && tipo.back() == ')') {
        const std::string numero = tipo.substr(5, tipo.size() - 6);
        int n = 0;
        const bool valido = !numero.empty() && numero.size() <= 3 &&
                            std::all_of(numero.begin(), numero.end(),
                                        [](char ch) { return ch >= '0' && ch <= '9'; });
        for (std::size_t i = 0; valido && i < numero.size(); ++i) {
            n = n * 10 + (numero[i] - '0');
        }
        if (!valido || n < 1 || n > 255) {
            Rifiuta("colonna \"" + c.nome + "\": la lunghezza di Text va da 1 a 255");
        }
        c.tipo = TipoCampo::Text;
        c.caratteri = n;
        return c;
    }
    Rifiuta("colonna \"" + c.nome + "\": tipo sconosciuto \"" +
            std::string(dichiarazione.substr(duePunti + 1)) + "\"");
}

std::string Dichiarazione(const Colonna& colonna) {
    std::string testo = colonna.nome + ":" + NomeTipo(colonna.tipo);
    if (colonna.tipo == TipoCampo::Text) {
        testo += "(" + std::to_string(colonna.caratteri) + ")";
    }
    return testo;
}

double GiorniDal1899(int anno, int mese, int giorno, int ora, int minuti, int secondi) {
    using namespace std::chrono;
    if (anno < PrimoAnno || anno > UltimoAnno) {
        Rifiuta("data e ora non valide");
    }
    const year_month_day ymd{year{anno}, month{static_cast<unsigned>(mese)},
                             day{static_cast<unsigned>(giorno)}};
    if (!ymd.ok() || ora < 0 || ora > 23 || minuti < 0 || minuti > 59 || secondi < 0 ||
        secondi > 59) {
        Rifiuta("data e ora non valide");
    }
    const auto base = sys_days{year{1899} / December / 30};
    const double giorni = static_cast<double>((sys_days{ymd} - base).count());
    const double frazione = (ora * 3600.0 + minuti * 60.0 + secondi) / 86400.0;
    return giorni >= 0 ? giorni + frazione : giorni - frazione;
}

struct ScrittoreMdb::Stato {
    fs::path file;
    fs::path temporaneo;
    int fd = -1;
    bool finito = false;
    std::uint32_t prossima = PrimaPaginaLibera;
    std::vector<TabellaScritta> tabelle;
    CodificaTesto codifica;

    // The table being written.
    bool aperta = false;
    std::vector<Colonna> colonne;
    TabellaScritta corrente;
    std::uint16_t lunghezzaFissa = 0;
    PaginaRighe dati;
    PaginaRighe lval;
    std::uint32_t paginaLval = 0;
    bool lvalAperta = false;

    // The row being built.
    std::vector<std::uint8_t> fisso;
    std::vector<std::string> variabile;
    std::vector<std::uint8_t> presente;
    std::string riga;
    std::string appoggio;

    void ScriviPagina(std::uint32_t numero, const std::uint8_t* buf) {
        const off_t posizione = static_cast<off_t>(numero) * static_cast<off_t>(Pagina);
        std::size_t scritti = 0;
        while (scritti < Pagina) {
            const ssize_t n = ::pwrite(fd, buf + scritti, Pagina - scritti,
                                       posizione + static_cast<off_t>(scritti));
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                const int codice = errno == ENOSPC ? errore::DiscoPieno : errore::AccessoPercorso;
                throw Errore(codice, "impossibile scrivere " + file.string() + ": " +
                                         DescrizioneErrno(errno));
            }
            scritti += static_cast<std::size_t>(n);
        }
    }

    void Apri(TabellaScritta tabella) {
        corrente = std::move(tabella);
        corrente.righe = 0;
        corrente.pagine.clear();
        lunghezzaFissa = 0;
        for (const Posto& p : corrente.posti) {
            if (p.fisso && p.tipo != TipoCampo::Boolean) {
                lunghezzaFissa = std::max<std::uint16_t>(lunghezzaFissa, p.offset + p.dimensione);
            }
        }
        fisso.assign(lunghezzaFissa, 0);
        variabile.assign(corrente.variabili, std::string());
        presente.assign(corrente.posti.size(), 0);
        dati.Inizia(corrente.tdef);
        lvalAperta = false;
        aperta = true;
    }

    const Posto& PostoDi(std::size_t colonna) {
        if (!aperta) {
            Rifiuta("nessuna tabella in scrittura");
        }
        if (colonna >= corrente.posti.size()) {
            Rifiuta("la tabella \"" + corrente.nome + "\" non ha la colonna " +
                    std::to_string(colonna));
        }
        return corrente.posti[colonna];
    }

    [[noreturn]] void TipoErrato(const Posto& p, const char* valore) {
        Rifiuta("la colonna " + TestoColonna(p, corrente.nome) + " (" + NomeTipo(p.tipo) +
                ") non pu\xF2 contenere " + valore);
    }
    [[noreturn]] void FuoriMisura(const Posto& p, const std::string& valore) {
        Rifiuta("colonna " + TestoColonna(p, corrente.nome) + " (" + NomeTipo(p.tipo) +
                "): " + valore + " fuori dai limiti");
    }

    void SvuotaDati() {
        if (dati.Vuota()) {
            return;
        }
        const std::uint32_t numero = prossima++;
        ScriviPagina(numero, dati.Finisci());
        corrente.pagine.push_back(numero);
        dati.Inizia(corrente.tdef);
    }

    void SvuotaLval() {
        if (lvalAperta) {
            ScriviPagina(paginaLval, lval.Finisci());
            lvalAperta = false;
        }
    }

    std::uint32_t RigaLval(const char* byte, std::size_t lunghezza) {
        if (!lvalAperta || !lval.Entra(lunghezza)) {
            SvuotaLval();
            paginaLval = prossima++;
            lval.Inizia(0x4C41564Cu); // "LVAL"
            lvalAperta = true;
        }
        const std::uint32_t indice = lval.Aggiungi(byte, lunghezza);
        return (paginaLval << 8) | indice;
    }

    // The 12-byte memo field, and the memo itself inline or on LVAL pages.
    void Memo(const Posto& p, std::string_view cp1252) {
        codifica.Codifica(cp1252, appoggio);
        const std::size_t lunghezza = appoggio.size();
        if (lunghezza >= (1u << 24)) {
            FuoriMisura(p, "un memo di " + std::to_string(cp1252.size()) + " caratteri");
        }
        std::string& campo = variabile[p.variabile];
        campo.assign(12, '\0');
        auto* testa = reinterpret_cast<std::uint8_t*>(campo.data());
        if (lunghezza <= MaxMemoInterno) {
            Metti32(testa, static_cast<std::uint32_t>(lunghezza) | 0x80000000u);
            campo += appoggio;
        } else if (lunghezza <= MaxLvalSingola) {
            const std::uint32_t puntatore = RigaLval(appoggio.data(), lunghezza);
            Metti32(testa, static_cast<std::uint32_t>(lunghezza) | 0x40000000u);
            Metti32(testa + 4, puntatore);
        } else {
            // A chain: each part names the next, so the parts go down last first.
            std::uint32_t seguente = 0;
            std::string parte;
            const std::size_t parti = (lunghezza + MaxLvalCatena - 1) / MaxLvalCatena;
            for (std::size_t i = parti; i-- > 0;) {
                const std::size_t da = i * MaxLvalCatena;
                const std::size_t quanti = std::min(MaxLvalCatena, lunghezza - da);
                parte.clear();
                Aggiungi32(parte, seguente);
                parte.append(appoggio, da, quanti);
                seguente = RigaLval(parte.data(), parte.size());
            }
            Metti32(testa, static_cast<std::uint32_t>(lunghezza));
            Metti32(testa + 4, seguente);
        }
    }

    void AggiungiRiga() {
        if (!aperta) {
            Rifiuta("nessuna tabella in scrittura");
        }
        const std::size_t quante = corrente.posti.size();
        riga.clear();
        Aggiungi16(riga, static_cast<std::uint32_t>(quante));
        riga.append(reinterpret_cast<const char*>(fisso.data()), fisso.size());
        if (corrente.variabili > 0) {
            std::array<std::uint32_t, 256> inizi{};
            for (std::size_t v = 0; v < variabile.size(); ++v) {
                inizi[v] = static_cast<std::uint32_t>(riga.size());
                riga += variabile[v];
            }
            Aggiungi16(riga, static_cast<std::uint32_t>(riga.size()));
            for (std::size_t v = variabile.size(); v-- > 0;) {
                Aggiungi16(riga, inizi[v]);
            }
            Aggiungi16(riga, corrente.variabili);
        }
        const std::size_t maschera = (quante + 7) / 8;
        const std::size_t base = riga.size();
        riga.append(maschera, '\0');
        for (std::size_t c = 0; c < quante; ++c) {
            if (presente[c]) {
                riga[base + c / 8] = static_cast<char>(riga[base + c / 8] | (1 << (c % 8)));
            }
        }
        if (riga.size() > MaxRiga) {
            SvuotaRiga(); // the next row starts clean
            Rifiuta("una riga della tabella \"" + corrente.nome + "\" occupa " +
                    std::to_string(riga.size()) + " byte, pi\xF9 dei " + std::to_string(MaxRiga) +
                    " che un record pu\xF2 contenere");
        }
        if (!dati.Entra(riga.size())) {
            SvuotaDati();
        }
        dati.Aggiungi(riga.data(), riga.size());
        if (corrente.righe == std::numeric_limits<std::uint32_t>::max()) {
            Rifiuta("la tabella \"" + corrente.nome + "\" ha troppe righe");
        }
        ++corrente.righe;
        SvuotaRiga();
    }

    void SvuotaRiga() {
        std::fill(fisso.begin(), fisso.end(), 0);
        for (std::string& v : variabile) {
            v.clear();
        }
        std::fill(presente.begin(), presente.end(), 0);
    }

    void ChiudiTabella() {
        if (!aperta) {
            Rifiuta("nessuna tabella in scrittura");
        }
        SvuotaDati();
        SvuotaLval();
        tabelle.push_back(std::move(corrente));
        corrente = TabellaScritta{};
        aperta = false;
    }

    // The used-pages map of a table: inline when its pages lie within 512 of
    // the first, else a list of bitmap pages.
    std::string MappaUsata(const std::vector<std::uint32_t>& pagine) {
        std::string mappa(Mappa, '\0');
        auto* m = reinterpret_cast<std::uint8_t*>(mappa.data());
        if (pagine.empty()) {
            return mappa;
        }
        if (pagine.back() - pagine.front() < PagineMappaInterna) {
            Metti32(m + 1, pagine.front());
            for (std::uint32_t p : pagine) {
                const std::uint32_t bit = p - pagine.front();
                m[5 + bit / 8] = static_cast<std::uint8_t>(m[5 + bit / 8] | (1u << (bit % 8)));
            }
            return mappa;
        }
        m[0] = 0x01;
        std::array<std::uint8_t, Pagina> bitmap{};
        std::size_t i = 0;
        while (i < pagine.size()) {
            const std::uint32_t slot = pagine[i] / PagineMappaEsterna;
            if (slot >= SlotMappaEsterna) {
                Rifiuta(
                    "il file \xE8 cresciuto oltre quanto le sue mappe di pagine possono contenere");
            }
            bitmap.fill(0);
            bitmap[0] = 0x05;
            bitmap[1] = 0x01;
            for (; i < pagine.size() && pagine[i] / PagineMappaEsterna == slot; ++i) {
                const std::uint32_t bit = pagine[i] % PagineMappaEsterna;
                bitmap[4 + bit / 8] =
                    static_cast<std::uint8_t>(bitmap[4 + bit / 8] | (1u << (bit % 8)));
            }
            const std::uint32_t numero = prossima++;
            ScriviPagina(numero, bitmap.data());
            Metti32(m + 1 + 4 * slot, numero);
        }
        return mappa;
    }

    void ScriviTdef(const TabellaScritta& t, std::uint32_t usata, std::uint32_t libera) {
        std::array<std::uint8_t, Pagina> b{};
        b[0] = 0x02;
        b[1] = 0x01;
        Metti32(&b[12], 0x659);
        Metti32(&b[16], t.righe);
        b[24] = 0x01;
        b[40] = t.sistema ? 0x53 : 0x4E;
        const auto quante = static_cast<std::uint32_t>(t.posti.size());
        Metti16(&b[41], quante);
        Metti16(&b[43], t.variabili);
        Metti16(&b[45], quante);
        Metti32(&b[55], usata);
        Metti32(&b[59], libera);
        std::size_t pos = 63;
        for (const Posto& p : t.posti) {
            std::uint8_t* q = &b[pos];
            q[0] = p.codice;
            Metti32(q + 1, 0x659);
            Metti16(q + 5, p.numero);
            Metti16(q + 7, p.variabile);
            Metti16(q + 9, p.numero);
            Metti16(q + 11, 0x0409);
            q[15] = p.fisso ? 0x03 : 0x02;
            q[16] = p.fisso ? 0x00 : 0x01;
            Metti16(q + 21, p.fisso ? p.offset : 0);
            Metti16(q + 23, p.dimensione);
            pos += 25;
        }
        for (const Posto& p : t.posti) {
            const std::u16string nome = Utf16DaCp1252(p.nome);
            if (pos + 2 + 2 * nome.size() + 2 > Pagina - 8) {
                Rifiuta("la tabella \"" + t.nome +
                        "\" ha troppe colonne per una pagina di definizione");
            }
            Metti16(&b[pos], static_cast<std::uint32_t>(2 * nome.size()));
            pos += 2;
            for (char16_t c : nome) {
                Metti16(&b[pos], c);
                pos += 2;
            }
        }
        b[pos++] = 0xFF;
        b[pos++] = 0xFF;
        Metti32(&b[8], static_cast<std::uint32_t>(pos));
        Metti16(&b[2], static_cast<std::uint32_t>(Pagina - pos - 8));
        ScriviPagina(t.tdef, b.data());
    }

    void ScriviCatalogo() {
        std::vector<Colonna> colonneCatalogo = {
            {"Id", TipoCampo::Long, 0},     {"ParentId", TipoCampo::Long, 0},
            {"Name", TipoCampo::Text, 128}, {"Type", TipoCampo::Integer, 0},
            {"Flags", TipoCampo::Long, 0},  {"LvProp", TipoCampo::Memo, 0}};
        TabellaScritta catalogo;
        catalogo.nome = "MSysObjects";
        catalogo.posti = Disponi(colonneCatalogo, lunghezzaFissa, catalogo.variabili);
        catalogo.posti[5].codice = 0x0B; // LvProp is an OLE field, always NULL here
        catalogo.tdef = PaginaCatalogo;
        catalogo.sistema = true;
        const std::vector<TabellaScritta> utente = tabelle;
        Apri(std::move(catalogo));
        auto oggetto = [this](std::uint32_t id, std::uint32_t padre, std::string_view nome,
                              int tipo, std::uint32_t bandiera) {
            Metti32(&fisso[corrente.posti[0].offset], id);
            Metti32(&fisso[corrente.posti[1].offset], padre);
            codifica.Codifica(nome, variabile[corrente.posti[2].variabile]);
            Metti16(&fisso[corrente.posti[3].offset], static_cast<std::uint32_t>(tipo));
            Metti32(&fisso[corrente.posti[4].offset], bandiera);
            presente[0] = presente[1] = presente[2] = presente[3] = presente[4] = 1;
            AggiungiRiga();
        };
        oggetto(IdTabelle, IdRadice, "Tables", 3, 0x80000000u);
        oggetto(PaginaCatalogo, IdTabelle, "MSysObjects", 1, FlagSistema);
        for (const TabellaScritta& t : utente) {
            oggetto(t.tdef, IdTabelle, t.nome, 1, 0);
        }
        ChiudiTabella();
    }

    void Finisci() {
        if (aperta) {
            Rifiuta("la tabella \"" + corrente.nome + "\" non \xE8 stata chiusa");
        }
        ScriviCatalogo();
        // The catalog went last into the list; its map rows go first.
        std::rotate(tabelle.begin(), tabelle.end() - 1, tabelle.end());

        std::vector<std::string> mappe;
        for (const TabellaScritta& t : tabelle) {
            mappe.push_back(MappaUsata(t.pagine));
            mappe.emplace_back(Mappa, '\0');
        }
        std::vector<std::uint32_t> puntatori;
        PaginaRighe pagina;
        std::uint32_t numero = PaginaMappe;
        pagina.Inizia(0);
        for (const std::string& m : mappe) {
            if (!pagina.Entra(m.size())) {
                ScriviPagina(numero, pagina.Finisci());
                numero = prossima++;
                pagina.Inizia(0);
            }
            puntatori.push_back((numero << 8) | pagina.Aggiungi(m.data(), m.size()));
        }
        ScriviPagina(numero, pagina.Finisci());

        for (std::size_t i = 0; i < tabelle.size(); ++i) {
            ScriviTdef(tabelle[i], puntatori[2 * i], puntatori[2 * i + 1]);
        }

        PaginaRighe globale; // read by no one, written as Access does
        globale.Inizia(1);
        ScriviPagina(1, globale.Finisci());

        std::array<std::uint8_t, Pagina> testata{};
        testata[1] = 0x01;
        std::memcpy(&testata[4], "Standard Jet DB", 16);
        testata[0x14] = 0x01;
        std::array<std::uint8_t, 128> chiaro{};
        Metti16(&chiaro[0x3C - 0x18], 1252);   // code page
        Metti32(&chiaro[0x6E - 0x18], 0x0409); // sort order
        for (std::size_t i = 0; i < chiaro.size(); ++i) {
            testata[0x18 + i] = chiaro[i] ^ ChiaveTestata[i];
        }
        ScriviPagina(0, testata.data());

        if (::ftruncate(fd, static_cast<off_t>(prossima) * static_cast<off_t>(Pagina)) != 0) {
            throw Errore(errore::AccessoPercorso,
                         "impossibile scrivere " + file.string() + ": " + DescrizioneErrno(errno));
        }
        const int esito = ::close(fd);
        fd = -1;
        if (esito != 0) {
            throw Errore(errore::AccessoPercorso,
                         "impossibile scrivere " + file.string() + ": " + DescrizioneErrno(errno));
        }
        std::error_code ec;
        fs::rename(temporaneo, file, ec);
        if (ec) {
            throw Errore(errore::AccessoPercorso, "impossibile scrivere " + file.string() + ": " +
                                                      DescrizioneErrno(ec.value()));
        }
        finito = true;
    }
};

ScrittoreMdb::ScrittoreMdb(std::filesystem::path file) : s_(std::make_unique<Stato>()) {
    s_->file = std::move(file);
    const fs::path cartella = s_->file.has_parent_path() ? s_->file.parent_path() : fs::path(".");
    std::string modello = (cartella / ("." + s_->file.filename().string() + ".XXXXXX")).string();
    s_->fd = ::mkstemp(modello.data());
    if (s_->fd < 0) {
        throw Errore(errore::AccessoPercorso,
                     "impossibile creare " + s_->file.string() + ": " + DescrizioneErrno(errno));
    }
    ::fchmod(s_->fd, 0644);
    s_->temporaneo = modello;
}

ScrittoreMdb::~ScrittoreMdb() {
    if (s_->fd >= 0) {
        ::close(s_->fd);
    }
    if (!s_->finito && !s_->temporaneo.empty()) {
        std::error_code ec;
        fs::remove(s_->temporaneo, ec);
    }
}

void ScrittoreMdb::IniziaTabella(const std::string& nome, std::vector<Colonna> colonne) {
    if (s_->finito) {
        Rifiuta("il file \xE8 gi\xE0 stato scritto");
    }
    if (s_->aperta) {
        Rifiuta("la tabella \"" + s_->corrente.nome + "\" non \xE8 stata chiusa");
    }
    if (nome.empty() || nome.size() > 64) {
        Rifiuta("il nome di tabella \"" + nome + "\" deve avere da 1 a 64 caratteri");
    }
    ControllaNome(nome);
    if (UgualiSenzaMaiuscole(nome, "MSysObjects")) {
        Rifiuta("il nome di tabella \"" + nome + "\" \xE8 riservato");
    }
    for (const TabellaScritta& t : s_->tabelle) {
        if (UgualiSenzaMaiuscole(t.nome, nome)) {
            Rifiuta("la tabella \"" + nome + "\" \xE8 scritta due volte");
        }
    }
    if (colonne.empty() || colonne.size() > 255) {
        Rifiuta("la tabella \"" + nome + "\" deve avere da 1 a 255 colonne");
    }
    for (std::size_t i = 0; i < colonne.size(); ++i) {
        const Colonna& c = colonne[i];
        if (c.nome.empty() || c.nome.size() > 64) {
            Rifiuta("tabella \"" + nome + "\": il nome di colonna \"" + c.nome +
                    "\" deve avere da 1 a 64 caratteri");
        }
        ControllaNome(c.nome);
        if (c.tipo == TipoCampo::Text && (c.caratteri < 1 || c.caratteri > 255)) {
            Rifiuta("tabella \"" + nome + "\": la colonna \"" + c.nome +
                    "\" deve contenere da 1 a 255 caratteri");
        }
        for (std::size_t j = 0; j < i; ++j) {
            if (UgualiSenzaMaiuscole(colonne[j].nome, c.nome)) {
                Rifiuta("tabella \"" + nome + "\": la colonna \"" + c.nome +
                        "\" compare due volte");
            }
        }
    }
    TabellaScritta t;
    t.nome = nome;
    std::uint16_t fissa = 0;
    t.posti = Disponi(colonne, fissa, t.variabili);
    t.tdef = s_->prossima++;
    s_->colonne = std::move(colonne);
    s_->Apri(std::move(t));
}

ScrittoreMdb& ScrittoreMdb::ScriviNullo(std::size_t colonna) {
    const Posto& p = s_->PostoDi(colonna);
    s_->presente[colonna] = 0;
    if (p.tipo == TipoCampo::Boolean) {
        return *this; // no room of its own in the row
    }
    if (p.fisso) {
        std::fill_n(s_->fisso.begin() + p.offset, p.dimensione, 0);
    } else {
        s_->variabile[p.variabile].clear();
    }
    return *this;
}

ScrittoreMdb& ScrittoreMdb::ScriviIntero(std::size_t colonna, std::int64_t valore) {
    const Posto& p = s_->PostoDi(colonna);
    std::uint8_t* f = s_->fisso.data() + p.offset;
    auto entro = [&](std::int64_t minimo, std::int64_t massimo) {
        if (valore < minimo || valore > massimo) {
            s_->FuoriMisura(p, std::to_string(valore));
        }
    };
    switch (p.tipo) {
    case TipoCampo::Long:
        entro(std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max());
        Metti32(f, static_cast<std::uint32_t>(valore));
        break;
    case TipoCampo::Integer:
        entro(std::numeric_limits<std::int16_t>::min(), std::numeric_limits<std::int16_t>::max());
        Metti16(f, static_cast<std::uint32_t>(valore));
        break;
    case TipoCampo::Byte:
        entro(0, 255);
        f[0] = static_cast<std::uint8_t>(valore);
        break;
    case TipoCampo::Boolean:
        s_->presente[colonna] = valore != 0;
        return *this;
    case TipoCampo::Currency:
        entro(std::numeric_limits<std::int64_t>::min() / 10000,
              std::numeric_limits<std::int64_t>::max() / 10000);
        Metti64(f, static_cast<std::uint64_t>(valore * 10000));
        break;
    case TipoCampo::Single:
    case TipoCampo::Double:
        return ScriviReale(colonna, static_cast<double>(valore));
    default:
        s_->TipoErrato(p, "un numero intero");
    }
    s_->presente[colonna] = 1;
    return *this;
}

ScrittoreMdb& ScrittoreMdb::ScriviReale(std::size_t colonna, double valore) {
    const Posto& p = s_->PostoDi(colonna);
    std::uint8_t* f = s_->fisso.data() + p.offset;
    if (!std::isfinite(valore)) {
        s_->FuoriMisura(p, "un valore che non \xE8 un numero finito");
    }
    switch (p.tipo) {
    case TipoCampo::Single: {
        if (std::fabs(valore) > std::numeric_limits<float>::max()) {
            s_->FuoriMisura(p, std::to_string(valore));
        }
        const float v = static_cast<float>(valore);
        std::uint32_t bit = 0;
        std::memcpy(&bit, &v, 4);
        Metti32(f, bit);
        break;
    }
    case TipoCampo::Double:
    case TipoCampo::DateTime: {
        std::uint64_t bit = 0;
        std::memcpy(&bit, &valore, 8);
        Metti64(f, bit);
        break;
    }
    case TipoCampo::Currency: {
        const double scalato = std::round(valore * 10000.0);
        if (std::fabs(scalato) >= 9.2e18) {
            s_->FuoriMisura(p, std::to_string(valore));
        }
        Metti64(f, static_cast<std::uint64_t>(static_cast<std::int64_t>(scalato)));
        break;
    }
    case TipoCampo::Long:
    case TipoCampo::Integer:
    case TipoCampo::Byte:
    case TipoCampo::Boolean:
        if (valore != std::trunc(valore) || std::fabs(valore) > 9.0e15) {
            s_->TipoErrato(p, "un numero con decimali");
        }
        return ScriviIntero(colonna, static_cast<std::int64_t>(valore));
    default:
        s_->TipoErrato(p, "un numero");
    }
    s_->presente[colonna] = 1;
    return *this;
}

ScrittoreMdb& ScrittoreMdb::ScriviDenaro(std::size_t colonna, std::int64_t decimillesimi) {
    const Posto& p = s_->PostoDi(colonna);
    if (p.tipo != TipoCampo::Currency) {
        s_->TipoErrato(p, "un importo");
    }
    Metti64(s_->fisso.data() + p.offset, static_cast<std::uint64_t>(decimillesimi));
    s_->presente[colonna] = 1;
    return *this;
}

ScrittoreMdb& ScrittoreMdb::ScriviData(std::size_t colonna, double giorniDal1899) {
    const Posto& p = s_->PostoDi(colonna);
    if (p.tipo != TipoCampo::DateTime) {
        s_->TipoErrato(p, "una data");
    }
    return ScriviReale(colonna, giorniDal1899);
}

ScrittoreMdb& ScrittoreMdb::ScriviBooleano(std::size_t colonna, bool valore) {
    const Posto& p = s_->PostoDi(colonna);
    if (p.tipo != TipoCampo::Boolean) {
        s_->TipoErrato(p, "un valore si'/no");
    }
    s_->presente[colonna] = valore ? 1 : 0;
    return *this;
}

ScrittoreMdb& ScrittoreMdb::ScriviTesto(std::size_t colonna, std::string_view cp1252) {
    const Posto& p = s_->PostoDi(colonna);
    if (p.tipo == TipoCampo::Text) {
        if (cp1252.size() > static_cast<std::size_t>(p.caratteri)) {
            s_->FuoriMisura(p, "un testo di " + std::to_string(cp1252.size()) +
                                   " caratteri (al massimo " + std::to_string(p.caratteri) + ")");
        }
        s_->codifica.Codifica(cp1252, s_->variabile[p.variabile]);
    } else if (p.tipo == TipoCampo::Memo) {
        s_->Memo(p, cp1252);
    } else {
        s_->TipoErrato(p, "text");
    }
    s_->presente[colonna] = 1;
    return *this;
}

void ScrittoreMdb::AggiungiRiga() {
    s_->AggiungiRiga();
}

void ScrittoreMdb::ChiudiTabella() {
    s_->ChiudiTabella();
    s_->colonne.clear();
}

void ScrittoreMdb::Chiudi() {
    if (s_->finito) {
        Rifiuta("il file \xE8 gi\xE0 stato scritto");
    }
    s_->Finisci();
}

const std::vector<Colonna>& ScrittoreMdb::Colonne() const {
    return s_->colonne;
}

std::uint32_t ScrittoreMdb::RigheScritte() const {
    return s_->aperta ? s_->corrente.righe : 0;
}

} // namespace vdx::jet
