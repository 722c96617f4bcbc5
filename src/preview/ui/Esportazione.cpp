#include "preview/ui/Esportazione.h"

#include "dialog/ui/Messaggi.h"
#include "dialog/ui/Notifiche.h"
#include "preview/ConvertiXLS.h"
#include "preview/EsportaXlsx.h"
#include "shared/Ambiente.h"
#include "shared/Piattaforma.h"

namespace vdx::ui {

void EsportaEApriCsv(QWidget* parent, const std::filesystem::path& cartella,
                     std::string_view postazione) {
    std::filesystem::path csv;
    try {
        csv = ConvertiXLS(NomeReport(postazione), cartella, postazione);
    } catch (const ImpostazioneRifiutata& e) {
        // A settings file the user can mend: said, and the program goes on.
        Avviso(parent,
               std::string(e.what()) +
                   "\nL'esportazione non \xE8 stata fatta: resta quella di prima.",
               "Stampa", Icona::Esclamazione);
        return;
    }
    NotificaFileScritto(parent, csv, piattaforma::ApriConProgramma(csv));
}

void EsportaEApriXlsx(QWidget* parent, const std::filesystem::path& cartella,
                      std::string_view postazione) {
    const auto xlsx = ConvertiXlsx(NomeReport(postazione), cartella, postazione);
    NotificaFileScritto(parent, xlsx, piattaforma::ApriConProgramma(xlsx));
}

} // namespace vdx::ui
