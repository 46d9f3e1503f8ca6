#include "ChartFile.h"

#include <QFileInfo>
#include <QImageWriter>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSvgGenerator>

namespace {
Result failed(const QString &fileName, const QString &reason)
{
    return {Result::Failed, QStringLiteral("Cannot write \"%1\": %2").arg(fileName, reason)};
}

// Paints the chart on a vector device; false when the device would not start.
bool paintOn(QPaintDevice &device, QSize size, const ChartLook &look, const Spectrum &spectrum)
{
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    PaintSpectrumChart(painter, size, look, &spectrum);
    return painter.end();
}
} // namespace

ChartFormat ChartFormatOf(const QString &fileName)
{
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix == QLatin1String("png"))
        return ChartFormat::Png;
    if (suffix == QLatin1String("pdf"))
        return ChartFormat::Pdf;
    if (suffix == QLatin1String("svg"))
        return ChartFormat::Svg;
    return ChartFormat::Unknown;
}

Result WriteChartFile(
    const QString &fileName, QSize size, const ChartLook &look, const Spectrum &spectrum)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return failed(fileName, file.errorString());

    bool drawn = false;
    switch (ChartFormatOf(fileName)) {
    case ChartFormat::Png: {
        QImageWriter writer(&file, "png");
        drawn = writer.write(RenderSpectrumChart(size, look, &spectrum));
        if (!drawn && file.error() == QFileDevice::NoError) {
            file.cancelWriting();
            return failed(fileName, writer.errorString());
        }
        break;
    }
    case ChartFormat::Pdf: {
        QPdfWriter writer(&file);
        writer.setCreator(QStringLiteral("zemra-cli"));
        writer.setTitle(QStringLiteral("Graphic spectrum"));
        // One pixel of the window to the point: the page is exactly the chart's size.
        writer.setResolution(72);
        writer.setPageLayout(QPageLayout(QPageSize(size, QPageSize::Point), QPageLayout::Portrait,
            QMarginsF(0, 0, 0, 0), QPageLayout::Point));
        drawn = paintOn(writer, size, look, spectrum);
        break;
    }
    case ChartFormat::Svg: {
        QSvgGenerator generator;
        generator.setOutputDevice(&file);
        generator.setSize(size);
        generator.setViewBox(QRect(QPoint(0, 0), size));
        generator.setResolution(96);
        generator.setTitle(QStringLiteral("Graphic spectrum"));
        drawn = paintOn(generator, size, look, spectrum);
        break;
    }
    case ChartFormat::Unknown:
        file.cancelWriting();
        return failed(fileName, QStringLiteral("the extension is not .png, .pdf or .svg"));
    }
    if (!drawn || file.error() != QFileDevice::NoError) {
        const QString reason = file.error() != QFileDevice::NoError
            ? file.errorString()
            : QStringLiteral("the drawing could not be written");
        file.cancelWriting();
        return failed(fileName, reason);
    }
    if (!file.commit())
        return failed(fileName, file.errorString());
    return {};
}
