#include "Forms.h"

#include "FolderLock.h"
#include "MessageBox.h"
#include "TerminationSignals.h"
#include "ZemraApplication.h"
#include "pages/uAbout1_1.h"
#include "pages/uApplication.h"
#include "pages/uContact.h"
#include "pages/uDimension.h"
#include "pages/uGeneralView.h"
#include "pages/uSignalClas.h"
#include "pages/uTechData.h"
#include "pages/uTechInf.h"
#include "plot/uGraphicSpectrum1_1.h"
#include "record/uDataCopy1_1.h"
#include "spectrum/uSpectrum1_1.h"
#include "spectrum/uTimers1_1.h"
#include "uZemra1_1.h"

#include <QDir>

#include <exception>

void CreateForms(const StartupOptions &options)
{
    Form1 = new TForm1;
    Form2 = new TForm2;
    Form3 = new TForm3;
    Form4 = new TForm4;
    Form5 = new TForm5(options.ports);
    Form6 = new TForm6;
    AboutBox = new TAboutBox;
    Form8 = new TForm8;
    Form9 = new TForm9;
    Form10 = new TForm10;
    Form11 = new TForm11;
    Form12 = new TForm12;
    Form13 = new TForm13;
    Form7 = new TForm7;
}

namespace {
template<class T> void destroy(T *&form)
{
    delete form;
    form = nullptr;
}
} // namespace

void DestroyForms()
{
    destroy(Form7);
    destroy(Form13);
    destroy(Form12);
    destroy(Form11);
    destroy(Form10);
    destroy(Form9);
    destroy(Form8);
    destroy(AboutBox);
    destroy(Form6);
    destroy(Form5);
    destroy(Form4);
    destroy(Form3);
    destroy(Form2);
    destroy(Form1);
}

int RunApplication(ZemraApplication &app, const StartupOptions &options)
{
    // Taken before any window exists and kept for the run.
    const FolderLock folder;
    if (folder.heldByAnotherCopy()) {
        ShowMessage(QStringLiteral("Another copy of the program is working in this folder:\n%1\n"
                                   "Only one copy at a time can use a folder's working files; "
                                   "this copy ends.")
                        .arg(QDir::toNativeSeparators(folder.path())),
            ApplicationTitle());
        return FolderInUseExitCode;
    }
    // SIGTERM and SIGHUP end the program as closing the main window's frame does: the working
    // files stay.
    const TerminationSignals termination([] {
        if (Form1)
            Form1->close();
        else
            QCoreApplication::quit();
    });
    try {
        CreateForms(options);
        Form1->show();
        app.exec();
    } catch (const std::exception &error) {
        ShowErrorBox(QString::fromUtf8(error.what()));
    }
    DestroyForms();
    return 0;
}
