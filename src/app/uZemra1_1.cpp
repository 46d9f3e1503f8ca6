#include "uZemra1_1.h"

#include "pages/uAbout1_1.h"
#include "pages/uContact.h"
#include "record/CounterRecord.h"
#include "record/uDataCopy1_1.h"
#include "record/uRecorderReset1_1.h"
#include "spectrum/uSpectrum1_1.h"
#include "spectrum/uTimers1_1.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QPushButton>

TForm1 *Form1 = nullptr;

namespace {
// Deleting a directory entry ignores the file's own write permission on Linux; a working file
// whose owner may not write it is read-only and stays, as a read-only file would elsewhere.
void deleteUnlessReadOnly(const QString &name)
{
    const QFileInfo file(name);
    if (file.exists() && !file.permissions().testFlag(QFileDevice::WriteOwner))
        return;
    QFile::remove(name);
}
} // namespace

TForm1::TForm1(QWidget *parent)
    : TFormBase(Frame::Sizeable, parent)
{
    setWindowTitle(QStringLiteral("    ZEMRA  DEMO1"));
    setOuterSize(601, 375);

    Panel1 = new QFrame(this);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setLineWidth(1);
    Panel1->setGeometry(24, 8, 545, 41);
    Button2 = addButton(QStringLiteral("&DataCopy"), 8, 8, 65, 25, Panel1);
    Button3 = addButton(QStringLiteral("&Spectrum"), 96, 8, 65, 25, Panel1);
    Button5 = addButton(QStringLiteral("Counter&Reset"), 184, 8, 81, 25, Panel1);
    Button6 = addButton(QStringLiteral("&Timers"), 288, 8, 65, 25, Panel1);
    Button7 = addButton(QStringLiteral("&About"), 376, 8, 65, 25, Panel1);
    Button8 = addButton(QStringLiteral("C&ontact"), 464, 8, 75, 25, Panel1);

    Label1
        = addLabel(QStringLiteral("ZEMRA"), 240, 112, MsSansSerif(32, true, true), Colours::Green);
    Label2 = addLabel(QStringLiteral("AUTONOMOUS FATIGUE LOADS RECORDER"), 24, 176,
        MsSansSerif(23, true), Colours::Green);
    Label3 = addLabel(
        QStringLiteral("V. DEMO"), 248, 232, MsSansSerif(19, false, true), Colours::Green);
    Label4 = addLabel(RightsNoticeLine1, 200, 280, font());
    Label5 = addLabel(RightsNoticeLine2, 248, 304, font());
    Button1 = addButton(QStringLiteral("&Close"), 496, 304);

    setTabOrder(Button2, Button3);
    setTabOrder(Button3, Button5);
    setTabOrder(Button5, Button6);
    setTabOrder(Button6, Button7);
    setTabOrder(Button7, Button8);
    setTabOrder(Button8, Button1);
    Button2->setFocus();

    connect(Button1, &QPushButton::clicked, this, &TForm1::CloseClick);
    connect(Button2, &QPushButton::clicked, this, &TForm1::DataCopyClick);
    connect(Button3, &QPushButton::clicked, this, &TForm1::SpectrumClick);
    connect(Button5, &QPushButton::clicked, this, &TForm1::CounterResetClick);
    connect(Button6, &QPushButton::clicked, this, &TForm1::TimersClock);
    connect(Button7, &QPushButton::clicked, this, &TForm1::AboutClick);
    connect(Button8, &QPushButton::clicked, this, &TForm1::ContactClick);
}

void TForm1::CloseClick()
{
    // Failures to delete are ignored: a read-only or missing file simply stays as it is.
    deleteUnlessReadOnly(WorkingCopyName);
    deleteUnlessReadOnly(IntermediateFileName);
    QCoreApplication::quit();
}

void TForm1::DataCopyClick()
{
    Form2->ShowModal();
}

void TForm1::SpectrumClick()
{
    Form3->ShowModal();
}

void TForm1::CounterResetClick()
{
    Form5->ShowModal();
}

void TForm1::TimersClock()
{
    Form6->ShowModal();
}

void TForm1::AboutClick()
{
    // A visible About box is neither re-opened nor brought to the front.
    if (!AboutBox->isVisible())
        AboutBox->show();
}

void TForm1::ContactClick()
{
    Form7->ShowModal();
}

void TForm1::closeEvent(QCloseEvent *event)
{
    TFormBase::closeEvent(event);
    if (event->isAccepted())
        QCoreApplication::quit();
}
