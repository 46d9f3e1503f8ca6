#pragma once

#include "Canvas.h"

#include <QString>

#include <cstdint>

// A window of world coordinates (centre and size, y growing upwards) laid over a rectangle of a
// drawing surface, and the chart elements drawn through that mapping. Built for one paint on the
// caller's stack; the surface is lent, and every pen and brush colour is left as it was found.
//
// A zero device or world size leaves a frame that draws nothing, and a step that is not greater
// than zero draws no lines in its direction. Any positive step, however fine, draws up to its
// bound: a line on the device position of the line before it is skipped.
class PlotFrame
{
public:
    PlotFrame(int left, int top, int width, int height, double centerX, double centerY,
        double worldWidth, double worldHeight, Canvas &canvas);

    void setMapping(int left, int top, int width, int height, double centerX, double centerY,
        double worldWidth, double worldHeight);

    // World to device, truncated toward zero (259.5 gives 259, -0.5 gives 0); results are held
    // within +-2^29, far beyond any surface.
    int toDeviceX(double x) const;
    int toDeviceY(double y) const;

    // Full-length lines through (startX, startY), every step apart, within the range.
    void drawGridLines(double startX, double startY, double minX, double maxX, double minY,
        double maxY, double stepX, double stepY, const QColor &colour);
    // Two axes through the origin, across the range, with ticks every step from the origin.
    void drawAxes(double originX, double originY, double minX, double maxX, double minY,
        double maxY, double stepX, double stepY, int tickLength, const QColor &colour);
    // The text with its top-left corner at the world point, in the surface's font and colours.
    void drawLabel(double x, double y, QString text);
    // Shape 0 filled circle, 1 filled square, 2 upright cross; any other code draws nothing.
    void drawMarker(double x, double y, int size, std::uint8_t shape, const QColor &colour);

    double scaleX = 0;
    double offsetX = 0;
    double scaleY = 0;
    double offsetY = 0;
    double invScaleX = 0;
    double invOffsetX = 0;
    double invScaleY = 0;
    double invOffsetY = 0;
    Canvas &canvas;
    double centerX = 0;
    double centerY = 0;
    double worldWidth = 0;
    double worldHeight = 0;

private:
    bool drawable() const;
    // Device position on the surface, everything beyond an edge held at one past it.
    int surfaceX(double x) const;
    int surfaceY(double y) const;
    template<class Draw>
    void sweep(double start, double low, double high, double step,
        int (PlotFrame::*position)(double) const, Draw draw) const;
};
