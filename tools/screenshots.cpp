// Renders every window of the program, headless, into PNG files: the main window, the
// spectrum table and the chart with the demonstration record, and all the others.
// Usage: screenshots <output folder>
#include "app/Forms.h"
#include "app/ZemraApplication.h"
#include "app/uZemra1_1.h"
#include "pages/uAbout1_1.h"
#include "pages/uApplication.h"
#include "pages/uContact.h"
#include "pages/uDimension.h"
#include "pages/uGeneralView.h"
#include "pages/uSignalClas.h"
#include "pages/uTechData.h"
#include "pages/uTechInf.h"
#include "plot/uGraphicSpectrum1_1.h"
#include "record/CounterRecord.h"
#include "record/uDataCopy1_1.h"
#include "record/uRecorderReset1_1.h"
#include "spectrum/uSpectrum1_1.h"
#include "spectrum/uTimers1_1.h"

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

    CreateForms();
    // The demonstration record as the user would produce it: data copy, then Open File.
    Form2->Edit2->setText(QStringLiteral("flight.dat"));
    Form2->FileOpenClick();
    Form2->DataCopyClick();
    Form3->setFileChooser([](QWidget *) { return QStringLiteral("flight.dat"); });
    Form3->OpenFileClick();
    Form3->Edit2->setText(QStringLiteral("/home/engineer/flights/flight.dat"));
    Form3->SpectrumClick();
    Form6->TimeClick();

    const QList<QPair<QWidget *, QString>> windows = {
        {Form1, "main"},
        {Form2, "datacopy"},
        {Form3, "spectrum"},
        {Form4, "chart"},
        {Form5, "recorderreset"},
        {Form6, "timers"},
        {AboutBox, "about"},
        {Form8, "techinfo"},
        {Form9, "application"},
        {Form10, "generalview"},
        {Form11, "dimension"},
        {Form12, "signalclassification"},
        {Form13, "technicaldata"},
        {Form7, "contact"},
    };
    int failures = 0;
    for (const auto &[window, name] : windows) {
        window->show();
        QCoreApplication::processEvents();
        const QString file = output + QLatin1Char('/') + name + QStringLiteral(".png");
        if (!window->grab().save(file)) {
            std::fprintf(stderr, "screenshots: cannot write %s\n", qPrintable(file));
            ++failures;
        }
        window->hide();
    }
    DestroyForms();
    return failures == 0 ? 0 : 1;
}
