#include "SpectrumChart.h"

#include "Canvas.h"
#include "PlotFrame.h"

#include <array>

namespace {
constexpr double WorldSize = 20;
constexpr double WorldMin = -10;
constexpr double WorldMax = 10;
constexpr double Step = 1.5; // half a g up, half a decade across
constexpr double OriginX = -9; // log E = -3
constexpr double OriginY = -3; // n = 0
constexpr int TickLength = 5;
const QColor GridColour {0, 255, 0};
const QColor AxisColour {0, 0, 0};
const QColor PointColour {255, 0, 0};
constexpr int PointSize = 5;
constexpr std::uint8_t Circle = 0;
constexpr int FirstPositiveLevel = 6;

struct ScaleText
{
    const char *text;
    double x;
    double y;
};

// Each text sits beside the tick it names; the ticks at n = 0, n = 4.0 and log E = -3 have none.
constexpr std::array<ScaleText, 24> ScaleTexts = {{
    {"log E", 8.0, -2.0},
    {"0.5", -8.5, -1.25},
    {"1.0", -8.5, 0.25},
    {"1.5", -8.5, 1.75},
    {"2.0", -8.5, 3.25},
    {"2.5", -8.5, 4.75},
    {"3.0", -8.5, 6.25},
    {"3.5", -8.5, 7.75},
    {"-0.5", -8.65, -4.25},
    {"-1.0", -8.65, -5.75},
    {"-1.5", -8.65, -7.25},
    {"-2.0", -8.65, -8.75},
    {"-0.5", -1.9, -3.25},
    {"-1", -3.2, -3.25},
    {"-1.5", -4.9, -3.25},
    {"-2", -6.2, -3.25},
    {"-2.5", -7.9, -3.25},
    {"0", -0.1, -3.25},
    {"0.5", 1.3, -3.25},
    {"1", 2.9, -3.25},
    {"1.5", 4.2, -3.25},
    {"2", 5.9, -3.25},
    {"2.5", 7.2, -3.25},
    {"3", 8.9, -3.25},
}};

void drawSeries(PlotFrame &frame, const Spectrum &spectrum, int firstLevel, int endLevel)
{
    bool first = true;
    for (int level = firstLevel; level < endLevel; ++level) {
        const std::optional<double> &logE = spectrum.logarithms[level];
        if (!logE)
            continue;
        const double x = ChartX(*logE);
        const double y = ChartY(level);
        frame.drawMarker(x, y, PointSize, Circle, PointColour);
        // The segment goes over the markers at both its ends.
        if (first)
            frame.canvas.moveTo(frame.toDeviceX(x), frame.toDeviceY(y));
        else
            frame.canvas.lineTo(frame.toDeviceX(x), frame.toDeviceY(y));
        first = false;
    }
}
} // namespace

double ChartX(double logFrequency)
{
    return 3 * logFrequency;
}

double ChartY(int level)
{
    return 3 * LoadLevels[level].n - 3;
}

PlotFrame ChartFrame(Canvas &canvas)
{
    return PlotFrame(
        0, 0, canvas.clientWidth(), canvas.clientHeight(), 0, 0, WorldSize, WorldSize, canvas);
}

void DrawChartScale(PlotFrame &frame)
{
    frame.drawGridLines(OriginX, 0, WorldMin, WorldMax, WorldMin, WorldMax, Step, Step, GridColour);
    frame.drawAxes(OriginX, OriginY, WorldMin, WorldMax, WorldMin, WorldMax, Step, Step, TickLength,
        AxisColour);
    for (const ScaleText &label : ScaleTexts)
        frame.drawLabel(label.x, label.y, QString::fromLatin1(label.text));
}

void DrawChartSeries(PlotFrame &frame, const Spectrum &spectrum)
{
    drawSeries(frame, spectrum, FirstPositiveLevel, LevelCount);
    drawSeries(frame, spectrum, 0, FirstPositiveLevel);
}

void DrawSpectrumChart(Canvas &canvas, const Spectrum *spectrum)
{
    PlotFrame frame = ChartFrame(canvas);
    DrawChartScale(frame);
    if (spectrum)
        DrawChartSeries(frame, *spectrum);
}
