#pragma once

#include "FormBase.h"

#include <QFile>

class QLabel;
class QLineEdit;
class QPushButton;

// Writes the demonstration read-out into a data file of the user's naming, by way of the
// intermediate file that collects every read-out of the run.
class DataCopyWindow : public FormBase
{
    Q_OBJECT
public:
    explicit DataCopyWindow(QWidget *parent = nullptr);

    // True while a FileOpen has created a data file that no DataCopy has written yet.
    bool hasDataFile() const { return m_dataFile.isOpen(); }

    // What the buttons do, also for a caller that drives the window without clicks.
    void openPort();
    void closePort();
    void closeWindow();
    void openDataFile();
    void copyData();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void closeDataFile();
    // Copies the whole intermediate file into the data file; an empty string on success,
    // otherwise what failed.
    QString copyIntermediateFile();

    QLineEdit *m_portEdit;
    QLineEdit *m_fileNameEdit;
    QLineEdit *m_openedFileEdit;
    QLineEdit *m_recordEdit;
    QLineEdit *m_dateEdit;

    QFile m_dataFile; // open (and locked) from FileOpen until the DataCopy that fills it
};
