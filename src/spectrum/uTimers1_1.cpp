#include "uTimers1_1.h"

#include <QPushButton>

TForm6 *Form6 = nullptr;

TForm6::TForm6(QWidget *parent)
    : TFormBase(Frame::Sizeable, parent)
{
    setWindowTitle(QStringLiteral("   TIMERS"));
    setOuterSize(424, 277);
    Button1 = addButton(QStringLiteral("&Close"), 312, 200);
    connect(Button1, &QPushButton::clicked, this, &TForm6::CloseClick);
}

void TForm6::CloseClick()
{
    close();
}
