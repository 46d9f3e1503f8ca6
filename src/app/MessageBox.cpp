#include "MessageBox.h"

#include "ZemraApplication.h"

void ShowMessage(const QString &text, const QString &caption, QMessageBox::Icon icon)
{
    QMessageBox box(icon, caption, text, QMessageBox::Ok);
    box.exec();
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
