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
    double worldWidth, double worldHeight, Canvas &canvas)
    : canvas(canvas)
    , centerX(centerX)
    , centerY(centerY)
    , worldWidth(worldWidth)
    , worldHeight(worldHeight)
{
    setMapping(left, top, width, height, centerX, centerY, worldWidth, worldHeight);
}

void PlotFrame::setMapping(int left, int top, int width, int height, double centerX, double centerY,
    double worldWidth, double worldHeight)
{
    // A zero size gives zero scales instead of a division by zero; drawable() then refuses.
    scaleX = quotient(width, worldWidth);
    offsetX = left - (centerX - worldWidth / 2) * scaleX;
    scaleY = -quotient(height, worldHeight);
    offsetY = top - (centerY + worldHeight / 2) * scaleY;
    invScaleX = quotient(worldWidth, width);
    invOffsetX = (centerX - worldWidth / 2) - left * invScaleX;
    invScaleY = -quotient(worldHeight, height);
    invOffsetY = (centerY + worldHeight / 2) - top * invScaleY;
}

int PlotFrame::toDeviceX(double x) const
{
    return truncateToInt(scaleX * x + offsetX);
}

int PlotFrame::toDeviceY(double y) const
{
    return truncateToInt(scaleY * y + offsetY);
}

bool PlotFrame::drawable() const
{
    for (const double value : {scaleX, offsetX, scaleY, offsetY, invScaleX, invScaleY}) {
        if (!std::isfinite(value))
            return false;
    }
    return scaleX != 0 && scaleY != 0 && invScaleX != 0 && invScaleY != 0;
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
    return std::clamp(toDeviceX(x), -1, canvas.clientWidth());
}

int PlotFrame::surfaceY(double y) const
{
    return std::clamp(toDeviceY(y), -1, canvas.clientHeight());
}

void PlotFrame::drawGridLines(double startX, double startY, double minX, double maxX, double minY,
    double maxY, double stepX, double stepY, const QColor &colour)
{
    if (!drawable())
        return;
    const QColor savedPen = canvas.penColor();
    canvas.setPenColor(colour);
    const int x1 = toDeviceX(minX), x2 = toDeviceX(maxX);
    const int y1 = toDeviceY(minY), y2 = toDeviceY(maxY);
    sweep(startX, minX, maxX, stepX, &PlotFrame::surfaceX, [&](double v) {
        canvas.moveTo(toDeviceX(v), y1);
        canvas.lineTo(toDeviceX(v), y2);
    });
    sweep(startY, minY, maxY, stepY, &PlotFrame::surfaceY, [&](double v) {
        canvas.moveTo(x1, toDeviceY(v));
        canvas.lineTo(x2, toDeviceY(v));
    });
    canvas.setPenColor(savedPen);
}

void PlotFrame::drawAxes(double originX, double originY, double minX, double maxX, double minY,
    double maxY, double stepX, double stepY, int tickLength, const QColor &colour)
{
    if (!drawable())
        return;
    const int h = half(tickLength);
    const QColor savedPen = canvas.penColor();
    canvas.setPenColor(colour);
    const int ax = toDeviceX(originX), ay = toDeviceY(originY);
    const int x1 = toDeviceX(minX), x2 = toDeviceX(maxX);
    const int y1 = toDeviceY(minY), y2 = toDeviceY(maxY);

    canvas.moveTo(x1, ay);
    canvas.lineTo(x2, ay);
    sweep(originX, minX, maxX, stepX, &PlotFrame::surfaceX, [&](double v) {
        canvas.moveTo(toDeviceX(v), ay - h);
        canvas.lineTo(toDeviceX(v), ay + h);
    });

    canvas.moveTo(ax, y1);
    canvas.lineTo(ax, y2);
    sweep(originY, minY, maxY, stepY, &PlotFrame::surfaceY, [&](double v) {
        canvas.moveTo(ax - h, toDeviceY(v));
        canvas.lineTo(ax + h, toDeviceY(v));
    });
    canvas.setPenColor(savedPen);
}

void PlotFrame::drawLabel(double x, double y, QString text)
{
    if (!drawable())
        return;
    canvas.textOut(toDeviceX(x), toDeviceY(y), text);
}

void PlotFrame::drawMarker(double x, double y, int size, std::uint8_t shape, const QColor &colour)
{
    if (!drawable())
        return;
    const int px = toDeviceX(x), py = toDeviceY(y);
    const int h = half(size);
    const QColor savedPen = canvas.penColor();
    const QColor savedBrush = canvas.brushColor();
    canvas.setPenColor(colour);
    canvas.setBrushColor(colour);
    switch (shape) {
    case 0:
        canvas.ellipse(px - h, py - h, px + h, py + h);
        break;
    case 1:
        canvas.rectangle(px - h, py - h, px + h, py + h);
        break;
    case 2:
        canvas.moveTo(px - h, py);
        canvas.lineTo(px + h, py);
        canvas.moveTo(px, py - h);
        canvas.lineTo(px, py + h);
        break;
    default:
        break;
    }
    canvas.setPenColor(savedPen);
    canvas.setBrushColor(savedBrush);
}
