#include "preview/ui/AvvioRecapito.h"

#include "dialog/ui/Messaggi.h"
#include "dialog/ui/Notifiche.h"
#include "preview/InviaEMail.h"
#include "shared/Cp1252.h"
#include "shared/Errore.h"
#include "shared/Piattaforma.h"

#include <QApplication>
#include <QWidget>

namespace vdx::ui {

namespace fs = std::filesystem;

namespace {

const std::string Titolo = "E-mail";

// The sender's name as the user knows it: as installed; when it is nowhere,
// as the suite names it, less the ".exe" no program here has.
QString NomeMostrato(const fs::path& programma) {
    if (!programma.empty()) {
        return QString::fromStdString(programma.filename().string());
    }
    return QString::fromStdString(std::string(piattaforma::SenzaExe(ProgrammaRecapito)));
}

// A file as the user can find it: its full path.
QString PercorsoMostrato(const fs::path& file) {
    std::error_code ec;
    const fs::path assoluto = fs::absolute(file, ec);
    return QString::fromStdString((ec ? file : assoluto).lexically_normal().string());
}

// What the sender wrote, on one line.
QString Parole(const QByteArray& testo) {
    return QString::fromUtf8(testo).simplified();
}

} // namespace

void AvvioRecapito::Avvia(QWidget* finestra, const fs::path& cartella, const fs::path& fileEMail) {
    fs::path programma;
    try {
        programma = piattaforma::ProgrammaDaAvviare(ProgrammaRecapito, cartella);
    } catch (const Errore&) {
        Avviso(finestra,
               ACp1252(QStringLiteral("Il programma di posta %1 non \u00e8 installato (non \u00e8 "
                                      "nel percorso dei programmi): la pagina resta in %2.")
                           .arg(NomeMostrato({}), PercorsoMostrato(fileEMail))),
               Titolo, Icona::Esclamazione);
        return;
    }
    auto* avvio = new AvvioRecapito(finestra, fileEMail, NomeMostrato(programma));
    Notifica(finestra, ACp1252(QStringLiteral("Pagina scritta in %1: %2 la sta consegnando.")
                                   .arg(avvio->FileEMail(), avvio->nome_)));
    if (programma.empty()) {
        delete avvio; // the start was replaced (ImpostaAvvia): no process to follow
        return;
    }
    avvio->Parti(programma, cartella);
}

AvvioRecapito::AvvioRecapito(QWidget* finestra, fs::path fileEMail, QString nome)
    : QObject(QCoreApplication::instance()), finestra_(finestra), fileEMail_(std::move(fileEMail)),
      nome_(std::move(nome)) {}

AvvioRecapito::~AvvioRecapito() {
    if (processo_ == nullptr) {
        return;
    }
    processo_->disconnect(this);
    if (processo_->state() == QProcess::NotRunning) {
        delete processo_;
    }
    // Otherwise the program is ending while the sender still works: it is
    // left to finish on its own, as nothing waits for it.
}

void AvvioRecapito::Parti(const fs::path& programma, const fs::path& cartella) {
    processo_ = new QProcess(); // no parent: it may outlive the program's objects
    processo_->setProgram(QString::fromStdString(programma.string()));
    processo_->setWorkingDirectory(QString::fromStdString(cartella.string()));
    processo_->setStandardInputFile(QProcess::nullDevice());
    connect(processo_, &QProcess::readyReadStandardOutput, this,
            [this] { uscita_ += processo_->readAllStandardOutput(); });
    connect(processo_, &QProcess::readyReadStandardError, this,
            [this] { errori_ += processo_->readAllStandardError(); });
    connect(processo_, &QProcess::finished, this, &AvvioRecapito::Finito);
    connect(processo_, &QProcess::errorOccurred, this, [this](QProcess::ProcessError errore) {
        if (errore == QProcess::FailedToStart) {
            NonPartito();
        }
    });
    processo_->start();
}

void AvvioRecapito::Finito(int codice, QProcess::ExitStatus stato) {
    uscita_ += processo_->readAllStandardOutput();
    errori_ += processo_->readAllStandardError();
    QWidget* destinatario = Destinatario();
    if (stato == QProcess::NormalExit && codice == 0) {
        // Where the message went, as the sender says it: the mail program,
        // or the .eml file it wrote.
        const QString detto = Parole(uscita_);
        const QString testo =
            detto.isEmpty()
                ? QStringLiteral("%1 ha consegnato la pagina di %2.").arg(nome_, FileEMail())
                : detto;
        if (destinatario != nullptr) {
            Notifica(destinatario, ACp1252(testo), DurataNotifica::FinoAllaProssimaAzione);
        }
    } else {
        const QString detto = Parole(errori_ + ' ' + uscita_);
        const QString esito = stato == QProcess::NormalExit ? QStringLiteral("esito %1").arg(codice)
                                                            : QStringLiteral("interrotto");
        Avviso(
            destinatario,
            ACp1252(QStringLiteral("%1 non ha consegnato la pagina (%2)%3.\nLa pagina resta in %4.")
                        .arg(nome_, esito,
                             detto.isEmpty() ? QString() : QStringLiteral(": ") + detto,
                             FileEMail())),
            Titolo, Icona::Esclamazione);
    }
    deleteLater();
}

void AvvioRecapito::NonPartito() {
    Avviso(Destinatario(),
           ACp1252(QStringLiteral("Il programma di posta %1 non si avvia: la pagina resta in %2.")
                       .arg(processo_->program(), FileEMail())),
           Titolo, Icona::Esclamazione);
    deleteLater();
}

QWidget* AvvioRecapito::Destinatario() const {
    if (finestra_ != nullptr && finestra_->isVisible()) {
        return finestra_;
    }
    return QApplication::activeWindow();
}

QString AvvioRecapito::FileEMail() const {
    return PercorsoMostrato(fileEMail_);
}

} // namespace vdx::ui
