#include "uDataCopy1_1.h"

#include "CounterRecord.h"
#include "app/MessageBox.h"
#include "app/TerminationSignals.h"

#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <fcntl.h>

TForm2 *Form2 = nullptr;

namespace {
const QString ReadOutDate = QStringLiteral("2002-10-30 08:37:38");

// Takes the record just appended back out, so that a failed copy leaves no trace; says what
// became of the file. Only a file that still has the length the append left is cut back (or
// removed, when the append created it): one that changed meanwhile is someone else's now.
QString takeBackAppend(const AppendResult &appended)
{
    RegularFile file;
    bool changed = false;
    bool restored = false;
    if (file.open(IntermediateFileName, O_WRONLY)) {
        changed = file.size() != appended.sizeAfter;
        if (!changed && appended.created) {
            file.close();
            restored = QFile::remove(IntermediateFileName);
        } else if (!changed) {
            restored = file.resize(appended.sizeBefore);
        }
    }
    if (restored)
        return QStringLiteral("\"%1\" was left as it was.").arg(IntermediateFileName);
    if (changed)
        return QStringLiteral("\"%1\" was changed meanwhile by another program and was left as "
                              "it is.")
            .arg(IntermediateFileName);
    return QStringLiteral("\"%1\" still holds the record just appended.").arg(IntermediateFileName);
}
} // namespace

TForm2::TForm2(QWidget *parent)
    : TFormBase(Frame::Sizeable, parent)
{
    setWindowTitle(QStringLiteral("     DATA COPY"));
    setOuterSize(700, 375);

    const QFont bold = MsSansSerif(11, true);
    const QFont large = MsSansSerif(13, true);

    Button2 = addButton(QStringLiteral("&OpenCom"), 16, 32);
    Edit1 = addEdit(136, 32, 49, 21, true, false, font());
    Label4 = addLabel(QStringLiteral("Enter File Name:"), 16, 80, bold);
    Edit2 = addEdit(136, 72, 145, 24, false, false, large);
    Label1 = addLabel(QStringLiteral("File Name:  ?.dat"), 152, 96, large, Colours::Red);
    Button5 = addButton(QStringLiteral("&FileOpen"), 16, 128);
    Edit5 = addEdit(136, 128, 145, 24, true, true, large);
    Button3 = addButton(QStringLiteral("&DataCopy"), 16, 168);
    Label2 = addLabel(QStringLiteral("DATA"), 16, 208, large);
    Edit3 = addEdit(64, 208, 625, 21, true, false, font());
    Label3 = addLabel(QStringLiteral("DATE"), 16, 240, large);
    Edit4 = addEdit(64, 240, 113, 21, true, false, font());
    Button4 = addButton(QStringLiteral("CloseCo&m"), 16, 280);
    Button1 = addButton(QStringLiteral("&Close"), 552, 296);

    setTabOrder(Button2, Button5);
    setTabOrder(Button5, Button3);
    setTabOrder(Button3, Button4);
    setTabOrder(Button4, Button1);
    setTabOrder(Button1, Edit5);
    Button2->setFocus();

    // Enter in the name field presses no button.
    Edit2->installEventFilter(this);

    connect(Button2, &QPushButton::clicked, this, &TForm2::OpenComClick);
    connect(Button5, &QPushButton::clicked, this, &TForm2::FileOpenClick);
    connect(Button3, &QPushButton::clicked, this, &TForm2::DataCopyClick);
    connect(Button4, &QPushButton::clicked, this, &TForm2::CloseComClick);
    connect(Button1, &QPushButton::clicked, this, &TForm2::CloseClick);
}

bool TForm2::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Edit2 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            return true;
    }
    return TFormBase::eventFilter(watched, event);
}

void TForm2::OpenComClick()
{
    // The demonstration edition reads nothing from the recorder: no port is opened.
    Edit1->setText(QStringLiteral("COM1"));
}

void TForm2::CloseComClick()
{
    Edit1->setText(QStringLiteral(" "));
}

void TForm2::CloseClick()
{
    Edit1->setText(QStringLiteral(" "));
    close();
}

void TForm2::closeDataFile()
{
    m_dataFile.close(); // releases the lock too
}

void TForm2::FileOpenClick()
{
    const QString name = Edit2->text();
    setTextFromStart(Edit5, name);
    // An earlier data file that no DataCopy filled is let go, not left locked for the run.
    closeDataFile();

    const QString reason = m_dataFile.open(name);
    if (!reason.isEmpty()) {
        closeDataFile();
        ShowMessage(QStringLiteral("Cannot create \"%1\": %2").arg(name, reason), MistakeCaption);
    }
}

void TForm2::DataCopyClick()
{
    if (!m_dataFile.isOpen()) {
        ShowMessage(QStringLiteral("Please open file first"), MistakeCaption);
        return;
    }
    // A data file deleted or replaced since FileOpen would take the copy where no one sees it.
    const QString gone = m_dataFile.whatBecameOfIt();
    if (!gone.isEmpty()) {
        const QString name = m_dataFile.fileName();
        closeDataFile();
        ShowMessage(QStringLiteral("Cannot write \"%1\": %2.\nPress FileOpen to create it again.")
                        .arg(name, gone),
            MistakeCaption);
        return;
    }

    const AppendResult appended = AppendCounterRecord(IntermediateFileName, DemonstrationRecord);
    if (!appended.ok) {
        ShowMessage(appended.error, MistakeCaption);
        return;
    }

    CopyResult copied;
    {
        // The progress dialog of a long copy is gone before any box shows.
        const CopyProgress progress = m_makeProgress(this,
            QStringLiteral("Copying \"%1\" into \"%2\" ...")
                .arg(IntermediateFileName, m_dataFile.fileName()));
        copied = m_dataFile.copyFrom(IntermediateFileName, appended.sizeAfter, progress);
    }
    if (!copied.ok()) {
        // The read-out that did not reach the data file leaves the intermediate file again,
        // so every data file holds the read-outs of the copies that succeeded. The data file
        // stays open, as FileOpen left it, for another try.
        const QString note = takeBackAppend(appended);
        if (!TerminationRequested())
            ShowMessage(copied.error + QLatin1Char('\n') + note, MistakeCaption);
        return;
    }
    closeDataFile();

    setTextFromStart(Edit3, RecordText(DemonstrationRecord));
    setTextFromStart(Edit4, ReadOutDate);
}
