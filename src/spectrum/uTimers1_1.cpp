#include "uTimers1_1.h"

#include "FormatReal.h"
#include "WorkingCopy.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TForm6 *Form6 = nullptr;

namespace {
void setLabelText(QLabel *label, const QString &text)
{
    label->setText(text);
    label->adjustSize();
}
} // namespace

TForm6::TForm6(QWidget *parent)
    : TFormBase(Frame::Sizeable, parent)
{
    setWindowTitle(QStringLiteral("   TIMERS"));
    setOuterSize(424, 277);

    const QFont italic = MsSansSerif(16, false, true);
    const QFont plain = MsSansSerif(16);
    const QFont bold = MsSansSerif(16, true);

    Button2 = addButton(QStringLiteral("&Time"), 32, 24);
    Label1 = addLabel(QStringLiteral("Label1"), 40, 72, italic, Colours::Blue);
    Edit1 = addEdit(256, 64, 65, 28, true, false, bold);
    Label2 = addLabel(QStringLiteral("Label2"), 336, 72, plain, Colours::Blue);
    Label3 = addLabel(QStringLiteral("Label3"), 40, 112, italic, Colours::Blue);
    Edit2 = addEdit(280, 112, 41, 28, true, false, bold);
    Label4 = addLabel(QStringLiteral("Label4"), 336, 120, plain, Colours::Blue);
    Button1 = addButton(QStringLiteral("&Close"), 312, 200);

    setTabOrder(Button2, Button1);
    Button2->setFocus();

    connect(Button2, &QPushButton::clicked, this, &TForm6::TimeClick);
    connect(Button1, &QPushButton::clicked, this, &TForm6::CloseClick);

    FormCreate();
}

void TForm6::FormCreate()
{
    setLabelText(Label1, QStringLiteral("Active Work Time:"));
    setLabelText(Label2, QStringLiteral("hours"));
    setLabelText(Label3, QStringLiteral("Batery Left Time:"));
    setLabelText(Label4, QStringLiteral("days"));
}

void TForm6::TimeClick()
{
    const std::optional<RecordValues> values = ReadWorkingCopy();
    if (!values)
        return;
    m_values = *values;
    // Double precision here, unlike the spectrum table, and no 0.001 h added.
    m_activeWorkTime = ActiveWorkTime(m_values);
    m_daysLeft = BatteryLeftDays(m_values);
    setTextFromStart(Edit1, FormatReal(m_activeWorkTime));
    setTextFromStart(Edit2, QString::number(m_daysLeft));
}

void TForm6::CloseClick()
{
    close();
}
