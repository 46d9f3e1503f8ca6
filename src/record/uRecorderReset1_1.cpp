#include "uRecorderReset1_1.h"

#include "app/MessageBox.h"

#include <QLabel>
#include <QPushButton>

TForm5 *Form5 = nullptr;

TForm5::TForm5(const PortDevices &ports, QWidget *parent)
    : TFormBase(Frame::Sizeable, parent)
    , m_reset(ports)
{
    setWindowTitle(QStringLiteral("    RECORDER RESET"));
    setOuterSize(324, 243);

    const QFont buttonFont = MsSansSerif(16, true);

    Label1 = addLabel(QStringLiteral("Are you sure to reset the recorder ?"), 8, 32,
        MsSansSerif(16, true, true), Colours::Red);
    Label1->resize(306, 20);
    Button2 = addButton(QStringLiteral("Yes"), 56, 88);
    Button2->setFont(buttonFont);
    Button3 = addButton(QStringLiteral("No"), 184, 88);
    Button3->setFont(buttonFont);
    Button1 = addButton(QStringLiteral("&Close"), 224, 168);

    setTabOrder(Button2, Button3);
    setTabOrder(Button3, Button1);

    connect(Button2, &QPushButton::clicked, this, &TForm5::YesClick);
    connect(Button3, &QPushButton::clicked, this, &TForm5::NoClick);
    connect(Button1, &QPushButton::clicked, this, &TForm5::CloseClick);
}

void TForm5::YesClick()
{
    const ResetResult result = m_reset.run();
    for (const ResetMessage message : result.messages)
        ShowMessage(ResetMessageText(message), ResetMessageCaption);
}

void TForm5::NoClick()
{
    close();
}

void TForm5::CloseClick()
{
    close();
}
