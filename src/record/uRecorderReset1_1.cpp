#include "uRecorderReset1_1.h"

#include <QPushButton>

TForm5 *Form5 = nullptr;

PortDevices DefaultPortDevices()
{
#ifdef Q_OS_WIN
    return {{QStringLiteral("COM1"), QStringLiteral("COM1")},
        {QStringLiteral("COM2"), QStringLiteral("COM2")}};
#else
    return {{QStringLiteral("COM1"), QStringLiteral("/dev/ttyS0")},
        {QStringLiteral("COM2"), QStringLiteral("/dev/ttyS1")}};
#endif
}

TForm5::TForm5(const PortDevices &ports, QWidget *parent)
    : TFormBase(Frame::Sizeable, parent)
{
    Q_UNUSED(ports);
    setWindowTitle(QStringLiteral("    RECORDER RESET"));
    setOuterSize(324, 243);
    Button1 = addButton(QStringLiteral("&Close"), 224, 168);
    connect(Button1, &QPushButton::clicked, this, &TForm5::CloseClick);
}

void TForm5::CloseClick()
{
    close();
}
