#pragma once

#include "CopyProgressDialog.h"
#include "FormBase.h"

#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

// The load spectrum table of the working copy.
class SpectrumWindow : public FormBase
{
    Q_OBJECT
public:
    explicit SpectrumWindow(QWidget *parent = nullptr);

    // Asks the user for a data file; returns an empty name when cancelled. Tests replace the
    // dialog with a chooser of their own.
    using FileChooser = std::function<QString(QWidget *parent)>;
    void setFileChooser(FileChooser chooser) { m_chooseFile = std::move(chooser); }
    // How Open File shows the progress of its copy; tests hand in their own.
    void setProgressFactory(ProgressFactory factory) { m_makeProgress = std::move(factory); }

    // The text of a grid cell: row 0 the levels, 1 Nc, 2 E, 3 log E.
    QString cell(int column, int row) const;

    // What the buttons do, also for a caller that drives the window without clicks.
    void openFile();
    void showSpectrum();
    void closeWindow();

signals:
    void graphicSpectrumRequested();

private:
    // The level texts of the header row.
    void fillHeaderRow();
    void setCell(int column, int row, const QString &text);

    FileChooser m_chooseFile;
    ProgressFactory m_makeProgress = ShowProgressOfCopy;
    QLineEdit *m_pathEdit;
    QTableWidget *m_grid;
    QLineEdit *m_workTimeEdit;
};
