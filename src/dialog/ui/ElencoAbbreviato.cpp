#include "dialog/ui/ElencoAbbreviato.h"

#include <QStyleOptionComboBox>
#include <QStylePainter>

namespace vdx::ui {

ElencoAbbreviato::ElencoAbbreviato(QWidget* parent) : QComboBox(parent) {
    connect(this, &QComboBox::currentTextChanged, this, &QWidget::setToolTip);
}

ElencoAbbreviato::~ElencoAbbreviato() = default;

void ElencoAbbreviato::paintEvent(QPaintEvent* /*event*/) {
    // As QComboBox paints itself, the text cut to the room it has.
    QStylePainter pittore(this);
    pittore.setPen(palette().color(QPalette::Text));
    QStyleOptionComboBox opzioni;
    initStyleOption(&opzioni);
    pittore.drawComplexControl(QStyle::CC_ComboBox, opzioni);
    const QRect campo =
        style()->subControlRect(QStyle::CC_ComboBox, &opzioni, QStyle::SC_ComboBoxEditField, this);
    opzioni.currentText =
        fontMetrics().elidedText(opzioni.currentText, Qt::ElideRight, campo.width() - 2);
    pittore.drawControl(QStyle::CE_ComboBoxLabel, opzioni);
}

} // namespace vdx::ui
