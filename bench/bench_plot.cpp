#include "Bench.h"
#include "ChartWindow.h"
#include "CounterRecord.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

// One paint of the graphic spectrum as the window makes it (the working copy read, grid, axes,
// 24 texts, both series) into a 520 x 519 image, against filling the same image alone.
ZEMRA_BENCHMARK(graphicSpectrumPaint)
{
    QTemporaryDir dir;
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    QFile file(WorkingCopyName);
    file.open(QIODevice::WriteOnly);
    file.write(RecordFileBytes(DemonstrationRecord));
    file.close();

    ChartWindow form;
    QImage image(520, 519, QImage::Format_RGB32);
    const QColor background = form.backgroundColour();
    const bench::Stats fill = bench::Measure([&] { image.fill(background); }, 2000, 100);
    const bench::Stats paint = bench::Measure(
        [&] {
            image.fill(background);
            QPainter painter(&image);
            form.paintChart(painter, image.width(), image.height());
        },
        2000, 100);
    QDir::setCurrent(previous);

    bench::Report(QStringLiteral("Graphic spectrum paint 520 x 519"),
        QStringLiteral("%1; fill alone %2").arg(bench::Describe(paint), bench::Describe(fill)),
        QStringLiteral("median under 1 ms"), paint.median < 1e6);
}
