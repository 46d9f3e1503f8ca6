#include "DataCopyWindow.h"

#include "CounterRecord.h"
#include "MessageBox.h"

#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

#if defined(Q_OS_UNIX)
#include <cerrno>
#include <sys/file.h>
#endif

namespace {
const QString ReadOutDate = QStringLiteral("2002-10-30 08:37:38");

// Keeps other programs from writing the data file while it is ours. An empty result when the
// file is ours alone or the file system cannot lock; otherwise why the file cannot be had.
QString lockAgainstOtherWriters(QFile &file)
{
#if defined(Q_OS_UNIX)
    if (::flock(file.handle(), LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK)
        return QStringLiteral("the file is in use by another program");
#else
    Q_UNUSED(file);
#endif
    return {};
}

QString cannotRead(const QString &reason)
{
    return QStringLiteral("Cannot read \"%1\": %2").arg(IntermediateFileName, reason);
}

// Takes the record just appended back out, so that a failed copy leaves no trace.
bool restoreIntermediateFile(bool existed, qint64 size)
{
    return existed ? QFile::resize(IntermediateFileName, size)
                   : QFile::remove(IntermediateFileName);
}
} // namespace

DataCopyWindow::DataCopyWindow(QWidget *parent)
    : FormBase(Frame::Sizeable, parent)
{
    setWindowTitle(QStringLiteral("     DATA COPY"));
    setOuterSize(700, 375);

    const QFont bold = layoutFont(11, true);
    const QFont large = layoutFont(13, true);

    auto *openComButton = addButton("openComButton", QStringLiteral("&OpenCom"), 16, 32);
    m_portEdit = addEdit("portEdit", 136, 32, 49, 21, true, false, font());
    addLabel("fileNameLabel", QStringLiteral("Enter File Name:"), 16, 80, bold);
    m_fileNameEdit = addEdit("fileNameEdit", 136, 72, 145, 24, false, false, large);
    addLabel(
        "fileNameHintLabel", QStringLiteral("File Name:  ?.dat"), 152, 96, large, Colours::Red);
    auto *fileOpenButton = addButton("fileOpenButton", QStringLiteral("&FileOpen"), 16, 128);
    m_openedFileEdit = addEdit("openedFileEdit", 136, 128, 145, 24, true, true, large);
    auto *dataCopyButton = addButton("dataCopyButton", QStringLiteral("&DataCopy"), 16, 168);
    addLabel("recordLabel", QStringLiteral("DATA"), 16, 208, large);
    m_recordEdit = addEdit("recordEdit", 64, 208, 625, 21, true, false, font());
    addLabel("dateLabel", QStringLiteral("DATE"), 16, 240, large);
    m_dateEdit = addEdit("dateEdit", 64, 240, 113, 21, true, false, font());
    auto *closeComButton = addButton("closeComButton", QStringLiteral("CloseCo&m"), 16, 280);
    auto *closeButton = addButton("closeButton", QStringLiteral("&Close"), 552, 296);

    setTabOrder(openComButton, fileOpenButton);
    setTabOrder(fileOpenButton, dataCopyButton);
    setTabOrder(dataCopyButton, closeComButton);
    setTabOrder(closeComButton, closeButton);
    setTabOrder(closeButton, m_openedFileEdit);
    openComButton->setFocus();

    // Enter in the name field presses no button.
    m_fileNameEdit->installEventFilter(this);

    onClick(openComButton, &DataCopyWindow::openPort);
    onClick(fileOpenButton, &DataCopyWindow::openDataFile);
    onClick(dataCopyButton, &DataCopyWindow::copyData);
    onClick(closeComButton, &DataCopyWindow::closePort);
    onClick(closeButton, &DataCopyWindow::closeWindow);
}

bool DataCopyWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_fileNameEdit && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            return true;
    }
    return FormBase::eventFilter(watched, event);
}

void DataCopyWindow::openPort()
{
    // The demonstration edition reads nothing from the recorder: no port is opened.
    m_portEdit->setText(QStringLiteral("COM1"));
}

