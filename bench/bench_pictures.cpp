#include "Bench.h"
#include "pages/Picture.h"

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
} // namespace

// The four pictures as the windows load them (decoded at their box by the decoder's own
// scaling), against decoding each whole and shrinking it afterwards.
ZEMRA_BENCHMARK(pictureDecode)
{
    qint64 sink = 0;
    const bench::Stats scaled = bench::Measure(
        [&] {
            for (const Shown &picture : Pictures)
                sink += DecodePicture(picture.fileName, picture.box).sizeInBytes();
        },
        40, 5);
    const bench::Stats whole = bench::Measure(
        [&] {
            for (const Shown &picture : Pictures) {
                QImageReader reader(picture.fileName, "jpeg");
                const QImage full = reader.read();
                sink += full.scaled(picture.box, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                            .sizeInBytes();
            }
        },
        40, 5);
    const double ratio = whole.median / scaled.median;
    bench::Report(QStringLiteral("Four pictures, scaled decode"), bench::Describe(scaled),
        QStringLiteral("faster than whole decode + shrink"), scaled.median < whole.median);
    bench::Report(QStringLiteral("Four pictures, whole decode + shrink"),
        QStringLiteral("%1; scaled decode is %2x faster")
            .arg(bench::Describe(whole))
            .arg(ratio, 0, 'f', 2),
        QStringLiteral("at least 1.5x slower than scaled"), ratio >= 1.5);
    if (sink == 0)
        std::puts("");
}
