#pragma once

#include "Canvas.h"
#include "GeneralData.h"

namespace brelloc {

// Where the plot square stands in the main window's client area: below the
// grid, as large as fits with an 8-pixel border, centred across.
struct ScreenPlotLayout {
    int top;
    int side;
    int left;
};

// top = gridTop + gridHeight + 8; side = the smaller of clientWidth - 16 and
// clientHeight - top - 8; left = (clientWidth - side) / 2.
ScreenPlotLayout ComputeScreenPlotLayout(int clientWidth, int clientHeight, int gridTop,
                                         int gridHeight);

// Paints the whole plot into the square (0, 0)-(side, side) of the off-screen
// image: aqua background with a black outline, the axes with their labels in
// the canvas' current font, and the traced net in the black pen; where there
// is no flow, kNoFlowMessage centred in the lower half. The caller copies
// that square onto the window.
void DrawScreenPlot(Canvas& imageCanvas, const GeneralData& data, int side);

} // namespace brelloc
