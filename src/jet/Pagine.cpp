#include "jet/Pagine.h"

#include <array>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <unordered_map>
#include <vector>

namespace vdx::jet {

namespace {

std::atomic<std::uint64_t> gProssimoId{1};
std::atomic<std::uint64_t> gByteLetti{0};
std::atomic<std::uint64_t> gLetture{0};
std::atomic<std::uint64_t> gByteSingoli{0};

constexpr std::size_t PaginaMassima = 4096;
constexpr std::size_t PostiCache = 512;

// The pages a thread has read one at a time or gathered, by file and page
// number, as they were when their fingerprint was taken; the page least
// recently asked for makes room for a new one.
class CachePagine {
public:
    struct Posto {
        std::uint64_t chiave = 0; // 0: free
        std::uint64_t impronta = 0;
        bool usato = false;
        alignas(64) unsigned char dati[PaginaMassima];
    };

    static std::uint64_t Chiave(const Sorgente& s, std::uint32_t pagina) {
        return s.Id() << 32 | pagina;
    }
    // The page, if it is here with that fingerprint.
    Posto* Trova(std::uint64_t chiave, std::uint64_t impronta) {
        const auto it = dove_.find(chiave);
        if (it == dove_.end() || posti_[it->second].impronta != impronta || impronta == 0) {
            return nullptr;
        }
        posti_[it->second].usato = true;
        return &posti_[it->second];
    }
    // A place for the page, taken from the one least recently asked for.
    Posto& Nuovo(std::uint64_t chiave) {
        if (const auto it = dove_.find(chiave); it != dove_.end()) {
            Posto& p = posti_[it->second];
            p.impronta = 0;
            p.usato = true;
            return p;
        }
        for (;;) {
            const std::size_t i = lancetta_;
            lancetta_ = (lancetta_ + 1) % posti_.size();
            Posto& p = posti_[i];
            if (p.usato) {
                p.usato = false;
                continue;
            }
            if (p.chiave != 0) {
                dove_.erase(p.chiave);
            }
            p.chiave = chiave;
            p.impronta = 0;
            p.usato = true;
            dove_.emplace(chiave, static_cast<std::uint32_t>(i));
            return p;
        }
    }

private:
    std::vector<Posto> posti_ = std::vector<Posto>(PostiCache);
    std::unordered_map<std::uint64_t, std::uint32_t> dove_;
    std::size_t lancetta_ = 0;
};

CachePagine& CacheDelThread() {
    thread_local std::unique_ptr<CachePagine> cache;
    if (!cache) {
        cache = std::make_unique<CachePagine>();
    }
    return *cache;
}

std::uint64_t Ruota(std::uint64_t x, int r) {
    return (x << r) | (x >> (64 - r));
}

// A file of the file system, read with pread().
class FileDiSistema : public FileLeggibile {
public:
    FileDiSistema(int fd, std::size_t dimensione) : fd_(fd), dimensione_(dimensione) {}
    ~FileDiSistema() override { ::close(fd_); }
    FileDiSistema(const FileDiSistema&) = delete;
    FileDiSistema& operator=(const FileDiSistema&) = delete;
    std::size_t Dimensione() const override { return dimensione_; }
    bool Leggi(std::uint64_t offset, std::size_t n, unsigned char* dst) const override {
        std::size_t letti = 0;
        while (letti < n) {
            const ssize_t r =
                ::pread(fd_, dst + letti, n - letti, static_cast<off_t>(offset + letti));
            if (r < 0 && errno == EINTR) {
                continue;
            }
            if (r <= 0) {
                break;
            }
            letti += static_cast<std::size_t>(r);
        }
        return letti == n;
    }

private:
    int fd_;
    std::size_t dimensione_;
};

std::mutex gMutexApertura;
AperturaFile gApertura;

} // namespace

std::unique_ptr<FileLeggibile> ApriFileDiSistema(const std::filesystem::path& file) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat attributi {};
    if (fd < 0 || ::fstat(fd, &attributi) != 0) {
        const int codice = errno;
        if (fd >= 0) {
            ::close(fd);
        }
        throw std::system_error(codice, std::generic_category(), file.string());
    }
    return std::make_unique<FileDiSistema>(fd, static_cast<std::size_t>(attributi.st_size));
}

void ImpostaAperturaFile(AperturaFile apri) {
    const std::lock_guard<std::mutex> blocco(gMutexApertura);
    gApertura = std::move(apri);
}

std::unique_ptr<FileLeggibile> ApriFileLeggibile(const std::filesystem::path& file) {
    AperturaFile apri;
    {
        const std::lock_guard<std::mutex> blocco(gMutexApertura);
        apri = gApertura;
    }
    return apri ? apri(file) : ApriFileDiSistema(file);
}

Sorgente::Sorgente(std::unique_ptr<FileLeggibile> file)
    : file_(std::move(file)), dimensione_(file_->Dimensione()), id_(gProssimoId.fetch_add(1)) {}

Sorgente::~Sorgente() = default;

bool Sorgente::Leggi(std::uint64_t offset, std::size_t n, unsigned char* dst) const {
    if (offset > dimensione_ || n > dimensione_ - offset) {
        return false;
    }
    if (memoria_) {
        std::memcpy(dst, memoria_.get() + offset, n);
        return true;
    }
    const bool letti = file_->Leggi(offset, n, dst);
    gByteLetti.fetch_add(n, std::memory_order_relaxed);
    gLetture.fetch_add(1, std::memory_order_relaxed);
    return letti;
}

