#include "Canvas.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {
// floor((2 * i * delta + steps) / (2 * steps)) for 0 <= i, delta <= steps < 2^33, whose product
// overflows 64 bits: the quotient is estimated in floating point, then corrected by the exact
// remainder, which modulo-2^64 arithmetic gives exactly because it is small.
qint64 roundedQuotient(qint64 i, qint64 delta, qint64 steps)
{
    const qint64 divisor = 2 * steps;
    auto quotient = qint64((2.0L * i * delta + steps) / divisor);
    const auto remainder = [&] {
        return qint64(2 * quint64(i) * quint64(delta) + quint64(steps)
            - quint64(quotient) * quint64(divisor));
    };
    for (qint64 r = remainder(); r < 0 || r >= divisor; r = remainder())
        quotient += r < 0 ? -1 : 1;
    return quotient;
}
} // namespace

Canvas::Canvas(QPainter &painter, int clientWidth, int clientHeight)
    : m_painter(painter)
    , m_clip(0, 0, std::max(clientWidth, 0), std::max(clientHeight, 0))
{
    m_painter.save();
    m_painter.setRenderHint(QPainter::Antialiasing, false);
    m_painter.setRenderHint(QPainter::TextAntialiasing, false);
    m_painter.setClipRect(m_clip, Qt::IntersectClip);
    QFont font = m_painter.font();
    font.setStyleStrategy(QFont::NoAntialias);
    m_painter.setFont(font);
}

Canvas::~Canvas()
{
    m_painter.restore();
}

void Canvas::moveTo(int x, int y)
{
    m_position = QPoint(x, y);
}

void Canvas::lineTo(int x, int y)
{
    const QPoint from = m_position;
    m_position = QPoint(x, y);

    const qint64 dx = qint64(x) - from.x();
    const qint64 dy = qint64(y) - from.y();
    const bool xMajor = std::abs(dx) >= std::abs(dy);
    const qint64 steps = std::max(std::abs(dx), std::abs(dy)); // pixels drawn: the end is not
    if (steps == 0)
        return;
    const qint64 major0 = xMajor ? from.x() : from.y();
    const qint64 minor0 = xMajor ? from.y() : from.x();
    const qint64 majorStep = (xMajor ? dx : dy) > 0 ? 1 : -1;
    const qint64 minorStep = (xMajor ? dy : dx) >= 0 ? 1 : -1;
    const qint64 minorDelta = std::abs(xMajor ? dy : dx);
    const qint64 majorLow = xMajor ? m_clip.left() : m_clip.top();
    const qint64 majorHigh = xMajor ? m_clip.right() : m_clip.bottom();

    // Only the steps whose major coordinate lies in the client area are visited, so a line
    // from far outside costs no more than one across the window.
    qint64 first = majorStep > 0 ? majorLow - major0 : major0 - majorHigh;
    qint64 last = majorStep > 0 ? majorHigh - major0 : major0 - majorLow;
    first = std::max<qint64>(first, 0);
    last = std::min(last, steps - 1);
    if (first > last)
        return;

    // Pixel i of the line: the minor coordinate is the ideal one rounded half away from the
    // start, the same pixels an incremental Bresenham walk gives.
    const auto minorAt
        = [&](qint64 i) { return minor0 + minorStep * roundedQuotient(i, minorDelta, steps); };
    qint64 runStart = first;
    qint64 runMinor = minorAt(first);
    const auto flush = [&](qint64 end) {
        const qint64 length = end - runStart;
        const qint64 low = majorStep > 0 ? major0 + runStart : major0 - (end - 1);
        if (xMajor)
            fillRun(low, runMinor, length, 1, m_pen);
        else
            fillRun(runMinor, low, 1, length, m_pen);
    };
    for (qint64 i = first + 1; i <= last; ++i) {
        const qint64 minor = minorAt(i);
        if (minor != runMinor) {
            flush(i);
            runStart = i;
            runMinor = minor;
        }
    }
    flush(last + 1);
}

