#include "uDataCopy1_1.h"

#include <QPushButton>

TForm2 *Form2 = nullptr;

TForm2::TForm2(QWidget *parent)
    : TFormBase(Frame::Sizeable, parent)
{
    setWindowTitle(QStringLiteral("     DATA COPY"));
    setOuterSize(700, 375);
    Button1 = addButton(QStringLiteral("&Close"), 552, 296);
    connect(Button1, &QPushButton::clicked, this, &TForm2::CloseClick);
}

void TForm2::CloseClick()
{
    close();
}
