#include "PlotFrame.h"

#include <algorithm>
#include <cmath>

namespace {
// In a run of sweep values that land on one device position, this many are still reached by
// repeated addition before the rest of the run is crossed in one jump, so that steps of about a
// pixel keep the positions that repeated addition gives them.
constexpr int AddedInRun = 8;
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

// One direction of a sweep: start, start + delta, ... while `within`, a line drawn at each new
// device position. A value on the position of the line before it adds nothing, and a long run
// of them (a step finer than a pixel, or one lost in rounding) is crossed by a search for the
// first value past it, so the work grows with the positions reached, not with the values.
template<class Within, class Position, class Draw>
void sweepOneWay(double start, double delta, Within within, Position position, Draw draw)
{
    double v = start;
    if (!within(v))
        return;
    int at = position(v);
    draw(v);
    for (;;) {
        double next = v + delta;
        for (int added = 1; added < AddedInRun && next != v && within(next) && position(next) == at;
             ++added) {
            v = next;
            next = v + delta;
        }
        if (!within(next))
            return;
        if (position(next) == at) {
            // The smallest n for which v + n * delta leaves the run: doubling, then halving.
            const auto inRun = [&](double n) {
                const double w = v + n * delta;
                return within(w) && position(w) == at;
            };
            double inside = 1;
            double outside = 2;
            while (inRun(outside)) {
                inside = outside;
                outside *= 2;
                if (!std::isfinite(outside))
                    return; // an endless range: nothing more lands anywhere new
            }
            for (;;) {
                const double middle = std::floor(inside + (outside - inside) / 2);
                if (middle <= inside || middle >= outside)
                    break;
                (inRun(middle) ? inside : outside) = middle;
            }
            next = v + outside * delta;
            if (!within(next))
                return;
        }
        v = next;
        at = position(v);
        draw(v);
    }
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
// above high: the start twice, and each value reached by repeated subtraction or addition. Lines
// are told apart by their device position on the surface; all those beyond one edge count as one.
template<class Draw>
void PlotFrame::sweep(double start, double low, double high, double step,
    int (PlotFrame::*position)(double) const, Draw draw) const
{
    if (!(step > 0))
        return;
    const auto at = [this, position](double v) { return (this->*position)(v); };
    sweepOneWay(
        start, -step, [low](double v) { return v >= low; }, at, draw);
    sweepOneWay(
        start, step, [high](double v) { return v <= high; }, at, draw);
}

int PlotFrame::surfaceX(double x) const
{
    return std::clamp(ToDeviceX(x), -1, Canvas.ClientWidth());
}

int PlotFrame::surfaceY(double y) const
{
    return std::clamp(ToDeviceY(y), -1, Canvas.ClientHeight());
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
    sweep(startX, minX, maxX, stepX, &PlotFrame::surfaceX, [&](double v) {
        Canvas.MoveTo(ToDeviceX(v), y1);
        Canvas.LineTo(ToDeviceX(v), y2);
    });
    sweep(startY, minY, maxY, stepY, &PlotFrame::surfaceY, [&](double v) {
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
    sweep(originX, minX, maxX, stepX, &PlotFrame::surfaceX, [&](double v) {
        Canvas.MoveTo(ToDeviceX(v), ay - h);
        Canvas.LineTo(ToDeviceX(v), ay + h);
    });

    Canvas.MoveTo(ax, y1);
    Canvas.LineTo(ax, y2);
    sweep(originY, minY, maxY, stepY, &PlotFrame::surfaceY, [&](double v) {
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
