// Scales the application icon to the sizes of the hicolor icon theme, for installation.
// Usage: iconsizes <icon.png> <output folder>; writes <output>/<n>x<n>/apps/org.example.Zemra.png
#include <QDir>
#include <QGuiApplication>
#include <QImage>

#include <cstdio>

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: iconsizes <icon.png> <output folder>\n");
        return 2;
    }
    const QImage icon(QString::fromLocal8Bit(argv[1]));
    if (icon.isNull()) {
        std::fprintf(stderr, "iconsizes: cannot read %s\n", argv[1]);
        return 1;
    }
    for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
        const QString folder
            = QStringLiteral("%1/%2x%2/apps").arg(QString::fromLocal8Bit(argv[2])).arg(size);
        QDir().mkpath(folder);
        const QImage scaled
            = icon.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        if (!scaled.save(folder + QStringLiteral("/org.example.Zemra.png"))) {
            std::fprintf(stderr, "iconsizes: cannot write into %s\n", qPrintable(folder));
            return 1;
        }
    }
    return 0;
}
