#pragma once

#include "CounterRecord.h"
#include "FormBase.h"

class QLabel;
class QLineEdit;

// The recorder's two clocks from the working copy: active work time in hours, battery time
// left in whole days.
class TimersWindow : public FormBase
{
    Q_OBJECT
public:
    explicit TimersWindow(QWidget *parent = nullptr);

    // What the buttons do, also for a caller that drives the window without clicks.
    // "&Time": reads the working copy and shows its two clocks.
    void showTimes();
    void closeWindow();

private:
    // The label texts, set once when the window is made.
    void setLabelTexts();

    QLabel *m_workTimeLabel;
    QLineEdit *m_workTimeEdit;
    QLabel *m_hoursLabel;
    QLabel *m_batteryLabel;
    QLineEdit *m_daysLeftEdit;
    QLabel *m_daysLabel;

    // The record last read and what was shown from it; kept until the next Time.
    RecordValues m_values {};
    double m_activeWorkTime = 0;
    int m_daysLeft = 0;
};
