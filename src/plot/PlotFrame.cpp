#include "PlotFrame.h"

#include <algorithm>
#include <cmath>

namespace {
// A sweep that would draw more lines than this is given up: no surface is that many pixels wide.
constexpr int MaxSweepLines = 100000;
// Device coordinates and half sizes are held within this bound, so that adding a half size to a
// coordinate cannot overflow; it is far beyond any surface.
constexpr int DeviceLimit = 1 << 29;

int truncateToInt(double value)
{
    if (std::isnan(value))
        return 0;
    if (value <= -DeviceLimit)
        return -DeviceLimit;
    if (value >= DeviceLimit)
        return DeviceLimit;
    return static_cast<int>(value); // truncates toward zero
}

int half(int size)
{
    return std::clamp(size / 2, -DeviceLimit, DeviceLimit); // truncates toward zero
}

double quotient(double numerator, double denominator)
{
    return denominator == 0 ? 0 : numerator / denominator;
}
} // namespace

PlotFrame::PlotFrame(int left, int top, int width, int height, double centerX, double centerY,
    double worldWidth, double worldHeight, TCanvas &canvas)
    : Canvas(canvas)
{
    SetMapping(left, top, width, height, centerX, centerY, worldWidth, worldHeight);
    CenterX = centerX;
    CenterY = centerY;
    WorldWidth = worldWidth;
    WorldHeight = worldHeight;
}

void PlotFrame::SetMapping(int left, int top, int width, int height, double centerX, double centerY,
    double worldWidth, double worldHeight)
{
    // A zero size gives zero scales instead of a division by zero; drawable() then refuses.
    ScaleX = quotient(width, worldWidth);
    OffsetX = left - (centerX - worldWidth / 2) * ScaleX;
    ScaleY = -quotient(height, worldHeight);
    OffsetY = top - (centerY + worldHeight / 2) * ScaleY;
    InvScaleX = quotient(worldWidth, width);
    InvOffsetX = (centerX - worldWidth / 2) - left * InvScaleX;
    InvScaleY = -quotient(worldHeight, height);
    InvOffsetY = (centerY + worldHeight / 2) - top * InvScaleY;
}

int PlotFrame::ToDeviceX(double x) const
{
    return truncateToInt(ScaleX * x + OffsetX);
}

int PlotFrame::ToDeviceY(double y) const
{
    return truncateToInt(ScaleY * y + OffsetY);
}

bool PlotFrame::drawable() const
{
    for (const double value : {ScaleX, OffsetX, ScaleY, OffsetY, InvScaleX, InvScaleY}) {
        if (!std::isfinite(value))
            return false;
    }
    return ScaleX != 0 && ScaleY != 0 && InvScaleX != 0 && InvScaleY != 0;
}

// Visits start, start - step, ... while not below low, then start, start + step, ... while not
// above high: the start twice, and each value reached by repeated subtraction or addition.
template<class Draw>
void PlotFrame::sweep(double start, double low, double high, double step, Draw draw)
{
    if (!(step > 0))
        return;
    int lines = 0;
    for (double v = start; v >= low && lines < MaxSweepLines; ++lines) {
        draw(v);
        const double next = v - step;
        if (next == v)
            break;
        v = next;
    }
    lines = 0;
    for (double v = start; v <= high && lines < MaxSweepLines; ++lines) {
        draw(v);
        const double next = v + step;
        if (next == v)
            break;
        v = next;
    }
}

void PlotFrame::DrawGridLines(double startX, double startY, double minX, double maxX, double minY,
    double maxY, double stepX, double stepY, int colour)
{
    if (!drawable())
        return;
    const int savedPen = Canvas.PenColor();
    Canvas.SetPenColor(colour);
    const int x1 = ToDeviceX(minX), x2 = ToDeviceX(maxX);
    const int y1 = ToDeviceY(minY), y2 = ToDeviceY(maxY);
    sweep(startX, minX, maxX, stepX, [&](double v) {
        Canvas.MoveTo(ToDeviceX(v), y1);
        Canvas.LineTo(ToDeviceX(v), y2);
    });
    sweep(startY, minY, maxY, stepY, [&](double v) {
        Canvas.MoveTo(x1, ToDeviceY(v));
        Canvas.LineTo(x2, ToDeviceY(v));
    });
    Canvas.SetPenColor(savedPen);
}

void PlotFrame::DrawAxes(double originX, double originY, double minX, double maxX, double minY,
    double maxY, double stepX, double stepY, int tickLength, int colour)
{
    if (!drawable())
        return;
    const int h = half(tickLength);
    const int savedPen = Canvas.PenColor();
    Canvas.SetPenColor(colour);
    const int ax = ToDeviceX(originX), ay = ToDeviceY(originY);
    const int x1 = ToDeviceX(minX), x2 = ToDeviceX(maxX);
    const int y1 = ToDeviceY(minY), y2 = ToDeviceY(maxY);

    Canvas.MoveTo(x1, ay);
    Canvas.LineTo(x2, ay);
    sweep(originX, minX, maxX, stepX, [&](double v) {
        Canvas.MoveTo(ToDeviceX(v), ay - h);
        Canvas.LineTo(ToDeviceX(v), ay + h);
    });

    Canvas.MoveTo(ax, y1);
    Canvas.LineTo(ax, y2);
    sweep(originY, minY, maxY, stepY, [&](double v) {
        Canvas.MoveTo(ax - h, ToDeviceY(v));
        Canvas.LineTo(ax + h, ToDeviceY(v));
    });
    Canvas.SetPenColor(savedPen);
}

void PlotFrame::DrawLabel(double x, double y, QString text)
{
    if (!drawable())
        return;
    Canvas.TextOut(ToDeviceX(x), ToDeviceY(y), text);
}

void PlotFrame::DrawMarker(double x, double y, int size, std::uint8_t shape, int colour)
{
    if (!drawable())
        return;
    const int px = ToDeviceX(x), py = ToDeviceY(y);
    const int h = half(size);
    const int savedPen = Canvas.PenColor();
    const int savedBrush = Canvas.BrushColor();
    Canvas.SetPenColor(colour);
    Canvas.SetBrushColor(colour);
    switch (shape) {
    case 0:
        Canvas.Ellipse(px - h, py - h, px + h, py + h);
        break;
    case 1:
        Canvas.Rectangle(px - h, py - h, px + h, py + h);
        break;
    case 2:
        Canvas.MoveTo(px - h, py);
        Canvas.LineTo(px + h, py);
        Canvas.MoveTo(px, py - h);
        Canvas.LineTo(px, py + h);
        break;
    default:
        break;
    }
    Canvas.SetPenColor(savedPen);
    Canvas.SetBrushColor(savedBrush);
}
