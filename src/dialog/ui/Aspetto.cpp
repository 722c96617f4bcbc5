#include "dialog/ui/Aspetto.h"

#include <QApplication>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QPalette>
#include <QStringList>
#include <QWidget>

// The resources of a static library are linked in only when asked for.
static void CaricaIcone() {
    Q_INIT_RESOURCE(Icone);
}

namespace vdx::ui {

QRect RettangoloTwips(int left, int top, int width, int height) {
    return QRect(Pixel(left), Pixel(top), Pixel(width), Pixel(height));
}

void Posiziona(QWidget* control, int left, int top, int width, int height) {
    control->setGeometry(RettangoloTwips(left, top, width, height));
}

QString FamigliaInstallata(const QString& family) {
    const QStringList installate = QFontDatabase::families();
    const auto presente = [&](const QString& nome) {
        return installate.contains(nome, Qt::CaseInsensitive);
    };
    if (presente(family)) {
        return family;
    }
    QStringList sostituti;
    if (family.compare(QStringLiteral("Corbel"), Qt::CaseInsensitive) == 0) {
        sostituti = {QStringLiteral("Carlito"), QStringLiteral("Liberation Sans"),
                     QStringLiteral("Arimo"), QStringLiteral("DejaVu Sans")};
    } else if (family.compare(QStringLiteral("Arial"), Qt::CaseInsensitive) == 0) {
        sostituti = {QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                     QStringLiteral("DejaVu Sans")};
    } else {
        sostituti = {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")};
    }
    for (const QString& nome : sostituti) {
        if (presente(nome)) {
            return nome;
        }
    }
    return QApplication::font().family();
}

QFont Carattere(const QString& family, double points, bool bold) {
    QFont font(FamigliaInstallata(family));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

void Sfondo(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    palette.setColor(QPalette::Base, colour);
    palette.setColor(QPalette::Button, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

void ColoreTesto(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::Text, colour);
    palette.setColor(QPalette::ButtonText, colour);
    widget->setPalette(palette);
}

QIcon IconaProgramma() {
    CaricaIcone();
    const QIcon propria(QStringLiteral(":/vdx/icona.svg"));
    const QString nome = QGuiApplication::desktopFileName();
    return nome.isEmpty() ? propria : QIcon::fromTheme(nome, propria);
}

} // namespace vdx::ui
