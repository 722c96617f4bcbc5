#include "request/ui/CartellaHotel.h"

#include "dialog/ui/Messaggi.h"
#include "shared/Cp1252.h"
#include "shared/NomiFile.h"

#include <QFileDialog>
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
    const QString scelta =
        QFileDialog::getExistingDirectory(nullptr, QStringLiteral("Cartella dei dati dell'hotel"),
                                          QString::fromStdString(partenza.string()));
    if (scelta.isEmpty()) {
        return std::nullopt;
    }
    return fs::path(scelta.toStdString());
}

} // namespace

bool CartellaDiHotel(const fs::path& cartella) {
    return TrovaFile(cartella, "AnagraficaHotels.mdb").has_value();
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
                   " non contiene i file dell'hotel (AnagraficaHotels.mdb).",
               "Cartella dell'hotel", Icona::Esclamazione);
        partenza = *scelta;
    }
}

void ImpostaChiediCartella(ChiediCartellaFn fn) {
    Sostituto() = std::move(fn);
}

} // namespace vdx::ui
