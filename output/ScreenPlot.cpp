#include "ScreenPlot.h"

#include "FlowField.h"
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

void DrawScreenPlot(Canvas& imageCanvas, const GeneralData& data, int side)
{
    if (side <= 0)
        return; // no room below the grid: nothing to draw
    // The whole square is repainted, so nothing of an earlier plot survives.
    imageCanvas.SetBrushColor(kAqua);
    imageCanvas.SetPenColor(kBlack);
    imageCanvas.Rectangle(0, 0, side, side);

    FigureLayout layout;
    layout.side = side;
    DrawFlowNetFigure(imageCanvas, data, layout);

    // A flat field draws only the boundaries; say why there is no net,
    // centred across the square and down the middle of its lower half.
    if (HasNoFlow(data)) {
        const std::string text = kNoFlowMessage;
        const int width = imageCanvas.TextWidth(text);
        const int height = imageCanvas.TextHeight(text);
        imageCanvas.TextOut((side - width) / 2, side / 2 + side / 4 - height / 2, text);
    }
}

} // namespace brelloc
