#include "uDimension.h"

#include <QPushButton>

TForm11 *Form11 = nullptr;

TForm11::TForm11(QWidget *parent)
    : TFormBase(Frame::Sizeable, parent)
{
    setWindowTitle(QStringLiteral("  ZEMRA Dimension"));
    setOuterSize(671, 517);
    Button1 = addButton(QStringLiteral("&Close"), 536, 432);
    connect(Button1, &QPushButton::clicked, this, &TForm11::CliseClick);
}

void TForm11::CliseClick()
{
    close();
}
