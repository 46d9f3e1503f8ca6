#include "ChartFile.h"

#include "OutputFile.h"

#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

namespace {
Result failed(const QString &fileName, const QString &reason)
{
    return {Result::Failed, QStringLiteral("Cannot write \"%1\": %2").arg(fileName, reason)};
}

// Paints the chart on a vector device; false when the device would not start.
bool paintOn(QPaintDevice &device, QSize size, const ChartDrawing &drawing)
{
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    drawing.paint(painter, size);
    return painter.end();
}
} // namespace

ChartFormat ChartFormatNamed(const QString &name)
{
    return ChartFormatOf(QStringLiteral("chart.") + name);
}

ChartFormat ChartFormatOf(const QString &fileName)
{
    return ValueNamed(ChartFormatNames, QFileInfo(fileName).suffix().toLower())
        .value_or(ChartFormat::Unknown);
}

ChartDrawing SpectrumChartDrawing(const ChartLook &look, const Spectrum &spectrum)
{
    ChartDrawing drawing;
    drawing.title = QStringLiteral("Graphic spectrum");
    drawing.render
        = [look, spectrum](QSize size) { return RenderSpectrumChart(size, look, &spectrum); };
    drawing.paint = [look, spectrum](QPainter &painter, QSize size) {
        PaintSpectrumChart(painter, size, look, &spectrum);
    };
    return drawing;
}

Result WriteChartFile(
    const QString &fileName, ChartFormat format, QSize size, const ChartDrawing &drawing)
{
    const QString shownName = OutputName(fileName);
    return WriteOutputFile(fileName, [&](QIODevice &file) -> Result {
        bool drawn = false;
        switch (format) {
        case ChartFormat::Png: {
            QImageWriter writer(&file, "png");
            drawn = writer.write(drawing.render(size));
            if (!drawn && writer.error() != QImageWriter::DeviceError)
                return failed(shownName, writer.errorString());
            break;
        }
        case ChartFormat::Pdf: {
            QPdfWriter writer(&file);
            writer.setCreator(QStringLiteral("zemra-cli"));
            writer.setTitle(drawing.title);
            // One pixel to the point: the page is exactly the chart's size.
            writer.setResolution(72);
            writer.setPageLayout(QPageLayout(QPageSize(size, QPageSize::Point),
                QPageLayout::Portrait, QMarginsF(0, 0, 0, 0), QPageLayout::Point));
            drawn = paintOn(writer, size, drawing);
            break;
        }
        case ChartFormat::Svg: {
            QSvgGenerator generator;
            generator.setOutputDevice(&file);
            generator.setSize(size);
            generator.setViewBox(QRect(QPoint(0, 0), size));
            generator.setResolution(96);
            generator.setTitle(drawing.title);
            drawn = paintOn(generator, size, drawing);
            break;
        }
        case ChartFormat::Unknown:
            return failed(shownName, QStringLiteral("the extension is not .png, .pdf or .svg"));
        }
        if (!drawn)
            return failed(shownName,
                file.errorString().isEmpty() || file.errorString() == QLatin1String("Unknown error")
                    ? QStringLiteral("the drawing could not be written")
                    : file.errorString());
        return {};
    });
}
