#include "printing/ui/StampaMenu.h"

#include "dialog/ui/Messaggi.h"
#include "printing/RigaComandoStampa.h"
#include "printing/StampaReport.h"
#include "printing/ui/StampanteQt.h"
#include "shared/Environment.h"
#include "shared/Error.h"

#include <QGuiApplication>
#include <cstdlib>
#include <memory>

namespace vdx::ui {

namespace {

FabbricaStampante FabbricaQt() {
    return [] { return std::make_unique<StampanteQt>(NomeReport(Postazione())); };
}

} // namespace

bool StampaDalMenu(QWidget* parent, const std::filesystem::path& cartella,
                   const SceltaStampa& scelta) {
    try {
        return StampaReport(cartella, scelta, FabbricaQt()) == EsitoStampa::Stampata;
    } catch (const Error& e) {
        Avviso(parent, "Errore " + std::to_string(e.number()) + "\n" + e.what(), "Stampa",
               Icona::Errore);
    } catch (const std::filesystem::filesystem_error& e) {
        Avviso(parent, "Errore " + std::to_string(err::PathAccess) + "\n" + e.what(), "Stampa",
               Icona::Errore);
    }
    return false;
}

int ScegliDestinazionePdf(QWidget* parent, const std::vector<std::string>& destinazioni) {
    const auto pdf = DestinazionePdf(destinazioni);
    if (!pdf) {
        Avviso(parent, "Nessuna stampante PDF impostata!", "Stampa", Icona::Esclamazione);
        return -1;
    }
    for (std::size_t i = destinazioni.size(); i-- > 0;) {
        if (destinazioni[i] == *pdf) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

int EseguiStampaDaRigaComando(int argc, char** argv, const std::vector<std::string>& args,
                              std::ostream& out, std::ostream& err,
                              const std::filesystem::path& cartella) {
    // Text is laid out with Qt's fonts, which need an application object; with
    // no display, the offscreen platform draws just the same.
    std::unique_ptr<QGuiApplication> app;
    if (QGuiApplication::instance() == nullptr) {
        const auto presente = [](const char* nome) {
            const char* v = std::getenv(nome);
            return v != nullptr && *v != '\0';
        };
        if (!presente("DISPLAY") && !presente("WAYLAND_DISPLAY") && !presente("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        app = std::make_unique<QGuiApplication>(argc, argv);
    }
    return EseguiStampa(args, out, err, cartella, FabbricaQt());
}

} // namespace vdx::ui
