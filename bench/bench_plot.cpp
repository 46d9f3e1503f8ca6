#include "Bench.h"
#include "Canvas.h"
#include "ChartWindow.h"
#include "CounterRecord.h"
#include "PlotFrame.h"

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

// The grid of the chart swept with a step far finer than a pixel: every column gets its line,
// and the sweep's work is held to the surface's pixels, not to the 200,000 values of the range.
ZEMRA_BENCHMARK(fineGridSweep)
{
    QImage image(520, 519, QImage::Format_RGB32);
    const auto sweep = [&](double step) {
        return bench::Measure(
            [&] {
                image.fill(Qt::white);
                QPainter painter(&image);
                Canvas canvas(painter, image.width(), image.height());
                PlotFrame frame(0, 0, image.width(), image.height(), 0, 0, 20, 20, canvas);
                frame.drawGridLines(-9, -3, -10, 10, -10, 10, step, step, QColor(0, 255, 0));
            },
            50, 5);
    };
    const bench::Stats chart = sweep(1.5);
    const bench::Stats fine = sweep(1e-4);
    const bench::Stats lost = sweep(1e-300);
    bench::Report(QStringLiteral("Grid sweep with step 1e-4 over -10 ... 10, 520 x 519"),
        QStringLiteral("%1; step 1e-300 %2; chart's step 1.5 %3")
            .arg(bench::Describe(fine), bench::Describe(lost), bench::Describe(chart)),
        QStringLiteral("median under 100 ms"), fine.median < 100e6 && lost.median < 100e6);
}
