#pragma once

#include <QToolButton>

namespace brelloc {

// A tool button that shows its glyph pixel for pixel on a raised bevel and
// sinks it while pressed. It takes no focus, so clicking it leaves the focus,
// and any text being typed, where they are.
class SpeedButton : public QToolButton {
public:
    SpeedButton(const QString& glyph, const QString& hint, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap glyph_;
};

} // namespace brelloc
