#include "uTechData.h"

#include <QPushButton>

TForm13 *Form13 = nullptr;

TForm13::TForm13(QWidget *parent)
    : TFormBase(Frame::Sizeable, parent)
{
    setWindowTitle(QStringLiteral(" ZEMRA Basic Technical Data"));
    setOuterSize(544, 375);
    Button1 = addButton(QStringLiteral("&Close"), 432, 296);
    connect(Button1, &QPushButton::clicked, this, &TForm13::CloseClick);
}

void TForm13::CloseClick()
{
    close();
}
