#pragma once

#include "Canvas.h"
#include "GeneralData.h"
#include "PlotSink.h"

namespace brelloc {

// The pixel mapping of a figure: a model point goes to the device pixel
// trunc(originX + s x), trunc(originY - s y); a pixel comes back as the model
// point at its centre, which maps to that same pixel again. Both directions
// live here so that reading a point off a drawn figure cannot drift from
// drawing it.
struct FigureMapping {
    int originX = 0;
    int originY = 0;
    double scale = 1.0; // pixels per unit of L on both axes

    int PixelX(double x) const;
    int PixelY(double y) const;
    // The model point at the centre of pixel (column, row).
    ModelPoint PixelCentre(int column, int row) const;
};

// Where a flow-net figure stands on a canvas: the square of side `side` with
// its top-left corner at (left, top). The model origin is its centre and the
// window |x|, |y| <= XmaxL covers the central 80 %.
struct FigureLayout {
    int left = 0;
    int top = 0;
    int side = 0;

    int OriginX() const { return left + side / 2; }
    int OriginY() const { return top + side / 2; }
    // Pixels per unit of L on both axes: side * 0.4 / XmaxL, formed with a
    // 64-bit mantissa and stored as a double.
    double Scale(const GeneralData& data) const
    {
        return static_cast<double>(static_cast<long double>(side) * static_cast<long double>(0.4) /
                                   static_cast<long double>(data.XmaxL));
    }
    FigureMapping Mapping(const GeneralData& data) const
    {
        return {OriginX(), OriginY(), Scale(data)};
    }
};

// The PlotSink of the pen outputs (screen and printer): maps each model point
// to a device pixel, trunc(originX + s x), trunc(originY - s y), and draws
// with the canvas' current pen.
class CanvasSink final : public PlotSink {
public:
    CanvasSink(Canvas& canvas, int originX, int originY, double scale);
    CanvasSink(Canvas& canvas, const FigureMapping& mapping);

    void BeginCurve(ModelPoint p0) override;
    void CurvePoint(int k, ModelPoint p) override;
    void EndCurve() override {}
    void BeginFamily(Family) override {}
    void Segment(ModelPoint p, ModelPoint q) override;

    int PixelX(double x) const;
    int PixelY(double y) const;

private:
    Canvas& canvas_;
    FigureMapping mapping_;
};

// The two axes from the model origin, right and up, each 0.4 side long with a
// two-stroke arrowhead and its label ("x" beyond the tip, "y" beside it), in
// the canvas' current pen and font.
void DrawFigureAxes(Canvas& canvas, const FigureLayout& layout);

// Axes, then the whole traced net (boundaries, potential and stream lines).
void DrawFlowNetFigure(Canvas& canvas, const GeneralData& data, const FigureLayout& layout);

} // namespace brelloc
