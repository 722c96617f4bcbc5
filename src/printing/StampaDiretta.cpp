#include "printing/StampaDiretta.h"

#include "report/ConvertiBordi.h"
#include "shared/Cp1252.h"
#include "shared/Errore.h"
#include "shared/FileTesto.h"
#include "shared/NomiFile.h"
#include "shared/Numeri.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vdx {

namespace {

constexpr std::string_view FineRiga = "\r\n";

Errore ErroreScrittura(const std::filesystem::path& percorso, int codice) {
    if (codice == ENOSPC || codice == EDQUOT) {
        return Errore(errore::DiscoPieno,
                      "Disco pieno scrivendo " + Cp1252DaUtf8(percorso.string()));
    }
    return Errore(errore::AccessoPercorso, "Errore scrivendo " + Cp1252DaUtf8(percorso.string()) +
                                               ": " + DescrizioneErrno(codice));
}

class StampaDiretta {
public:
    StampaDiretta(UscitaByte& u, const ImpostazioniStampa& s, const SceltaStampa& c)
        : u_(u), s_(s), c_(c) {}

    void RigheIniziali() {
        for (int i = 0; i < s_.righeIniziali; ++i) {
            u_.Scrivi(" ");
            u_.Scrivi(FineRiga);
        }
        righeScritte_ = s_.righeIniziali;
    }

    void ScriviRiga(std::string testo) {
        if (!c_.ConBordi()) {
            ConvertiBordi(testo);
        }
        if (testo != "\f") {
            u_.Scrivi(testo);
            u_.Scrivi(FineRiga);
            ++righeScritte_;
            ++righeReport_;
        } else {
            ChiudiPagina();
            RigheIniziali();
        }
        if (righeScritte_ == s_.lunghezzaPagina) {
            ChiudiPagina();
            RigheIniziali();
        }
    }

    // The last page is ended only when it holds a report line: the blank top
    // lines after the report's final form feed would otherwise eject an
    // empty sheet at every print.
    void Fine() {
        if (righeReport_ > 0) {
            ChiudiPagina();
        }
    }

private:
    void ChiudiPagina() {
        if (c_.RiempiFoglio()) {
            while (righeScritte_ < s_.righeFoglio) {
                u_.Scrivi(FineRiga);
                ++righeScritte_;
            }
        } else {
            u_.Scrivi("\f");
        }
        righeScritte_ = 0;
        righeReport_ = 0;
    }

    UscitaByte& u_;
    const ImpostazioniStampa& s_;
    const SceltaStampa& c_;
    int righeScritte_ = 0;
    int righeReport_ = 0; // report lines on the current page
};

} // namespace

UscitaDispositivo::UscitaDispositivo(const std::filesystem::path& percorso) : percorso_(percorso) {
    struct stat attributi {};
    if (::stat(percorso.c_str(), &attributi) != 0 || S_ISREG(attributi.st_mode)) {
        file_ = std::make_unique<ScrittoreAtomico>(percorso);
        return;
    }
    do {
        fd_ = ::open(percorso.c_str(), O_WRONLY | O_CLOEXEC);
    } while (fd_ < 0 && errno == EINTR);
    if (fd_ < 0) {
        throw Errore(errore::AccessoPercorso, "Impossibile aprire " +
                                                  Cp1252DaUtf8(percorso.string()) + ": " +
                                                  DescrizioneErrno(errno));
    }
}

UscitaDispositivo::~UscitaDispositivo() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

void UscitaDispositivo::Scrivi(std::string_view bytes) {
    if (file_) {
        file_->Scrivi(bytes);
        return;
    }
    if (fd_ < 0) {
        throw Errore(errore::NumeroFileErrato,
                     "Uscita chiusa: " + Cp1252DaUtf8(percorso_.string()));
    }
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            throw ErroreScrittura(percorso_, errno);
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
}

void UscitaDispositivo::Chiudi() {
    if (file_) {
        file_->Conferma();
        file_.reset();
        return;
    }
    if (fd_ < 0) {
        return;
    }
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0 && errno != EINTR) {
        throw ErroreScrittura(percorso_, errno);
    }
}

std::filesystem::path PercorsoUscita(const std::filesystem::path& cartella,
                                     const std::string& nome) {
    const std::filesystem::path p(nome);
    if (p.is_absolute()) {
        return p;
    }
    return RisolviNome(cartella, nome);
}

std::string CodiciControllo(const ImpostazioniStampa& impostazioni, bool compressa) {
    const int primo = compressa ? 1 : 7;
    std::string codici;
    for (int k = primo; k < primo + 5; ++k) {
        const double valore = impostazioni.Compresso(k);
        const long long codice = ArrotondaPari(valore);
        if (codice < 0 || codice > 255) {
            throw Errore(errore::ChiamataNonValida,
                         "Codice di controllo della stampante fuori dai limiti (0-255): " +
                             std::to_string(codice));
        }
        codici.push_back(static_cast<char>(static_cast<unsigned char>(codice)));
    }
    return codici;
}

bool StampaModoDiretto(UscitaByte& uscita, const ImpostazioniStampa& impostazioni,
                       const SceltaStampa& scelta, const std::filesystem::path& report) {
    uscita.Scrivi(CodiciControllo(impostazioni, scelta.compressa));
    if (!std::filesystem::exists(report)) {
        return false;
    }
    LettoreRighe lettore(report);
    StampaDiretta stampa(uscita, impostazioni, scelta);
    stampa.RigheIniziali();
    while (auto riga = lettore.Leggi()) {
        stampa.ScriviRiga(std::move(*riga));
    }
    stampa.Fine();
    return true;
}

} // namespace vdx
