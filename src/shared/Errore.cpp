#include "shared/Errore.h"

#include "shared/Cp1252.h"

#include <cerrno>

namespace vdx {

std::string DescrizioneErrno(int codice) {
    switch (codice) {
    case ENOENT:
        return "file o cartella inesistente";
    case EACCES:
    case EPERM:
        return "permesso negato";
    case ENOSPC:
    case EDQUOT:
        return "spazio esaurito sul disco";
    case EROFS:
        return "disco in sola lettura";
    case EISDIR:
        return "\xE8 una cartella";
    case ENOTDIR:
        return "una parte del percorso non \xE8 una cartella";
    case EEXIST:
        return "esiste gi\xE0";
    case EBUSY:
        return "dispositivo occupato";
    case ENXIO:
    case ENODEV:
        return "dispositivo assente";
    case EIO:
        return "errore di lettura o scrittura sul dispositivo";
    case EFBIG:
        return "file troppo grande";
    case ENAMETOOLONG:
        return "nome troppo lungo";
    case EMFILE:
    case ENFILE:
        return "troppi file aperti";
    case ENOMEM:
        return "memoria insufficiente";
    case EINVAL:
        return "argomento non valido";
    case EPIPE:
        return "il destinatario ha chiuso la connessione";
    case ETIMEDOUT:
        return "tempo scaduto";
    case ESTALE:
        return "file di rete non pi\xF9 valido";
    default:
        return "errore di sistema " + std::to_string(codice);
    }
}

std::string DescrizioneErroreFile(const std::filesystem::filesystem_error& e) {
    std::string testo = "Errore di accesso al file";
    if (!e.path1().empty()) {
        testo += " " + Cp1252DaUtf8(e.path1().string());
    }
    return testo + " (" + DescrizioneErrno(e.code().value()) + ")";
}

} // namespace vdx
