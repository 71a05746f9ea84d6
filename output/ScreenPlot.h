#pragma once

#include "Canvas.h"
#include "FlowNetFigure.h"
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

// The figure fills the off-screen square from its top-left corner; the
// mapping between a pixel of the square and a model point, as drawn.
FigureLayout ScreenFigureLayout(int side);
FigureMapping ScreenPlotMapping(const GeneralData& data, int side);
// The same in device pixels of a screen with pixelRatio device pixels to
// the window's (logical) pixel: the window's sizes and the 8-pixel border
// are scaled and rounded first. A ratio of 1 gives the layout above.
ScreenPlotLayout ComputeScreenPlotLayout(int clientWidth, int clientHeight, int gridTop,
                                         int gridHeight, double pixelRatio);

// Paints the whole plot into the square (0, 0)-(side, side) of the off-screen
// image: aqua background with a black outline, the axes with their labels in
// the canvas' current font, and the traced net in the black pen; where there
// is no flow, kNoFlowMessage centred in the lower half. The caller copies
// that square onto the window.
void DrawScreenPlot(Canvas& imageCanvas, const GeneralData& data, int side);

} // namespace brelloc
