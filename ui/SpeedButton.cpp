#include "SpeedButton.h"

#include <QPainter>

namespace brelloc {

SpeedButton::SpeedButton(const QString& glyph, const QString& hint, QWidget* parent)
    : QToolButton(parent), glyph_(QStringLiteral(":/glyphs/%1.png").arg(glyph))
{
    setIcon(QIcon(glyph_));
    setIconSize(glyph_.size());
    setToolTip(hint);
    setFocusPolicy(Qt::NoFocus);
}

void SpeedButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect r = rect().adjusted(0, 0, -1, -1);
    const bool down = isDown();
    painter.fillRect(rect(), QColor(192, 192, 192));
    // The classic bevel: light above and left, dark below and right; the
    // other way round while pressed.
    painter.setPen(down ? QColor(128, 128, 128) : QColor(Qt::white));
    painter.drawLine(r.topLeft(), r.topRight());
    painter.drawLine(r.topLeft(), r.bottomLeft());
    painter.setPen(down ? QColor(Qt::white) : QColor(Qt::black));
    painter.drawLine(r.bottomLeft(), r.bottomRight());
    painter.drawLine(r.topRight(), r.bottomRight());

    // The glyph is not scaled: its pixels are drawn as they are.
    const int shift = down ? 1 : 0;
    const QPoint at((width() - glyph_.width()) / 2 + shift, (height() - glyph_.height()) / 2 + shift);
    painter.drawPixmap(at, glyph_);
}

} // namespace brelloc
