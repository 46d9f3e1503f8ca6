#pragma once

#include <QApplication>

// The executable's file name without folder and extension, first letter upper case and the
// rest lower case: "zemra" gives "Zemra".
QString ApplicationTitleFor(const QString &executablePath);

// The title set at start-up (the caption of the standard error box).
QString ApplicationTitle();

// The one place where an error escaping an event handler becomes the standard error box;
// the event loop then goes on.
class ZemraApplication : public QApplication
{
    Q_OBJECT
public:
    ZemraApplication(int &argc, char **argv);

    bool notify(QObject *receiver, QEvent *event) override;
};
