#pragma once

#include "app/FormBase.h"
#include "record/CounterRecord.h"

class QLabel;
class QLineEdit;
class QPushButton;

// The recorder's two clocks from the working copy: active work time in hours, battery time
// left in whole days.
class TForm6 : public TFormBase
{
    Q_OBJECT
public:
    explicit TForm6(QWidget *parent = nullptr);

    QPushButton *Button2;
    QLabel *Label1;
    QLineEdit *Edit1;
    QLabel *Label2;
    QLabel *Label3;
    QLineEdit *Edit2;
    QLabel *Label4;
    QPushButton *Button1;

public slots:
    void FormCreate();
    void TimeClick();
    void CloseClick();

private:
    // The record last read and what was shown from it; kept until the next Time.
    RecordValues m_values {};
    double m_activeWorkTime = 0;
    int m_daysLeft = 0;
};

extern TForm6 *Form6;
