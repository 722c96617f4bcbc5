#include "dialog/ui/Disegni.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygonF>

namespace vdx::ui {

namespace {

constexpr int Lato = 128;

// A sheet of paper with a folded corner.
void Foglio(QPainter& p, const QRectF& r, const QColor& bordo) {
    const qreal piega = r.width() * 0.25;
    QPolygonF sagoma;
    sagoma << r.topLeft() << QPointF(r.right() - piega, r.top())
           << QPointF(r.right(), r.top() + piega) << r.bottomRight() << r.bottomLeft();
    p.setPen(QPen(bordo, 3));
    p.setBrush(Qt::white);
    p.drawPolygon(sagoma);
    QPolygonF angolo;
    angolo << QPointF(r.right() - piega, r.top()) << QPointF(r.right() - piega, r.top() + piega)
           << QPointF(r.right(), r.top() + piega);
    p.setBrush(QColor(220, 220, 220));
    p.drawPolygon(angolo);
}

// Lines of text on a sheet.
void DisegnaRighe(QPainter& p, const QRectF& r, int count, const QColor& colore) {
    p.setPen(QPen(colore, 3, Qt::SolidLine, Qt::RoundCap));
    const qreal passo = r.height() / (count + 1);
    for (int i = 1; i <= count; ++i) {
        const qreal y = r.top() + passo * i;
        const qreal fine = (i % 3 == 0) ? r.left() + r.width() * 0.6 : r.right();
        p.drawLine(QPointF(r.left(), y), QPointF(fine, y));
    }
}

// A document with a coloured band and a big letter.
void Documento(QPainter& p, const QColor& colore, const QString& lettera) {
    const QRectF pagina(28, 8, 80, 112);
    Foglio(p, pagina, QColor(90, 90, 90));
    DisegnaRighe(p, QRectF(40, 30, 56, 80), 7, QColor(190, 190, 190));
    const QRectF banda(12, 44, 64, 56);
    p.setPen(Qt::NoPen);
    p.setBrush(colore);
    p.drawRoundedRect(banda, 6, 6);
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(lettera.size() > 1 ? 24 : 44);
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(banda, Qt::AlignCenter, lettera);
}

void DisegnaStampante(QPainter& p) {
    // paper going in at the back
    Foglio(p, QRectF(34, 6, 60, 44), QColor(120, 120, 120));
    // body
    QLinearGradient g(0, 44, 0, 96);
    g.setColorAt(0, QColor(150, 150, 160));
    g.setColorAt(1, QColor(80, 80, 90));
    p.setPen(QPen(QColor(50, 50, 60), 3));
    p.setBrush(g);
    p.drawRoundedRect(QRectF(10, 44, 108, 52), 10, 10);
    // light
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 200, 80));
    p.drawEllipse(QPointF(100, 60), 5, 5);
    // printed sheet coming out
    Foglio(p, QRectF(30, 78, 68, 44), QColor(120, 120, 120));
    DisegnaRighe(p, QRectF(38, 84, 52, 34), 4, QColor(60, 60, 60));
}

void DisegnaAnteprima(QPainter& p) {
    Foglio(p, QRectF(14, 6, 78, 108), QColor(90, 90, 90));
    DisegnaRighe(p, QRectF(24, 16, 58, 90), 9, QColor(80, 80, 80));
    // magnifying glass
    const QPointF centro(74, 70);
    p.setPen(QPen(QColor(110, 70, 30), 12, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(92, 90), QPointF(118, 118));
    p.setPen(QPen(QColor(60, 60, 70), 6));
    p.setBrush(QColor(200, 230, 255, 150));
    p.drawEllipse(centro, 27, 27);
    p.setPen(QPen(QColor(30, 30, 30), 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(60, 64), QPointF(88, 64));
    p.drawLine(QPointF(60, 76), QPointF(80, 76));
}

void DisegnaUscita(QPainter& p, bool freccia) {
    // exit sign
    p.setPen(QPen(QColor(0, 90, 30), 2));
    p.setBrush(QColor(0, 150, 60));
    p.drawRect(QRectF(30, 4, 68, 22));
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(15);
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRectF(30, 4, 68, 22), Qt::AlignCenter, QStringLiteral("EXIT"));
    // door frame and dark doorway
    p.setPen(QPen(QColor(90, 60, 30), 4));
    p.setBrush(QColor(40, 40, 50));
    p.drawRect(QRectF(34, 34, 60, 88));
    // the door, swung open towards the viewer
    QPolygonF anta;
    anta << QPointF(34, 34) << QPointF(58, 42) << QPointF(58, 116) << QPointF(34, 122);
    p.setPen(QPen(QColor(90, 50, 20), 3));
    p.setBrush(QColor(170, 110, 50));
    p.drawPolygon(anta);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(230, 200, 60));
    p.drawEllipse(QPointF(53, 80), 3, 3);
    if (freccia) {
        QPolygonF f2;
        f2 << QPointF(62, 70) << QPointF(96, 70) << QPointF(96, 58) << QPointF(122, 80)
           << QPointF(96, 102) << QPointF(96, 90) << QPointF(62, 90);
        p.setPen(QPen(QColor(0, 100, 0), 2));
        p.setBrush(QColor(40, 190, 40));
        p.drawPolygon(f2);
    }
}

} // namespace

QImage Immagine(Disegno disegno) {
    QImage img(Lato, Lato, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    switch (disegno) {
    case Disegno::Stampante:
        DisegnaStampante(p);
        break;
    case Disegno::Anteprima:
        DisegnaAnteprima(p);
        break;
    case Disegno::DocumentoW:
        Documento(p, QColor(40, 90, 180), QStringLiteral("W"));
        break;
    case Disegno::DocumentoX:
        Documento(p, QColor(30, 130, 60), QStringLiteral("X"));
        break;
    case Disegno::DocumentoPdf:
        Documento(p, QColor(200, 30, 30), QStringLiteral("PDF"));
        break;
    case Disegno::Uscita:
        DisegnaUscita(p, false);
        break;
    case Disegno::UscitaFreccia:
        DisegnaUscita(p, true);
        break;
    }
    return img;
}

QIcon IconaDisegno(Disegno disegno) {
    return QIcon(QPixmap::fromImage(Immagine(disegno)));
}

} // namespace vdx::ui
