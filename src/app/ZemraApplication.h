#pragma once

#include <QApplication>

// The executable's file name without folder and extension, first letter upper case and the
// rest lower case: "zemra" gives "Zemra".
QString ApplicationTitleFor(const QString &executablePath);

// The application object: title, icon, the decimal separator of the user's settings, and
// windows that end only when the program says so.
class ZemraApplication : public QApplication
{
    Q_OBJECT
public:
    ZemraApplication(int &argc, char **argv);
};
