#include "FleetStyle.h"

#include <QApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QStyleOption>

namespace {
enum class Shape {
    Cross, // clears a field
    ChevronsRight,
    ChevronsLeft,
    ChevronsDown,
};

// An icon drawn from lines at whatever size and scale it is asked for.
class LineIconEngine : public QIconEngine
{
public:
    explicit LineIconEngine(Shape shape)
        : m_shape(shape)
    { }

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State) override
    {
        const QPalette palette = QApplication::palette();
        QColor colour = palette.color(QPalette::Active, QPalette::WindowText);
        colour.setAlphaF(mode == QIcon::Disabled ? 0.35f : 0.75f);
        // A square in the middle of the rectangle, a fifth of it left free on each side.
        const qreal side = qMin(rect.width(), rect.height());
        const QRectF box(
            QRectF(rect).center() - QPointF(side, side) * 0.3, QSizeF(side, side) * 0.6);
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(
            QPen(colour, qMax(1.0, side / 10.0), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter->setBrush(Qt::NoBrush);
        painter->drawPath(path(box));
        painter->restore();
    }

    // Qt's default leaves the pixmap as it was allocated, not transparent.
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        QPixmap drawn(size);
        drawn.fill(Qt::transparent);
        QPainter painter(&drawn);
        paint(&painter, drawn.rect(), mode, state);
        return drawn;
    }

    QIconEngine *clone() const override { return new LineIconEngine(m_shape); }

private:
    QPainterPath path(const QRectF &box) const
    {
        QPainterPath lines;
        const qreal l = box.left(), r = box.right(), t = box.top(), b = box.bottom();
        const QPointF c = box.center();
        switch (m_shape) {
        case Shape::Cross:
            lines.moveTo(l, t);
            lines.lineTo(r, b);
            lines.moveTo(r, t);
            lines.lineTo(l, b);
            break;
        case Shape::ChevronsRight:
        case Shape::ChevronsLeft:
            // Two chevrons, pointing the way the hidden actions lie.
            for (const qreal x : {l, c.x()}) {
                const qreal tip = m_shape == Shape::ChevronsRight ? x + box.width() / 2 : x;
                const qreal tail = m_shape == Shape::ChevronsRight ? x : x + box.width() / 2;
                lines.moveTo(tail, t);
                lines.lineTo(tip, c.y());
                lines.lineTo(tail, b);
            }
            break;
        case Shape::ChevronsDown:
            for (const qreal y : {t, c.y()}) {
                lines.moveTo(l, y);
                lines.lineTo(c.x(), y + box.height() / 2);
                lines.lineTo(r, y);
            }
            break;
        }
        return lines;
    }

    Shape m_shape;
};
} // namespace

FleetStyle::FleetStyle(const QString &baseKey)
    : QProxyStyle(baseKey)
{ }

QIcon FleetStyle::standardIcon(
    StandardPixmap icon, const QStyleOption *option, const QWidget *widget) const
{
    const bool rightToLeft
        = (option ? option->direction : QGuiApplication::layoutDirection()) == Qt::RightToLeft;
    switch (icon) {
    case SP_LineEditClearButton:
        return QIcon(new LineIconEngine(Shape::Cross));
    case SP_ToolBarHorizontalExtensionButton:
        return QIcon(new LineIconEngine(rightToLeft ? Shape::ChevronsLeft : Shape::ChevronsRight));
    case SP_ToolBarVerticalExtensionButton:
        return QIcon(new LineIconEngine(Shape::ChevronsDown));
    default:
        return QProxyStyle::standardIcon(icon, option, widget);
    }
}

void UseFleetStyle()
{
    QApplication::setStyle(new FleetStyle(QApplication::style()->name()));
}
