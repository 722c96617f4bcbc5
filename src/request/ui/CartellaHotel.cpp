#include "request/ui/CartellaHotel.h"

#include "dialog/ui/Messaggi.h"
#include "shared/Cp1252.h"
#include "shared/DatiSuite.h"
#include "shared/NomiFile.h"

#include <QFileDialog>
#include <QHeaderView>
#include <QSettings>

namespace vdx::ui {

namespace fs = std::filesystem;

namespace {

const QString ChiaveCartella = QStringLiteral("cartellaHotel");

ChiediCartellaFn& Sostituto() {
    static ChiediCartellaFn fn;
    return fn;
}

std::optional<fs::path> Chiedi(const fs::path& partenza) {
    if (Sostituto()) {
        return Sostituto()(partenza);
    }
    QFileDialog dialogo(nullptr, QStringLiteral("Scegliere la cartella dei file dell'hotel"),
                        QString::fromStdString(partenza.string()));
    dialogo.setFileMode(QFileDialog::Directory);
    dialogo.setOption(QFileDialog::ShowDirsOnly);
    // Qt's own chooser, where the desktop offers none: wide enough for its
    // columns, the folders' names taking what is left.
    dialogo.resize(760, 480);
    for (QHeaderView* colonne : dialogo.findChildren<QHeaderView*>()) {
        colonne->setSectionResizeMode(QHeaderView::ResizeToContents);
        colonne->setSectionResizeMode(0, QHeaderView::Stretch);
    }
    if (dialogo.exec() != QDialog::Accepted || dialogo.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return fs::path(dialogo.selectedFiles().front().toStdString());
}

} // namespace

bool CartellaDiHotel(const fs::path& cartella) {
    return TrovaFile(cartella, suite::AnagraficaHotels.file).has_value();
}

std::optional<fs::path> CartellaHotel(const std::optional<fs::path>& indicata,
                                      const fs::path& corrente) {
    if (indicata) {
        return indicata;
    }
    if (CartellaDiHotel(corrente)) {
        return corrente;
    }
    QSettings impostazioni(OrganizzazioneImpostazioni, ApplicazioneImpostazioni);
    const fs::path ricordata = impostazioni.value(ChiaveCartella).toString().toStdString();
    if (!ricordata.empty() && CartellaDiHotel(ricordata)) {
        return ricordata;
    }
    fs::path partenza = ricordata.empty() ? corrente : ricordata;
    for (;;) {
        const auto scelta = Chiedi(partenza);
        if (!scelta) {
            return std::nullopt;
        }
        if (CartellaDiHotel(*scelta)) {
            impostazioni.setValue(ChiaveCartella, QString::fromStdString(scelta->string()));
            impostazioni.sync();
            return scelta;
        }
        Avviso(nullptr,
               "La cartella " + Cp1252DaUtf8(scelta->string()) +
                   " non contiene i file dell'hotel (" + suite::AnagraficaHotels.file + ").",
               "Cartella dell'hotel", Icona::Esclamazione);
        partenza = *scelta;
    }
}

void ImpostaChiediCartella(ChiediCartellaFn fn) {
    Sostituto() = std::move(fn);
}

} // namespace vdx::ui
