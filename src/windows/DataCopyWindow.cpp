#include "DataCopyWindow.h"

#include "CounterRecord.h"
#include "MessageBox.h"
#include "TerminationSignals.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {
const QString ReadOutDate = QStringLiteral("2002-10-30 08:37:38");

} // namespace

DataCopyWindow::DataCopyWindow(QWidget *parent)
    : FormBase(Frame::Sizeable, parent)
{
    setObjectName(QStringLiteral("dataCopyWindow"));
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

    onClick(openComButton, &DataCopyWindow::openPort);
    onClick(fileOpenButton, &DataCopyWindow::openDataFile);
    onClick(dataCopyButton, &DataCopyWindow::copyData);
    onClick(closeComButton, &DataCopyWindow::closePort);
    onClick(closeButton, &DataCopyWindow::closeWindow);
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

void DataCopyWindow::openDataFile()
{
    const QString name = m_fileNameEdit->text();
    setTextFromStart(m_openedFileEdit, name);
    const Result opened = m_dataCopy.openDataFile(name);
    if (!opened.ok())
        ShowMessage(opened.message(), MistakeCaption);
}

void DataCopyWindow::copyData()
{
    Result copied;
    {
        // The progress dialog of a long copy is gone before any box shows.
        const CopyProgress progress = m_makeProgress(this,
            QStringLiteral("Copying \"%1\" into \"%2\" ...")
                .arg(IntermediateFileName, m_dataCopy.dataFileName()));
        copied = m_dataCopy.copy(DemonstrationRecord, progress);
    }
    if (!copied.ok()) {
        // The program is ending: nothing to tell.
        if (!TerminationRequested())
            ShowMessage(copied.message(), MistakeCaption);
        return;
    }
    setTextFromStart(m_recordEdit, RecordText(DemonstrationRecord));
    setTextFromStart(m_dateEdit, ReadOutDate);
}
