#include "ZemraApplication.h"

#include "FormatReal.h"
#include "MessageBox.h"

#include <QFileInfo>
#include <QIcon>
#include <QImageReader>
#include <QLocale>

QString ApplicationTitleFor(const QString &executablePath)
{
    const QString base = QFileInfo(executablePath).completeBaseName();
    if (base.isEmpty())
        return base;
    return base.left(1).toUpper() + base.mid(1).toLower();
}

namespace {
// Read as PNG by name: a reader left to guess the format would load and ask every image plugin
// installed (TIFF, WebP, ...) first: several milliseconds at every start.
QIcon ProgramIcon()
{
    QImageReader reader(QStringLiteral(":/MAINICON.png"), "png");
    reader.setAutoDetectImageFormat(false);
    return QIcon(QPixmap::fromImage(reader.read()));
}
} // namespace

ZemraApplication::ZemraApplication(int &argc, char **argv)
    : QApplication(argc, argv)
{
    SetApplicationTitle(ApplicationTitleFor(applicationFilePath()));
    setWindowIcon(ProgramIcon());
    // Every window is ended explicitly (main window's Close or its frame), never implicitly.
    setQuitOnLastWindowClosed(false);
    SetDecimalSeparator(QLocale::system().decimalPoint());
}
