#include "TimersWindow.h"

#include "FormatReal.h"
#include "WorkingCopyReader.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {
void setLabelText(QLabel *label, const QString &text)
{
    label->setText(text);
    label->adjustSize();
}
} // namespace

TimersWindow::TimersWindow(QWidget *parent)
    : FormBase(Frame::Sizeable, parent)
{
    setObjectName(QStringLiteral("timersWindow"));
    setWindowTitle(QStringLiteral("   TIMERS"));
    setOuterSize(424, 277);

    const QFont italic = layoutFont(16, false, true);
    const QFont plain = layoutFont(16);
    const QFont bold = layoutFont(16, true);

    auto *timeButton = addButton("timeButton", QStringLiteral("&Time"), 32, 24);
    m_workTimeLabel
        = addLabel("workTimeLabel", QStringLiteral("Label1"), 40, 72, italic, Colours::Blue);
    m_workTimeEdit = addEdit("workTimeEdit", 256, 64, 65, 28, true, false, bold);
    m_hoursLabel = addLabel("hoursLabel", QStringLiteral("Label2"), 336, 72, plain, Colours::Blue);
    m_batteryLabel
        = addLabel("batteryLabel", QStringLiteral("Label3"), 40, 112, italic, Colours::Blue);
    m_daysLeftEdit = addEdit("daysLeftEdit", 280, 112, 41, 28, true, false, bold);
    m_daysLabel = addLabel("daysLabel", QStringLiteral("Label4"), 336, 120, plain, Colours::Blue);
    auto *closeButton = addButton("closeButton", QStringLiteral("&Close"), 312, 200);

    setTabOrder(timeButton, closeButton);
    timeButton->setFocus();

    onClick(timeButton, &TimersWindow::showTimes);
    onClick(closeButton, &TimersWindow::closeWindow);

    setLabelTexts();
}

void TimersWindow::setLabelTexts()
{
    setLabelText(m_workTimeLabel, QStringLiteral("Active Work Time:"));
    setLabelText(m_hoursLabel, QStringLiteral("hours"));
    setLabelText(m_batteryLabel, QStringLiteral("Batery Left Time:"));
    setLabelText(m_daysLabel, QStringLiteral("days"));
}

void TimersWindow::showTimes()
{
    const std::optional<RecordValues> values = ReadWorkingCopyOrSayWhy();
    if (!values)
        return;
    m_values = *values;
    // Double precision here, unlike the spectrum table, and no 0.001 h added.
    m_activeWorkTime = ActiveWorkTime(m_values);
    m_daysLeft = BatteryLeftDays(m_values);
    setTextFromStart(m_workTimeEdit, FormatReal(m_activeWorkTime));
    setTextFromStart(m_daysLeftEdit, QString::number(m_daysLeft));
}

void TimersWindow::closeWindow()
{
    close();
}
