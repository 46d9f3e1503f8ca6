#include "ExceedanceChart.h"
#include "ExceedanceChartPainter.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <QPolygonF>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

using namespace ExceedanceDrawing;

DecadeRange LogDecades(double minimum, double maximum)
{
    if (!(minimum > 0 && minimum <= maximum && std::isfinite(maximum)))
        return {};
    int first = int(std::floor(std::log10(minimum)));
    if (powerOfTen(first) > minimum)
        --first;
    else if (powerOfTen(first + 1) <= minimum)
        ++first;
    int last = int(std::ceil(std::log10(maximum)));
    if (powerOfTen(last) < maximum)
        ++last;
    else if (powerOfTen(last - 1) >= maximum)
        --last;
    return {first, std::max(last, first + 1)};
}

DecadeLabelText DecadeLabel(int exponent, DecadeRange axis)
{
    if (axis.first >= PlainFirst && axis.last <= PlainLast && exponent >= PlainFirst
        && exponent <= PlainLast)
        return {QString::number(powerOfTen(exponent), 'f', std::max(0, -exponent)), {}};
    return {QStringLiteral("10"), withMinus(QString::number(exponent))};
}

QList<double> NiceTicks(double minimum, double maximum, int intervals)
{
    if (!std::isfinite(minimum) || !std::isfinite(maximum)) {
        minimum = 0;
        maximum = 1;
    }
    if (minimum > maximum)
        std::swap(minimum, maximum);
    if (minimum == maximum) {
        const double pad = std::max(0.5, std::abs(minimum) * 0.05);
        minimum -= pad;
        maximum += pad;
    }
    const double range = maximum - minimum;
    if (!std::isfinite(range))
        return {minimum, maximum};
    const double step = niceAtLeast(range / std::max(intervals, 1));
    // A bound within rounding of a tick is that tick, not one beyond it.
    const double first = std::floor(minimum / step + 1e-9) * step;
    const double last = std::ceil(maximum / step - 1e-9) * step;
    const double count = std::round((last - first) / step);
    if (!(count >= 1 && count <= 1000) || first + step == first)
        return {minimum, maximum};
    QList<double> ticks;
    for (int i = 0; i <= int(count); ++i) {
        const double t = first + i * step;
        ticks << (std::abs(t) < step * 1e-9 ? 0.0 : t);
    }
    return ticks;
}

QString TickLabel(double value, double step)
{
    const bool stepped = step > 0 && std::isfinite(step);
    if (stepped && std::abs(value) < step * 1e-6)
        value = 0; // a zero reached by adding steps: no "-0.0" nor "1e-17"
    if (std::abs(value) >= 1e7 || (value != 0 && std::abs(value) < 1e-6))
        return withMinus(QString::number(value, 'g', 6));
    const int decimals = stepped ? std::clamp(int(std::ceil(-std::log10(step) - 1e-9)), 0, 12) : 0;
    return withMinus(QString::number(value, 'f', decimals));
}

QString ChartFontFamily()
{
    static const QString family = [] {
        const QString liberation = QStringLiteral("Liberation Sans");
        return QFontDatabase::hasFamily(liberation) ? liberation : QStringLiteral("Sans Serif");
    }();
    return family;
}

QColor MeasuredColour(int index)
{
    return MeasuredColours[std::max(index, 0) % MeasuredColours.size()];
}

QColor ReferenceColour(int index)
{
    return ReferenceStyles[std::max(index, 0) % ReferenceStyles.size()].colour;
}

void PaintExceedanceChart(QPainter &painter, const QRectF &area, const ExceedanceChartData &data)
{
    if (!painter.isActive())
        return;
    for (const double v : {area.left(), area.top(), area.width(), area.height()}) {
        if (!std::isfinite(v))
            return;
    }
    if (!(area.width() >= 1 && area.height() >= 1))
        return;
    PaintChartArea(painter, area, [&] { ChartPainter(painter, area, data).paint(); });
}

QImage RenderExceedanceChart(QSize size, const ExceedanceChartData &data)
{
    return RenderChartImage(size, [&data](QPainter &painter, const QRectF &area) {
        PaintExceedanceChart(painter, area, data);
    });
}

void ExceedanceDrawing::PaintChartArea(
    QPainter &painter, const QRectF &area, const std::function<void()> &paint)
{
    painter.save();
    painter.fillRect(area, Qt::white);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setClipRect(area, Qt::IntersectClip);
    paint();
    painter.restore();
}

QImage ExceedanceDrawing::RenderChartImage(
    QSize size, const std::function<void(QPainter &, const QRectF &)> &paint)
{
    if (size.isEmpty())
        return {};
    QImage image(size, QImage::Format_RGB32);
    if (image.isNull())
        return image;
    image.fill(Qt::white);
    QPainter painter(&image);
    paint(painter, QRectF(QPointF(0, 0), size));
    painter.end();
    return image;
}
