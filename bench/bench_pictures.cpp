#include "Bench.h"
#include "PictureBox.h"

#include <QFileInfo>
#include <QImage>
#include <QImageReader>

#include <cstdio>

namespace {
struct Shown
{
    QString fileName;
    QSize box;
};

const Shown Pictures[] = {
    {LogoPicture, {65, 57}},
    {GeneralViewPicture, {500, 400}},
    {DimensionPicture, {650, 400}},
    {SignalClassificationPicture, {300, 200}},
};

// As the windows load a picture: decoded at its box, the decoder's DCT scaling doing most of
// the shrinking.
qint64 scaledDecode(const Shown &picture)
{
    return DecodePicture(picture.fileName, picture.box).sizeInBytes();
}

// The plain way: decode the whole picture, then shrink it to the box.
qint64 wholeDecode(const Shown &picture)
{
    QImageReader reader(picture.fileName, "jpeg");
    return reader.read()
        .scaled(picture.box, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
        .sizeInBytes();
}
} // namespace

// The four pictures loaded as the windows load them, against whole decode and shrink, in the
// same run; one line per picture and one for all four.
ZEMRA_BENCHMARK(pictureDecode)
{
    qint64 sink = 0;
    for (const Shown &picture : Pictures) {
        const bench::Stats scaled = bench::Measure([&] { sink += scaledDecode(picture); }, 30, 3);
        const bench::Stats whole = bench::Measure([&] { sink += wholeDecode(picture); }, 30, 3);
        std::printf("  %-26s scaled %s, whole + shrink %s, ratio %.2f\n",
            qPrintable(QFileInfo(picture.fileName).fileName()),
            qPrintable(bench::FormatDuration(scaled.median)),
            qPrintable(bench::FormatDuration(whole.median)), whole.median / scaled.median);
    }

    const bench::Stats scaled = bench::Measure(
        [&] {
            for (const Shown &picture : Pictures)
                sink += scaledDecode(picture);
        },
        40, 5);
    const bench::Stats whole = bench::Measure(
        [&] {
            for (const Shown &picture : Pictures)
                sink += wholeDecode(picture);
        },
        40, 5);
    const double ratio = whole.median / scaled.median;
    bench::Report(QStringLiteral("Four pictures, scaled decode"), bench::Describe(scaled),
        QStringLiteral("reported with the next line"), true);
    bench::Report(QStringLiteral("Four pictures, whole decode + shrink"),
        QStringLiteral("%1; ratio %2").arg(bench::Describe(whole)).arg(ratio, 0, 'f', 2),
        QStringLiteral("scaled decode at least 1.2x faster"), ratio >= 1.2);
    if (sink == 0)
        std::puts("");
}