void Canvas::ellipse(int x1, int y1, int x2, int y2)
{
    const qint64 left = std::min(x1, x2), right = std::max(x1, x2);
    const qint64 top = std::min(y1, y2), bottom = std::max(y1, y2);
    if (left == right || top == bottom)
        return;
    // Pixel centres inside the ellipse inscribed in the box left ... right - 1, top ... bottom - 1.
    const double centreX = (left + right - 1) / 2.0;
    const double centreY = (top + bottom - 1) / 2.0;
    const double radiusX = (right - left) / 2.0;
    const double radiusY = (bottom - top) / 2.0;
    fillShape(top, bottom, [&](qint64 y) {
        const double v = (y - centreY) / radiusY;
        const double rest = 1 - v * v;
        Span span;
        if (rest < 0)
            return span;
        const double half = radiusX * std::sqrt(rest) + 1e-9;
        span.left = qint64(std::ceil(centreX - half));
        span.right = qint64(std::floor(centreX + half));
        return span;
    });
}

void Canvas::rectangle(int x1, int y1, int x2, int y2)
{
    const qint64 left = std::min(x1, x2), right = std::max(x1, x2);
    const qint64 top = std::min(y1, y2), bottom = std::max(y1, y2);
    if (left == right || top == bottom)
        return;
    fillShape(top, bottom, [&](qint64) { return Span {left, right - 1}; });
}

template<class SpanOf> void Canvas::fillShape(qint64 top, qint64 bottom, SpanOf spanOf)
{
    const auto rowOf = [&](qint64 y) { return y < top || y >= bottom ? Span {} : spanOf(y); };
    const qint64 first = std::max<qint64>(top, m_clip.top());
    const qint64 last = std::min<qint64>(bottom - 1, m_clip.bottom());
    for (qint64 y = first; y <= last; ++y) {
        const Span row = rowOf(y);
        if (row.left > row.right)
            continue;
        if (m_pen == m_brush) {
            fillRun(row.left, y, row.right - row.left + 1, 1, m_pen);
            continue;
        }
        // A pixel lies on the edge when a neighbour on any of its four sides is outside.
        const Span above = rowOf(y - 1);
        const Span below = rowOf(y + 1);
        const qint64 innerLeft = std::max({row.left + 1, above.left, below.left});
        const qint64 innerRight = std::min({row.right - 1, above.right, below.right});
        if (innerLeft > innerRight) {
            fillRun(row.left, y, row.right - row.left + 1, 1, m_pen);
            continue;
        }
        fillRun(row.left, y, innerLeft - row.left, 1, m_pen);
        fillRun(innerLeft, y, innerRight - innerLeft + 1, 1, m_brush);
        fillRun(innerRight + 1, y, row.right - innerRight, 1, m_pen);
    }
}

void Canvas::fillRun(qint64 left, qint64 top, qint64 width, qint64 height, const QColor &colour)
{
    if (width <= 0 || height <= 0)
        return;
    const qint64 x1 = std::max<qint64>(left, m_clip.left());
    const qint64 y1 = std::max<qint64>(top, m_clip.top());
    const qint64 x2 = std::min<qint64>(left + width - 1, m_clip.right());
    const qint64 y2 = std::min<qint64>(top + height - 1, m_clip.bottom());
    if (x1 > x2 || y1 > y2)
        return;
    m_painter.fillRect(QRect(int(x1), int(y1), int(x2 - x1 + 1), int(y2 - y1 + 1)), colour);
}

void Canvas::textOut(int x, int y, const QString &text)
{
    const QFontMetrics metrics = m_painter.fontMetrics();
    fillRun(x, y, metrics.horizontalAdvance(text), metrics.height(), m_brush);
    m_painter.setPen(m_font);
    m_painter.drawText(QPoint(x, y + metrics.ascent()), text);
}
