#include "preview/ui/Esportazione.h"

#include "dialog/ui/Notifiche.h"
#include "preview/ConvertiXLS.h"
#include "shared/Ambiente.h"
#include "shared/Piattaforma.h"

namespace vdx::ui {

void EsportaEApriCsv(QWidget* parent, const std::filesystem::path& cartella) {
    const auto csv = ConvertiXLS(NomeReport(Postazione()), cartella);
    NotificaFileScritto(parent, csv, piattaforma::ApriConProgramma(csv));
}

} // namespace vdx::ui
