// The yardstick of the chart file: a bare QGuiApplication that writes a blank PNG of the
// chart's size. Usage: probe_blankpng OUT.png
#include <QGuiApplication>
#include <QImage>

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc < 2)
        return 2;
    QImage image(520, 519, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image.save(QString::fromLocal8Bit(argv[1]), "PNG") ? 0 : 1;
}
