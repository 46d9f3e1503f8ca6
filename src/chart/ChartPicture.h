#pragma once

#include "Canvas.h"
#include "Spectrum.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QSize>

class QPainter;

// The chart window's client size.
inline constexpr QSize ChartWindowSize(520, 519);

// What the chart is drawn in besides its fixed colours.
struct ChartLook
{
    QFont font; // every text of the scale
    QColor background; // behind the chart, and the cell under each text
    QColor text; // the glyphs of the texts
};

// The chart window's font: "MS Sans Serif", bold, 11 pixels high.
QFont ChartFont();

// The look of the chart window under the application's palette: its font, the button-highlight
// colour behind and the window-text colour. Needs a QGuiApplication.
ChartLook ApplicationChartLook();

// A drawing surface in the chart's font and colours, as the window paints through it.
class ChartCanvas : public Canvas
{
public:
    ChartCanvas(QPainter &painter, int width, int height, const ChartLook &look);
};

// The chart window's drawing of a spectrum, or of the scale alone without one, background and
// all, on a painter whose client area has the given size.
void PaintSpectrumChart(
    QPainter &painter, QSize size, const ChartLook &look, const Spectrum *spectrum);

// The same drawing as an image of that size.
QImage RenderSpectrumChart(QSize size, const ChartLook &look, const Spectrum *spectrum);
