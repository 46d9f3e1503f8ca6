#pragma once

#include "CopyProgressDialog.h"
#include "DataCopy.h"
#include "FormBase.h"

class QLineEdit;

// Writes the demonstration read-out into a data file of the user's naming, by way of the
// intermediate file that collects every read-out of the run.
class DataCopyWindow : public FormBase
{
    Q_OBJECT
public:
    explicit DataCopyWindow(QWidget *parent = nullptr);

    // True while a FileOpen has created a data file that no DataCopy has written yet.
    bool hasDataFile() const { return m_dataCopy.hasDataFile(); }
    // How a DataCopy shows its progress; tests hand in their own to cancel at a chosen point.
    void setProgressFactory(ProgressFactory factory) { m_makeProgress = std::move(factory); }

    // What the buttons do, also for a caller that drives the window without clicks.
    void openPort();
    void closePort();
    void closeWindow();
    void openDataFile();
    void copyData();

private:
    QLineEdit *m_portEdit;
    QLineEdit *m_fileNameEdit;
    QLineEdit *m_openedFileEdit;
    QLineEdit *m_recordEdit;
    QLineEdit *m_dateEdit;

    DataCopy m_dataCopy;
    ProgressFactory m_makeProgress = ShowProgressOfCopy;
};
