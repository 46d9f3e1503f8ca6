#pragma once

#include "Canvas.h"

#include <QImage>

#include <set>
#include <utility>

// Pixel sets of an image drawn through the real surface, for exact comparisons.
using Points = std::set<std::pair<int, int>>;

inline bool is(const QImage &image, int x, int y, const QColor &colour)
{
    return image.pixel(x, y) == colour.rgb();
}

inline Points pixelsOf(const QImage &image, const QColor &colour)
{
    Points points;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (is(image, x, y, colour))
                points.insert({x, y});
        }
    }
    return points;
}
