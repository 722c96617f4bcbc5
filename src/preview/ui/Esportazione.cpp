#include "preview/ui/Esportazione.h"

#include "dialog/ui/Messaggi.h"
#include "preview/ConvertiXLS.h"
#include "shared/Ambiente.h"
#include "shared/Piattaforma.h"

namespace vdx::ui {

void EsportaEApriCsv(QWidget* parent, const std::filesystem::path& cartella) {
    const auto csv = ConvertiXLS(NomeReport(Postazione()), cartella);
    if (!piattaforma::ApriConProgramma(csv)) {
        Avviso(parent, "Nessun programma per aprire " + csv.filename().string() + ".", "Stampa",
               Icona::Esclamazione);
    }
}

} // namespace vdx::ui
