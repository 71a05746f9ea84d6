#include "PainterCanvas.h"

#include <QFont>
#include <QFontDatabase>
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
    // On paper a line of zero width is the thinnest the device draws: one
    // device pixel on a printer, but one screen pixel (not a faint 0.06 pt
    // at 1200 dpi) wherever a PDF page is viewed.
    if (painter_.device() != nullptr && painter_.device()->devType() == QInternal::Printer)
        pen_.setWidth(0);
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

const char* const PainterCanvas::kBuiltInFamily = "DejaVu Sans";

bool PainterCanvas::LoadBuiltInFaces()
{
    static const bool loaded = [] {
        const int regular = QFontDatabase::addApplicationFont(QStringLiteral(":/fonts/DejaVuSans.ttf"));
        const int bold = QFontDatabase::addApplicationFont(QStringLiteral(":/fonts/DejaVuSans-Bold.ttf"));
        return regular >= 0 && bold >= 0;
    }();
    return loaded;
}

QFont PainterCanvas::FontFor(const FontSpec& wanted)
{
    QString family = ToQString(wanted.family);
    // Where the face is not installed, the built-in one stands in for it,
    // not whatever the system's matching offers (or nothing at all where no
    // font is installed), so a figure comes out alike on every machine.
    if (!QFontDatabase::hasFamily(family) && LoadBuiltInFaces())
        family = QString::fromLatin1(kBuiltInFamily);
    QFont font(family);
    font.setPointSizeF(wanted.pointSize > 0 ? wanted.pointSize : 8.0);
    font.setBold(wanted.bold);
    font.setStyleHint(QFont::SansSerif);
    // The machine's font settings (hinting, subpixel order) would change
    // the measured widths, and so the figure, from one machine to the next.
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setStyleStrategy(QFont::NoSubpixelAntialias);
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
