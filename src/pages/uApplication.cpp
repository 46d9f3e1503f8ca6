#include "uApplication.h"

#include <QPushButton>

TForm9 *Form9 = nullptr;

TForm9::TForm9(QWidget *parent)
    : TFormBase(Frame::Sizeable, parent)
{
    setWindowTitle(QStringLiteral("   Application"));
    setOuterSize(544, 375);
    Button1 = addButton(QStringLiteral("&Close"), 440, 304);
    connect(Button1, &QPushButton::clicked, this, &TForm9::CloseClick);
}

void TForm9::CloseClick()
{
    close();
}
