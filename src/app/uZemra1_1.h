#pragma once

#include "FormBase.h"

class QFrame;
class QLabel;
class QPushButton;

// The title screen with the six function buttons.
class TForm1 : public TFormBase
{
    Q_OBJECT
public:
    explicit TForm1(QWidget *parent = nullptr);

    QFrame *Panel1;
    QPushButton *Button1;
    QPushButton *Button2;
    QLabel *Label1;
    QLabel *Label2;
    QPushButton *Button3;
    QPushButton *Button5;
    QPushButton *Button6;
    QPushButton *Button7;
    QPushButton *Button8;
    QLabel *Label3;
    QLabel *Label4;
    QLabel *Label5;

public slots:
    void CloseClick();
    void DataCopyClick();
    void SpectrumClick();
    void CounterResetClick();
    void TimersClock();
    void AboutClick();
    void ContactClick();

protected:
    // Closing the main window through its frame ends the program and keeps the working files.
    void closeEvent(QCloseEvent *event) override;
};

extern TForm1 *Form1;

// The rights notice shown on the main window.
inline const QString RightsNoticeLine1 = QStringLiteral("(C) 2002 Imaginary Instruments Ltd.");
inline const QString RightsNoticeLine2 = QStringLiteral("All rights reserved.");
