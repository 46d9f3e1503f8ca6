#pragma once

#include <QMessageBox>
#include <QString>

#include <exception>

// A modal box with one OK button, owned by no window. An empty caption leaves the
// platform's default title.
void ShowMessage(const QString &text, const QString &caption = QString(),
    QMessageBox::Icon icon = QMessageBox::NoIcon);

// The application title: the caption of the standard error box. Set once at start-up.
void SetApplicationTitle(const QString &title);
QString ApplicationTitle();

// The application's standard error box: stop icon, OK, the application title as caption.
void ShowErrorBox(const QString &message);

// The error text as the error box shows it: a full stop is appended when the last
// character sorts after ".".
QString ErrorBoxText(const QString &message);

// "Mistake", the caption of every file and record failure box.
inline const QString MistakeCaption = QStringLiteral("Mistake");

// Runs an event handler so that nothing it throws unwinds into Qt's event dispatch: anything
// unexpected is shown in the standard error box and the event loop goes on.
template<class Handler> void RunGuarded(Handler &&handler) noexcept
{
    try {
        handler();
    } catch (const std::exception &error) {
        ShowErrorBox(QString::fromUtf8(error.what()));
    } catch (...) {
        ShowErrorBox(QStringLiteral("Unknown error"));
    }
}
