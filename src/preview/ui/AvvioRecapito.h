#pragma once

// The e-mail sender as the preview's E-mail button starts it: a program of
// its own beside this one, in the working folder, that nothing waits for.
// What it writes is read as it comes; when it ends, the window that started
// it (or, once that one has closed, the window in front) tells its outcome:
// where the message went, in the sender's own words, or why the page did not
// leave and where it stays.

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QProcess>
#include <QString>
#include <filesystem>

class QWidget;

namespace vdx::ui {

class AvvioRecapito final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AvvioRecapito)

public:
    // Starts the sender in `cartella` for the hand-off file `fileEMail`,
    // already written. Returns at once; the outcome comes later.
    static void Avvia(QWidget* finestra, const std::filesystem::path& cartella,
                      const std::filesystem::path& fileEMail);

    ~AvvioRecapito() override;

private:
    AvvioRecapito(QWidget* finestra, std::filesystem::path fileEMail, QString nome);

    void Parti(const std::filesystem::path& programma, const std::filesystem::path& cartella);
    void Finito(int codice, QProcess::ExitStatus stato);
    void NonPartito();
    QWidget* Destinatario() const;
    QString FileEMail() const;

    QPointer<QWidget> finestra_;
    std::filesystem::path fileEMail_;
    QString nome_;                 // the sender as installed ("Recapito")
    QProcess* processo_ = nullptr; // left running when the program ends
    QByteArray uscita_;
    QByteArray errori_;
};

} // namespace vdx::ui
