#include "SpeedButton.h"

#include <QPainter>

namespace brelloc {

SpeedButton::SpeedButton(const QString& glyph, const QString& hint, QWidget* parent)
    : QToolButton(parent), glyph_(QStringLiteral(":/glyphs/%1.png").arg(glyph))
{
    // The icon also finds the picture drawn at twice the size (NAME@2x.png)
    // for scaled screens.
    setIcon(QIcon(QStringLiteral(":/glyphs/%1.png").arg(glyph)));
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

    // The glyph is not scaled at a scale factor of 1: its pixels are drawn
    // as they are. A scaled screen gets the picture drawn for its size.
    const int shift = down ? 1 : 0;
    const QPoint at((width() - glyph_.width()) / 2 + shift, (height() - glyph_.height()) / 2 + shift);
    const qreal ratio = devicePixelRatioF();
    painter.drawPixmap(at, ratio == 1.0 ? glyph_ : icon().pixmap(glyph_.size(), ratio));
}

} // namespace brelloc
