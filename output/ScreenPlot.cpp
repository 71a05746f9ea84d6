#include "ScreenPlot.h"

#include "FlowNetFigure.h"

namespace brelloc {

ScreenPlotLayout ComputeScreenPlotLayout(int clientWidth, int clientHeight, int gridTop,
                                         int gridHeight)
{
    ScreenPlotLayout layout{};
    layout.top = gridTop + gridHeight + 8;
    const int w = clientWidth - 16;
    const int h = clientHeight - layout.top - 8;
    layout.side = h <= w ? h : w;
    layout.left = (clientWidth - layout.side) / 2;
    return layout;
}

FigureLayout ScreenFigureLayout(int side)
{
    FigureLayout layout;
    layout.side = side;
    return layout;
}

FigureMapping ScreenPlotMapping(const GeneralData& data, int side)
{
    return ScreenFigureLayout(side).Mapping(data);
}

void DrawScreenPlot(Canvas& imageCanvas, const GeneralData& data, int side)
{
    if (side <= 0)
        return; // no room below the grid: nothing to draw
    // The whole square is repainted, so nothing of an earlier plot survives.
    imageCanvas.SetBrushColor(kAqua);
    imageCanvas.SetPenColor(kBlack);
    imageCanvas.Rectangle(0, 0, side, side);

    DrawFlowNetFigure(imageCanvas, data, ScreenFigureLayout(side));
}

} // namespace brelloc
