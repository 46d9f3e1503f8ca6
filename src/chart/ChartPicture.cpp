#include "ChartPicture.h"

#include "LayoutFont.h"
#include "SpectrumChart.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPalette>

namespace {
QPainter &withFont(QPainter &painter, const QFont &font)
{
    painter.setFont(font);
    return painter;
}
} // namespace

QFont ChartFont()
{
    return LayoutFont(11, true);
}

ChartLook ApplicationChartLook()
{
    const QPalette palette = QGuiApplication::palette();
    return {ChartFont(), palette.color(QPalette::Light), palette.color(QPalette::WindowText)};
}

ChartCanvas::ChartCanvas(QPainter &painter, int width, int height, const ChartLook &look)
    : Canvas(withFont(painter, look.font), width, height)
{
    setBrushColor(look.background);
    setFontColor(look.text);
}

void PaintSpectrumChart(
    QPainter &painter, QSize size, const ChartLook &look, const Spectrum *spectrum)
{
    painter.fillRect(QRect(QPoint(0, 0), size), look.background);
    ChartCanvas canvas(painter, size.width(), size.height(), look);
    DrawSpectrumChart(canvas, spectrum);
}

QImage RenderSpectrumChart(QSize size, const ChartLook &look, const Spectrum *spectrum)
{
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    PaintSpectrumChart(painter, size, look, spectrum);
    painter.end();
    return image;
}
