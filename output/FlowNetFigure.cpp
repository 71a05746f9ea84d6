#include "FlowNetFigure.h"

#include "DevicePixel.h"
#include "FlowNetTracer.h"

namespace brelloc {

int FigureMapping::PixelX(double x) const
{
    return MapToPixel(originX, scale, x);
}

int FigureMapping::PixelY(double y) const
{
    return MapToPixelDown(originY, scale, y);
}

ModelPoint FigureMapping::PixelCentre(int column, int row) const
{
    // Inside the figure both sums are positive, so truncation is the floor
    // and pixel c holds originX + s x in [c, c + 1): its centre is c + 0.5.
    const long double x = (static_cast<long double>(column) + 0.5L - originX) / scale;
    const long double y = (static_cast<long double>(originY) - row - 0.5L) / scale;
    return {static_cast<double>(x), static_cast<double>(y)};
}

CanvasSink::CanvasSink(Canvas& canvas, int originX, int originY, double scale)
    : CanvasSink(canvas, FigureMapping{originX, originY, scale})
{
}

CanvasSink::CanvasSink(Canvas& canvas, const FigureMapping& mapping)
    : canvas_(canvas), mapping_(mapping)
{
}

int CanvasSink::PixelX(double x) const
{
    return mapping_.PixelX(x);
}

int CanvasSink::PixelY(double y) const
{
    return mapping_.PixelY(y);
}

void CanvasSink::BeginCurve(ModelPoint p0)
{
    canvas_.MoveTo(PixelX(p0.x), PixelY(p0.y));
}

void CanvasSink::CurvePoint(int k, ModelPoint p)
{
    // The pen already stands on sample 0: it is the curve's start point.
    if (k != 0)
        canvas_.LineTo(PixelX(p.x), PixelY(p.y));
}

void CanvasSink::Segment(ModelPoint p, ModelPoint q)
{
    canvas_.MoveTo(PixelX(p.x), PixelY(p.y));
    canvas_.LineTo(PixelX(q.x), PixelY(q.y));
}

void DrawFigureAxes(Canvas& canvas, const FigureLayout& layout)
{
    const int ox = layout.OriginX();
    const int oy = layout.OriginY();
    // 0.4 is the double just above 0.4 and the sum keeps a 64-bit mantissa,
    // so a tip 0.4 side above the origin lands one row higher when side is a
    // multiple of 5 (side 500: row 49 of 250 - 200).
    const long double reach = static_cast<long double>(0.4) * layout.side;
    const int arrow = canvas.TextWidth("xx");
    const int half = arrow / 4;

    const int tipX = TruncToPixel(reach + ox);
    canvas.MoveTo(ox, oy);
    canvas.LineTo(tipX, oy);
    canvas.LineTo(tipX - arrow, oy - half);
    canvas.MoveTo(tipX, oy);
    canvas.LineTo(tipX - arrow, oy + half);
    const int labelHeight = canvas.TextHeight("x");
    canvas.TextOut(tipX + arrow, oy - labelHeight / 2, "x");

    const int tipY = TruncToPixel(oy - reach);
    canvas.MoveTo(ox, oy);
    canvas.LineTo(ox, tipY);
    canvas.LineTo(ox - half, tipY + arrow);
    canvas.MoveTo(ox, tipY);
    canvas.LineTo(ox + half, tipY + arrow);
    const int yWidth = canvas.TextWidth("y");
    canvas.TextOut(ox + (3 * yWidth) / 2, tipY - labelHeight / 2, "y");
}

void DrawFlowNetFigure(Canvas& canvas, const GeneralData& data, const FigureLayout& layout)
{
    DrawFigureAxes(canvas, layout);
    CanvasSink sink(canvas, layout.Mapping(data));
    FlowNetTracer::Trace(data, sink);
}

} // namespace brelloc
