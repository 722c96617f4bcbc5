#include "preview/ui/Esportazione.h"

#include "dialog/ui/Messaggi.h"
#include "preview/ConvertiXLS.h"
#include "preview/EsportaXlsx.h"
#include "shared/Ambiente.h"
#include "shared/Piattaforma.h"

namespace vdx::ui {

namespace {

void Apri(QWidget* parent, const std::filesystem::path& file) {
    if (!piattaforma::ApriConProgramma(file)) {
        Avviso(parent, "Nessun programma per aprire " + file.filename().string() + ".", "Stampa",
               Icona::Esclamazione);
    }
}

} // namespace

void EsportaEApriCsv(QWidget* parent, const std::filesystem::path& cartella) {
    Apri(parent, ConvertiXLS(NomeReport(Postazione()), cartella));
}

void EsportaEApriXlsx(QWidget* parent, const std::filesystem::path& cartella) {
    Apri(parent, ConvertiXlsx(NomeReport(Postazione()), cartella));
}

} // namespace vdx::ui
