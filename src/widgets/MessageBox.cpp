#include "MessageBox.h"

namespace {
// Kept apart from Qt's display name, which the window system would append to every caption.
QString g_title;
} // namespace

void ShowMessage(const QString &text, const QString &caption, QMessageBox::Icon icon)
{
    QMessageBox box(icon, caption, text, QMessageBox::Ok);
    box.exec();
}

void SetApplicationTitle(const QString &title)
{
    g_title = title;
}

QString ApplicationTitle()
{
    return g_title;
}

QString ErrorBoxText(const QString &message)
{
    if (!message.isEmpty() && message.back() > QLatin1Char('.'))
        return message + QLatin1Char('.');
    return message;
}

void ShowErrorBox(const QString &message)
{
    ShowMessage(ErrorBoxText(message), ApplicationTitle(), QMessageBox::Critical);
}
