#pragma once

// A drop-down list whose entries may be longer than the list is wide (a
// hotel's name): closed, it shows the chosen entry cut at its right end with
// "…" and the whole entry as its tooltip; open, it shows every entry whole.

#include <QComboBox>

namespace vdx::ui {

class ElencoAbbreviato final : public QComboBox {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ElencoAbbreviato)

public:
    explicit ElencoAbbreviato(QWidget* parent = nullptr);
    ~ElencoAbbreviato() override;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace vdx::ui
