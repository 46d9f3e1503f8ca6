// Scales an application icon to the sizes of the hicolor icon theme, for installation.
// Usage: iconsizes <icon.png|icon.svg> <output folder> [name]
// writes <output>/<n>x<n>/apps/<name>.png (name org.example.Zemra unless given). An SVG icon is
// drawn afresh at each size, so that the small sizes stay crisp.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

namespace {
QImage drawn(const QString &source, int size)
{
    if (!source.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive)) {
        const QImage icon(source);
        return icon.isNull()
            ? icon
            : icon.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    QSvgRenderer renderer(source);
    if (!renderer.isValid())
        return {};
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter);
    return image;
}
} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: iconsizes <icon.png|icon.svg> <output folder> [name]\n");
        return 2;
    }
    const QString source = QString::fromLocal8Bit(argv[1]);
    const QString name
        = argc == 4 ? QString::fromLocal8Bit(argv[3]) : QStringLiteral("org.example.Zemra");
    for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
        const QString folder
            = QStringLiteral("%1/%2x%2/apps").arg(QString::fromLocal8Bit(argv[2])).arg(size);
        QDir().mkpath(folder);
        const QImage scaled = drawn(source, size);
        if (scaled.isNull()) {
            std::fprintf(stderr, "iconsizes: cannot read %s\n", argv[1]);
            return 1;
        }
        if (!scaled.save(QStringLiteral("%1/%2.png").arg(folder, name))) {
            std::fprintf(stderr, "iconsizes: cannot write into %s\n", qPrintable(folder));
            return 1;
        }
    }
    return 0;
}
