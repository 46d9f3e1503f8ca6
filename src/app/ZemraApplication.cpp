#include "ZemraApplication.h"

#include "Errors.h"
#include "MessageBox.h"
#include "spectrum/FormatReal.h"

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

// Kept apart from Qt's display name, which the window system would append to every caption.
QString g_title;
} // namespace

QString ApplicationTitle()
{
    return g_title;
}

ZemraApplication::ZemraApplication(int &argc, char **argv)
    : QApplication(argc, argv)
{
    g_title = ApplicationTitleFor(applicationFilePath());
    setWindowIcon(ProgramIcon());
    // Every window is ended explicitly (main window's Close or its frame), never implicitly.
    setQuitOnLastWindowClosed(false);
    SetDecimalSeparator(QLocale::system().decimalPoint());
}

bool ZemraApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const EAbort &) {
    } catch (const std::exception &error) {
        ShowErrorBox(QString::fromUtf8(error.what()));
    }
    return true;
}
