#include "uTechInf.h"

#include <QPushButton>

TForm8 *Form8 = nullptr;

TForm8::TForm8(QWidget *parent)
    : TFormBase(Frame::Sizeable, parent)
{
    setWindowTitle(QStringLiteral("   TECHNICAL INFORMATION"));
    setClientSize(398, 121);
    Button1 = addButton(QStringLiteral("&Close"), 304, 80);
    connect(Button1, &QPushButton::clicked, this, &TForm8::CloseClick);
}

void TForm8::CloseClick()
{
    close();
}