void Sorgente::TieniInMemoria(std::unique_ptr<unsigned char[]> byte) {
    memoria_ = std::move(byte);
}

namespace {

#if defined(__x86_64__)
// Four CRC-32C streams over the words of the page, with the processor's own
// instruction: twice as fast as the multiplications below.
__attribute__((target("sse4.2"))) std::uint64_t Impronta42(const unsigned char* p, std::size_t n) {
    std::uint64_t a = 1;
    std::uint64_t b = 2;
    std::uint64_t c = 3;
    std::uint64_t d = 4;
    std::size_t i = 0;
    for (; i + 32 <= n; i += 32) {
        std::uint64_t w[4];
        std::memcpy(w, p + i, sizeof w);
        a = __builtin_ia32_crc32di(a, w[0]);
        b = __builtin_ia32_crc32di(b, w[1]);
        c = __builtin_ia32_crc32di(c, w[2]);
        d = __builtin_ia32_crc32di(d, w[3]);
    }
    for (; i < n; ++i) {
        a = __builtin_ia32_crc32qi(static_cast<std::uint32_t>(a), p[i]);
    }
    const std::uint64_t h = (a | (b << 32)) ^ Ruota(c | (d << 32), 16) ^ n;
    return h | 1;
}

bool ConCrc() {
    static const bool si = (__builtin_cpu_init(), __builtin_cpu_supports("sse4.2") != 0);
    return si;
}
#endif

} // namespace

std::uint64_t ImprontaPagina(const unsigned char* p, std::size_t n) {
#if defined(__x86_64__)
    if (ConCrc()) {
        return Impronta42(p, n);
    }
#endif
    constexpr std::uint64_t k = 0x9E3779B97F4A7C15ull;
    std::uint64_t a = 0x243F6A8885A308D3ull;
    std::uint64_t b = 0x13198A2E03707344ull;
    std::uint64_t c = 0xA4093822299F31D0ull;
    std::uint64_t d = 0x082EFA98EC4E6C89ull;
    std::size_t i = 0;
    for (; i + 32 <= n; i += 32) {
        std::uint64_t w[4];
        std::memcpy(w, p + i, sizeof w);
        a = (a ^ w[0]) * k;
        b = (b ^ w[1]) * k;
        c = (c ^ w[2]) * k;
        d = (d ^ w[3]) * k;
        a ^= a >> 29;
        b ^= b >> 29;
        c ^= c >> 29;
        d ^= d >> 29;
    }
    for (; i < n; ++i) {
        a = (a ^ p[i]) * k;
        a ^= a >> 29;
    }
    std::uint64_t h = a ^ Ruota(b, 17) ^ Ruota(c, 31) ^ Ruota(d, 47) ^ n;
    h = (h ^ (h >> 32)) * k;
    return (h ^ (h >> 29)) | 1;
}

const unsigned char* PaginaControllata(const Sorgente& s, std::uint32_t pagina,
                                       std::size_t dimPagina, std::uint64_t& impronta) {
    if (dimPagina > PaginaMassima || (std::size_t{pagina} + 1) * dimPagina > s.Dimensione()) {
        throw Danno{};
    }
    if (const unsigned char* m = s.Memoria()) {
        impronta = 1; // what is in memory does not change
        return m + std::size_t{pagina} * dimPagina;
    }
    CachePagine& cache = CacheDelThread();
    const std::uint64_t chiave = CachePagine::Chiave(s, pagina);
    if (CachePagine::Posto* trovato = cache.Trova(chiave, impronta)) {
        return trovato->dati;
    }
    CachePagine::Posto& posto = cache.Nuovo(chiave);
    if (!s.Leggi(std::uint64_t{pagina} * dimPagina, dimPagina, posto.dati)) {
        throw Danno{};
    }
    gByteSingoli.fetch_add(dimPagina, std::memory_order_relaxed);
    const std::uint64_t letta = ImprontaPagina(posto.dati, dimPagina);
    if (impronta == 0) {
        impronta = letta;
    } else if (letta != impronta) {
        throw Danno{}; // the file has changed since the table was read
    }
    posto.impronta = impronta;
    return posto.dati;
}

bool PaginaInCache(const Sorgente& s, std::uint32_t pagina, std::uint64_t impronta) {
    return s.Memoria() != nullptr ||
           CacheDelThread().Trova(CachePagine::Chiave(s, pagina), impronta) != nullptr;
}

void MettiInCache(const Sorgente& s, std::uint32_t pagina, std::uint64_t impronta,
                  const unsigned char* dati, std::size_t dimPagina) {
    if (dimPagina > PaginaMassima || ImprontaPagina(dati, dimPagina) != impronta) {
        throw Danno{}; // the file has changed since the table was read
    }
    CachePagine::Posto& posto = CacheDelThread().Nuovo(CachePagine::Chiave(s, pagina));
    std::memcpy(posto.dati, dati, dimPagina);
    posto.impronta = impronta;
}

void ContaPagineSingole(std::size_t byte) {
    gByteSingoli.fetch_add(byte, std::memory_order_relaxed);
}

ByteLettiDaiFile ByteLetti() {
    ByteLettiDaiFile b;
    b.totale = gByteLetti.load(std::memory_order_relaxed);
    b.pagineSingole = gByteSingoli.load(std::memory_order_relaxed);
    b.letture = gLetture.load(std::memory_order_relaxed);
    return b;
}

} // namespace vdx::jet
