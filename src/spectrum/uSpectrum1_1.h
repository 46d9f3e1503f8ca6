#pragma once

#include "app/CopyProgressDialog.h"
#include "app/FormBase.h"

#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

// The load spectrum table of the working copy.
class TForm3 : public TFormBase
{
    Q_OBJECT
public:
    explicit TForm3(QWidget *parent = nullptr);

    // Asks the user for a data file; returns an empty name when cancelled. Tests replace the
    // dialog with a chooser of their own.
    using FileChooser = std::function<QString(QWidget *parent)>;
    void setFileChooser(FileChooser chooser) { m_chooseFile = std::move(chooser); }
    // How Open File shows the progress of its copy; tests hand in their own.
    void setProgressFactory(ProgressFactory factory) { m_makeProgress = std::move(factory); }

    QString Cells(int column, int row) const;

    QPushButton *Button3;
    QLineEdit *Edit2;
    QPushButton *Button2;
    QPushButton *Button4;
    QLabel *Label1;
    QTableWidget *StringGrid1;
    QLabel *Label2;
    QLabel *Label9;
    QLabel *Label3;
    QLabel *Label4;
    QLabel *Label5;
    QLabel *Label6;
    QLabel *Label10;
    QLabel *Label7;
    QLabel *Label8;
    QLabel *Label11;
    QLineEdit *Edit1;
    QPushButton *Button1;

public slots:
    void FormCreate();
    void OpenFileClick();
    void SpectrumClick();
    void GraphicSpectrumClick();
    void CloseClick();

private:
    void setCell(int column, int row, const QString &text);

    FileChooser m_chooseFile;
    ProgressFactory m_makeProgress = ShowProgressOfCopy;
};

extern TForm3 *Form3;
