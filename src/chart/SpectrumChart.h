#pragma once

#include "Spectrum.h"

class PlotFrame;
class Canvas;

// The graphic spectrum: load factor n against log E, the world window -10 ... 10 both ways laid
// over the whole client area. One decade of E is 3 world units across (log E = -3 at x = -9),
// and n = 0 stands at y = -3, each 0.5 g 1.5 units higher.

// World position of a level's point.
double ChartX(double logFrequency);
double ChartY(int level);

// The frame over the canvas's whole client area.
PlotFrame ChartFrame(Canvas &canvas);

// Grid, axes and the 24 scale texts, each text on a cell of the canvas's brush colour.
void DrawChartScale(PlotFrame &frame);

// The two series of a spectrum: red points, positive levels joined by one line, then negative
// ones by another, in the canvas's pen colour. Levels that were never crossed are left out.
void DrawChartSeries(PlotFrame &frame, const Spectrum &spectrum);

// The whole chart; without a spectrum, the scale alone.
void DrawSpectrumChart(Canvas &canvas, const Spectrum *spectrum);