void DataCopyWindow::closePort()
{
    m_portEdit->setText(QStringLiteral(" "));
}

void DataCopyWindow::closeWindow()
{
    m_portEdit->setText(QStringLiteral(" "));
    close();
}

void DataCopyWindow::closeDataFile()
{
    m_dataFile.close(); // releases the lock too
}

void DataCopyWindow::openDataFile()
{
    const QString name = m_fileNameEdit->text();
    setTextFromStart(m_openedFileEdit, name);
    // An earlier data file that no DataCopy filled is let go, not left locked for the run.
    closeDataFile();

    QString reason;
    if (name.isEmpty()) {
        reason = QStringLiteral("no file name was given");
    } else {
        m_dataFile.setFileName(name);
        // Opened without truncation and emptied only once locked: a file that another program
        // holds is refused with its contents intact.
        if (!m_dataFile.open(QIODevice::ReadWrite | QIODevice::Unbuffered))
            reason = m_dataFile.errorString();
        else if ((reason = lockAgainstOtherWriters(m_dataFile)).isEmpty() && m_dataFile.size() > 0
            && !m_dataFile.resize(0))
            reason = m_dataFile.errorString();
    }
    if (!reason.isEmpty()) {
        closeDataFile();
        ShowMessage(QStringLiteral("Cannot create \"%1\": %2").arg(name, reason), MistakeCaption);
    }
}

QString DataCopyWindow::copyIntermediateFile()
{
    QFile source(IntermediateFileName);
    if (!source.open(QIODevice::ReadOnly))
        return cannotRead(source.errorString());
    // What the file holds now goes across, in bounded pieces.
    qint64 left = source.size();
    QByteArray chunk(64 * 1024, Qt::Uninitialized);
    while (left > 0) {
        const qint64 got = source.read(chunk.data(), std::min<qint64>(left, chunk.size()));
        if (got < 0)
            return cannotRead(source.errorString());
        if (got == 0)
            return cannotRead(QStringLiteral("the file ended %1 bytes early").arg(left));
        if (m_dataFile.write(chunk.constData(), got) != got) {
            return QStringLiteral("Cannot write \"%1\": %2")
                .arg(m_dataFile.fileName(), m_dataFile.errorString());
        }
        left -= got;
    }
    return {};
}

void DataCopyWindow::copyData()
{
    if (!m_dataFile.isOpen()) {
        ShowMessage(QStringLiteral("Please open file first"), MistakeCaption);
        return;
    }

    const QFileInfo before(IntermediateFileName);
    const bool existed = before.exists();
    const qint64 sizeBefore = existed ? before.size() : 0;

    const FileResult appended = AppendCounterRecord(IntermediateFileName, DemonstrationRecord);
    if (!appended.ok) {
        ShowMessage(appended.error, MistakeCaption);
        return;
    }

    QString failure;
    const qint64 expected = sizeBefore + RecordFileBytes(DemonstrationRecord).size();
    const qint64 sizeAfter = QFileInfo(IntermediateFileName).size();
    if (sizeAfter < expected) {
        failure = cannotRead(QStringLiteral("it holds %1 bytes where at least %2 were written")
                                 .arg(sizeAfter)
                                 .arg(expected));
    } else {
        failure = copyIntermediateFile();
    }
    if (!failure.isEmpty()) {
        // The read-out that did not reach the data file leaves the intermediate file again,
        // so every data file holds the read-outs of the copies that succeeded. The data file
        // stays open, emptied, for another try.
        m_dataFile.resize(0);
        if (restoreIntermediateFile(existed, sizeBefore))
            failure += QStringLiteral("\n\"%1\" was left as it was.").arg(IntermediateFileName);
        else
            failure += QStringLiteral("\n\"%1\" still holds the record just appended.")
                           .arg(IntermediateFileName);
        ShowMessage(failure, MistakeCaption);
        return;
    }
    closeDataFile();

    setTextFromStart(m_recordEdit, RecordText(DemonstrationRecord));
    setTextFromStart(m_dateEdit, ReadOutDate);
}
