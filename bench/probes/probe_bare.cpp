// The yardstick: a bare Qt dialog with one button, built by the same toolchain as the program.
#include "Probe.h"

#include <QApplication>
#include <QDialog>
#include <QPushButton>

int main(int argc, char **argv)
{
    StartProbeClock();
    QApplication app(argc, argv);
    QDialog dialog;
    dialog.setWindowTitle(QStringLiteral("Bare dialog"));
    auto *button = new QPushButton(QStringLiteral("&Close"), &dialog);
    button->move(20, 20);
    QObject::connect(button, &QPushButton::clicked, &app, &QApplication::quit);
    EndAfterFirstPaint(&dialog, argc, argv);
    dialog.show();
    return app.exec();
}
