#pragma once

#include <QColor>
#include <QPoint>
#include <QRect>
#include <QString>

class QPainter;

// A drawing surface with the classic pen, brush and current-position model and its pixel rules,
// drawn through a QPainter that the caller lends. Every shape is rasterised here, pixel by
// pixel, so a window, an image and a printer page get the same pixels:
// - LineTo draws from the current position up to, not including, the end point, and moves the
//   current position there;
// - Ellipse and Rectangle take a bounding box whose right and bottom edges lie outside the
//   shape; the one-pixel outline is in the pen colour, the inside in the brush colour; the
//   current position does not move;
// - TextOut puts the text's top-left corner at the point, on a cell filled with the brush colour.
// Nothing is drawn outside the client area.
class TCanvas
{
public:
    // Draws in the painter's current font, without antialiasing, clipped to the client area.
    // The painter's state is restored when the canvas goes.
    TCanvas(QPainter &painter, int clientWidth, int clientHeight);
    ~TCanvas();
    TCanvas(const TCanvas &) = delete;
    TCanvas &operator=(const TCanvas &) = delete;

    // Colours are 0x00BBGGRR: 0 black, 255 red, 65280 green.
    static QColor ToQColor(int colour);
    static int FromQColor(const QColor &colour);

    int PenColor() const { return m_penColor; }
    void SetPenColor(int colour);
    int BrushColor() const { return m_brushColor; }
    void SetBrushColor(int colour);
    // The colour of the glyphs that TextOut writes.
    int FontColor() const { return m_fontColor; }
    void SetFontColor(int colour);

    QPoint PenPos() const { return m_position; }
    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    void Ellipse(int x1, int y1, int x2, int y2);
    void Rectangle(int x1, int y1, int x2, int y2);
    void TextOut(int x, int y, const QString &text);

    int ClientWidth() const { return m_clip.width(); }
    int ClientHeight() const { return m_clip.height(); }

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
    int m_penColor = 0;
    int m_brushColor = 0xFFFFFF;
    int m_fontColor = 0;
    QColor m_pen;
    QColor m_brush;
    QPoint m_position;
};
