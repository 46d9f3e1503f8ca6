// Renders every window of the program, headless, into PNG files: the main window, the
// spectrum table and the chart with the demonstration record, and all the others; then
// zemra-fleet's windows over a made-up register (FleetShots.h) into the folder fleet/.
// Usage: screenshots <output folder>
#include "AboutBox.h"
#include "ChartWindow.h"
#include "CounterRecord.h"
#include "DataCopyWindow.h"
#include "FleetShots.h"
#include "MainWindow.h"
#include "RecorderResetWindow.h"
#include "SpectrumWindow.h"
#include "TechInfoWindow.h"
#include "TimersWindow.h"
#include "WindowOwner.h"
#include "ZemraApplication.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPixmap>
#include <QTemporaryDir>

#include <cstdio>

int main(int argc, char **argv)
{
    ZemraApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: screenshots <output folder>\n");
        return 2;
    }
    const QString output = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    QDir().mkpath(output);
    QTemporaryDir work;
    QDir::setCurrent(work.path());

    WindowOwner windows;
    // The demonstration record as the user would produce it: data copy, then Open File.
    windows.dataCopyWindow()
        .findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))
        ->setText(QStringLiteral("flight.dat"));
    windows.dataCopyWindow().openDataFile();
    windows.dataCopyWindow().copyData();
    windows.spectrumWindow().setFileChooser([](QWidget *) { return QStringLiteral("flight.dat"); });
    windows.spectrumWindow().openFile();
    windows.spectrumWindow()
        .findChild<QLineEdit *>(QStringLiteral("pathEdit"))
        ->setText(QStringLiteral("/home/engineer/flights/flight.dat"));
    windows.spectrumWindow().showSpectrum();
    windows.timersWindow().showTimes();

    const QList<QPair<QWidget *, QString>> shots = {
        {&windows.mainWindow(), "main"},
        {&windows.dataCopyWindow(), "datacopy"},
        {&windows.spectrumWindow(), "spectrum"},
        {&windows.chartWindow(), "chart"},
        {&windows.recorderResetWindow(), "recorderreset"},
        {&windows.timersWindow(), "timers"},
        {&windows.aboutBox(), "about"},
        {&windows.techInfoWindow(), "techinfo"},
        {&windows.infoPage(InfoPage::Application), "application"},
        {&windows.infoPage(InfoPage::GeneralView), "generalview"},
        {&windows.infoPage(InfoPage::Dimension), "dimension"},
        {&windows.infoPage(InfoPage::SignalClassification), "signalclassification"},
        {&windows.infoPage(InfoPage::TechnicalData), "technicaldata"},
        {&windows.infoPage(InfoPage::Contact), "contact"},
    };
    int failures = 0;
    for (const auto &[window, name] : shots) {
        window->show();
        QCoreApplication::processEvents();
        const QString file = output + QLatin1Char('/') + name + QStringLiteral(".png");
        if (!window->grab().save(file)) {
            std::fprintf(stderr, "screenshots: cannot write %s\n", qPrintable(file));
            ++failures;
        }
        window->hide();
    }
    failures += FleetScreenshots(output);
    return failures == 0 ? 0 : 1;
}
