#pragma once

#include "Canvas.h"
#include "FlowNetFigure.h"
#include "GeneralData.h"

namespace brelloc {

// The colour of the marks, apart from the black net.
constexpr Rgb kMarkColor = 0xFF0000;

// Radius of a mark's dot in device pixels for a figure of the given side:
// side / 150, at least 2, so the dots keep their size on the page as on the
// screen.
int DivideMarkRadius(int side);

// Marks the results on a figure drawn with the same layout: the dividing
// stream line from the divide to the stagnation point, then dots at the
// divide, the stagnation point and the top of the water table, all in red.
// The net's window test applies: the line is drawn only between neighbouring
// points that both pass it, and a dot only where its point passes it. A
// quantity that does not exist draws nothing. Call it after the net, so the
// marks lie on top; it leaves the pen black, as the figures draw in it.
void DrawDivideMarks(Canvas& canvas, const GeneralData& data, const FigureLayout& layout);

} // namespace brelloc
