#include "ScreenPlot.h"

#include "FlowField.h"
#include "FlowNetFigure.h"

#include <cmath>

namespace brelloc {

ScreenPlotLayout ComputeScreenPlotLayout(int clientWidth, int clientHeight, int gridTop,
                                         int gridHeight)
{
    return ComputeScreenPlotLayout(clientWidth, clientHeight, gridTop, gridHeight, 1.0);
}

ScreenPlotLayout ComputeScreenPlotLayout(int clientWidth, int clientHeight, int gridTop,
                                         int gridHeight, double pixelRatio)
{
    const auto device = [pixelRatio](int logical) {
        return static_cast<int>(std::lround(logical * pixelRatio));
    };
    const int width = device(clientWidth);
    const int border = device(8);
    ScreenPlotLayout layout{};
    layout.top = device(gridTop + gridHeight) + border;
    const int w = width - 2 * border;
    const int h = device(clientHeight) - layout.top - border;
    layout.side = h <= w ? h : w;
    layout.left = (width - layout.side) / 2;
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
