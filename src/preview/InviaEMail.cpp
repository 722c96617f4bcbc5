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

void ScriviFileEMail(std::string_view testo, const std::filesystem::path& cartella,
                     std::string_view postazione) {
    ScriviFileAtomico(RisolviNome(cartella, NomeFileEMail(postazione)), ContenutoEMail(testo));
}

void AvviaRecapito(const std::filesystem::path& cartella) {
    piattaforma::AvviaProgramma(ProgrammaRecapito, cartella);
}

void InviaEMail(std::string_view testo, const std::filesystem::path& cartella,
                std::string_view postazione) {
    ScriviFileEMail(testo, cartella, postazione);
    AvviaRecapito(cartella);
}

} // namespace vdx
