#pragma once

#include "Canvas.h"

#include <QPainter>
#include <QPen>

class QFont;

namespace brelloc {

// The canvas over a QPainter that the caller has opened on an image, a
// printer or an SVG generator. Lines are aliased, one device pixel wide
// (a cosmetic pen, so no transformation widens it; of zero width on a
// printer, the thinnest it draws, which a PDF viewer shows one screen pixel
// wide at any zoom), and land on the integer
// pixels given: LineTo lights the pixels from the current position up to,
// but not including, the end point (a flat-capped cosmetic pen), so a
// polyline of LineTo calls draws every pixel once. The pen starts black, the
// brush white; the font is the painter's until SetFont replaces it. Texts are
// drawn in black.
class PainterCanvas final : public Canvas {
public:
    explicit PainterCanvas(QPainter& painter);

    void SetPenColor(Rgb color) override;
    void SetBrushColor(Rgb color) override;
    void SetFont(const FontSpec& font) override;

    void MoveTo(int x, int y) override;
    void LineTo(int x, int y) override;
    void Rectangle(int x1, int y1, int x2, int y2) override;
    void TextOut(int x, int y, const std::string& text) override;
    void Dot(int x, int y, int radius) override;

    int TextWidth(const std::string& text) override;
    int TextHeight(const std::string& text) override;

    // The QFont a FontSpec selects: its face at its point size (the painter
    // scales points to the device's resolution), or the program's built-in
    // face (kBuiltInFamily, regular and bold) where that one is not
    // installed. Needs a QGuiApplication.
    static QFont FontFor(const FontSpec& font);

    // The face built into the program, and its loading into the font
    // database (once; false when it could not be loaded).
    static const char* const kBuiltInFamily;
    static bool LoadBuiltInFaces();

private:
    QPainter& painter_;
    QPen pen_;
    QColor brush_;
    int x_ = 0;
    int y_ = 0;
};

} // namespace brelloc
