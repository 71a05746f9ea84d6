#include "DivideMarks.h"

#include "FlowNetTracer.h"
#include "FlowResults.h"

#include <vector>

namespace brelloc {

int DivideMarkRadius(int side)
{
    const int radius = side / 150;
    return radius < 2 ? 2 : radius;
}

void DrawDivideMarks(Canvas& canvas, const GeneralData& data, const FigureLayout& layout)
{
    if (layout.side <= 0)
        return;
    const FlowResults results = ComputeResults(data);
    // The net's own mapping, so a mark lands on the pixel of the line it marks.
    const CanvasSink map(canvas, layout.OriginX(), layout.OriginY(), layout.Scale(data));
    canvas.SetPenColor(kMarkColor);

    const std::vector<ModelPoint> line = DividingStreamLine(data);
    bool penDown = false; // the previous point passed the window test
    for (const ModelPoint& p : line) {
        if (!WindowTest(data, p)) {
            penDown = false;
            continue;
        }
        const int x = map.PixelX(p.x);
        const int y = map.PixelY(p.y);
        if (penDown)
            canvas.LineTo(x, y);
        else
            canvas.MoveTo(x, y);
        penDown = true;
    }

    const int radius = DivideMarkRadius(layout.side);
    const auto dot = [&](const ModelPoint& p) {
        if (WindowTest(data, p))
            canvas.Dot(map.PixelX(p.x), map.PixelY(p.y), radius);
    };
    if (results.divide)
        dot(*results.divide);
    if (results.stagnationPoint)
        dot(*results.stagnationPoint);
    dot(results.waterTableTop);

    canvas.SetPenColor(kBlack);
}

} // namespace brelloc
