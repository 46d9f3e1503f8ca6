#pragma once

#include "DataFile.h"
#include "app/CopyProgressDialog.h"
#include "app/FormBase.h"

class QLabel;
class QLineEdit;
class QPushButton;

// Writes the demonstration read-out into a data file of the user's naming, by way of the
// intermediate file that collects every read-out of the run.
class TForm2 : public TFormBase
{
    Q_OBJECT
public:
    explicit TForm2(QWidget *parent = nullptr);

    // True while a FileOpen has created a data file that no DataCopy has written yet.
    bool hasDataFile() const { return m_dataFile.isOpen(); }
    // How a DataCopy shows its progress; tests hand in their own to cancel at a chosen point.
    void setProgressFactory(ProgressFactory factory) { m_makeProgress = std::move(factory); }

    QPushButton *Button2;
    QLineEdit *Edit1;
    QLabel *Label4;
    QLineEdit *Edit2;
    QLabel *Label1;
    QPushButton *Button5;
    QLineEdit *Edit5;
    QPushButton *Button3;
    QLabel *Label2;
    QLineEdit *Edit3;
    QLabel *Label3;
    QLineEdit *Edit4;
    QPushButton *Button4;
    QPushButton *Button1;

public slots:
    void OpenComClick();
    void CloseComClick();
    void CloseClick();
    void FileOpenClick();
    void DataCopyClick();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void closeDataFile();

    DataFile m_dataFile; // open (and locked) from FileOpen until the DataCopy that fills it
    ProgressFactory m_makeProgress = ShowProgressOfCopy;
};

extern TForm2 *Form2;
