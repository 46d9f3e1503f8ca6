#include "uContact.h"

#include <QPushButton>

TForm7 *Form7 = nullptr;

TForm7::TForm7(QWidget *parent)
    : TFormBase(Frame::Sizeable, parent)
{
    setWindowTitle(QStringLiteral("   CONTACT"));
    setOuterSize(559, 330);
    Button1 = addButton(QStringLiteral("&Close"), 456, 256);
    connect(Button1, &QPushButton::clicked, this, &TForm7::CloseClick);
}

void TForm7::CloseClick()
{
    close();
}
