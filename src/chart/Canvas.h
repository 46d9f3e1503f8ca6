#pragma once

#include <QColor>
#include <QPoint>
#include <QRect>
#include <QString>

class QPainter;

// A drawing surface with the classic pen, brush and current-position model and its pixel rules,
// drawn through a QPainter that the caller lends. Every shape is rasterised here, pixel by
// pixel, so a window, an image and a printer page get the same pixels:
// - lineTo draws from the current position up to, not including, the end point, and moves the
//   current position there;
// - ellipse and rectangle take a bounding box whose right and bottom edges lie outside the
//   shape; the one-pixel outline is in the pen colour, the inside in the brush colour; the
//   current position does not move;
// - textOut puts the text's top-left corner at the point, on a cell filled with the brush colour.
// Nothing is drawn outside the client area.
class Canvas
{
public:
    // Draws in the painter's current font, without antialiasing, clipped to the client area.
    // The painter's state is restored when the canvas goes.
    Canvas(QPainter &painter, int clientWidth, int clientHeight);
    ~Canvas();
    Canvas(const Canvas &) = delete;
    Canvas &operator=(const Canvas &) = delete;

    QColor penColor() const { return m_pen; }
    void setPenColor(const QColor &colour) { m_pen = colour; }
    QColor brushColor() const { return m_brush; }
    void setBrushColor(const QColor &colour) { m_brush = colour; }
    // The colour of the glyphs that textOut writes.
    QColor fontColor() const { return m_font; }
    void setFontColor(const QColor &colour) { m_font = colour; }

    QPoint penPos() const { return m_position; }
    void moveTo(int x, int y);
    void lineTo(int x, int y);
    void ellipse(int x1, int y1, int x2, int y2);
    void rectangle(int x1, int y1, int x2, int y2);
    void textOut(int x, int y, const QString &text);

    int clientWidth() const { return m_clip.width(); }
    int clientHeight() const { return m_clip.height(); }

private:
    // One row of a shape: pixels left ... right inclusive; empty when left > right.
    struct Span
    {
        qint64 left = 0;
        qint64 right = -1;
    };
    // Paints rows top ... bottom - 1 of a convex shape given row by row: pixels on its edge in
    // the pen colour, the others in the brush colour.
    template<class SpanOf> void fillShape(qint64 top, qint64 bottom, SpanOf spanOf);
    void fillRun(qint64 left, qint64 top, qint64 width, qint64 height, const QColor &colour);

    QPainter &m_painter;
    QRect m_clip;
    QColor m_pen = Qt::black;
    QColor m_brush = Qt::white;
    QColor m_font = Qt::black;
    QPoint m_position;
};
