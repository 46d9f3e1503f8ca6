#pragma once

#include <QMessageBox>
#include <QString>

// A modal box with one OK button, owned by no window. An empty caption leaves the
// platform's default title.
void ShowMessage(const QString &text, const QString &caption = QString(),
    QMessageBox::Icon icon = QMessageBox::NoIcon);

// The application's standard error box: stop icon, OK, the application title as caption.
void ShowErrorBox(const QString &message);

// The error text as the error box shows it: a full stop is appended when the last
// character sorts after ".".
QString ErrorBoxText(const QString &message);

// "Mistake", the caption of every file and record failure box.
inline const QString MistakeCaption = QStringLiteral("Mistake");
