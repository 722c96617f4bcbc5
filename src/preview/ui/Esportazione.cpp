#include "preview/ui/Esportazione.h"

#include "dialog/ui/Notifiche.h"
#include "preview/ConvertiXLS.h"
#include "preview/EsportaXlsx.h"
#include "shared/Ambiente.h"
#include "shared/Piattaforma.h"

namespace vdx::ui {

void EsportaEApriCsv(QWidget* parent, const std::filesystem::path& cartella) {
    const auto csv = ConvertiXLS(NomeReport(Postazione()), cartella);
    NotificaFileScritto(parent, csv, piattaforma::ApriConProgramma(csv));
}

void EsportaEApriXlsx(QWidget* parent, const std::filesystem::path& cartella) {
    const auto xlsx = ConvertiXlsx(NomeReport(Postazione()), cartella);
    NotificaFileScritto(parent, xlsx, piattaforma::ApriConProgramma(xlsx));
}

} // namespace vdx::ui
