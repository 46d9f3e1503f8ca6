#include "uGeneralView.h"

#include <QPushButton>

TForm10 *Form10 = nullptr;

TForm10::TForm10(QWidget *parent)
    : TFormBase(Frame::Sizeable, parent)
{
    setWindowTitle(QStringLiteral("   ZEMRA General View"));
    setOuterSize(644, 475);
    Button1 = addButton(QStringLiteral("&Close"), 544, 384);
    connect(Button1, &QPushButton::clicked, this, &TForm10::CloseClick);
}

void TForm10::CloseClick()
{
    close();
}
