#include "preview/InviaEMail.h"

#include "shared/Ambiente.h"
#include "shared/FileTesto.h"
#include "shared/NomiFile.h"
#include "shared/Piattaforma.h"

namespace vdx {

std::string ContenutoEMail(std::string_view testo) {
    std::string contenuto = "OGGETTO\r\n";
    contenuto += testo;
    contenuto += "\r\n";
    return contenuto;
}

void ScriviFileEMail(std::string_view testo, const std::filesystem::path& folder,
                     std::string_view postazione) {
    ScriviFileAtomico(RisolviNome(folder, NomeFileEMail(postazione)), ContenutoEMail(testo));
}

void AvviaRecapito(const std::filesystem::path& folder) {
    piattaforma::AvviaProgramma(ProgrammaRecapito, folder);
}

void InviaEMail(std::string_view testo, const std::filesystem::path& folder,
                std::string_view postazione) {
    ScriviFileEMail(testo, folder, postazione);
    AvviaRecapito(folder);
}

} // namespace vdx
