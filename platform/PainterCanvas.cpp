#include "PainterCanvas.h"

#include <QFont>
#include <QFontMetrics>
#include <QString>

namespace brelloc {

namespace {

QColor ToQColor(Rgb color)
{
    return QColor((color >> 16) & 0xFF, (color >> 8) & 0xFF, color & 0xFF);
}

QString ToQString(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

PainterCanvas::PainterCanvas(QPainter& painter)
    : painter_(painter), pen_(QColor(Qt::black), 1, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin),
      brush_(Qt::white)
{
    pen_.setCosmetic(true);
    painter_.setRenderHint(QPainter::Antialiasing, false);
    painter_.setPen(pen_);
    painter_.setBrush(Qt::NoBrush);
}

void PainterCanvas::SetPenColor(Rgb color)
{
    pen_.setColor(ToQColor(color));
    painter_.setPen(pen_);
}

void PainterCanvas::SetBrushColor(Rgb color)
{
    brush_ = ToQColor(color);
}

QFont PainterCanvas::FontFor(const FontSpec& wanted)
{
    QFont font(ToQString(wanted.family));
    font.setPointSizeF(wanted.pointSize > 0 ? wanted.pointSize : 8.0);
    font.setBold(wanted.bold);
    // Where the face is not installed, font matching falls back to the
    // closest sans-serif face instead of the system's default face.
    font.setStyleHint(QFont::SansSerif);
    return font;
}

void PainterCanvas::SetFont(const FontSpec& font)
{
    painter_.setFont(FontFor(font));
}

void PainterCanvas::MoveTo(int x, int y)
{
    x_ = x;
    y_ = y;
}

void PainterCanvas::LineTo(int x, int y)
{
    // A line of no length draws nothing, as the end point is never drawn.
    if (x != x_ || y != y_)
        painter_.drawLine(QPoint(x_, y_), QPoint(x, y));
    x_ = x;
    y_ = y;
}

void PainterCanvas::Rectangle(int x1, int y1, int x2, int y2)
{
    if (x2 <= x1 || y2 <= y1)
        return;
    const QRect area(QPoint(x1, y1), QPoint(x2 - 1, y2 - 1));
    painter_.fillRect(area, brush_);
    // An aliased outline of a QRect covers its last column and row as well,
    // so the rectangle one pixel smaller is outlined on the filled edges.
    painter_.drawRect(area.adjusted(0, 0, -1, -1));
}

void PainterCanvas::TextOut(int x, int y, const std::string& text)
{
    const QString s = ToQString(text);
    const QFontMetrics metrics = painter_.fontMetrics();
    painter_.fillRect(QRect(x, y, metrics.horizontalAdvance(s), metrics.height()), brush_);
    painter_.setPen(QColor(Qt::black));
    painter_.drawText(QPoint(x, y + metrics.ascent()), s);
    painter_.setPen(pen_);
}

void PainterCanvas::Dot(int x, int y, int radius)
{
    if (radius <= 0)
        return;
    painter_.setPen(Qt::NoPen);
    painter_.setBrush(pen_.color());
    // Half a pixel more, so the aliased disc takes in the pixels radius away
    // from (x, y) on each side.
    const qreal reach = radius + 0.5;
    painter_.drawEllipse(QPointF(x, y), reach, reach);
    painter_.setBrush(Qt::NoBrush);
    painter_.setPen(pen_);
}

int PainterCanvas::TextWidth(const std::string& text)
{
    return painter_.fontMetrics().horizontalAdvance(ToQString(text));
}

int PainterCanvas::TextHeight(const std::string&)
{
    return painter_.fontMetrics().height();
}

} // namespace brelloc
