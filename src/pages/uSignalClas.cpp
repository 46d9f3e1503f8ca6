#include "uSignalClas.h"

#include <QPushButton>

TForm12 *Form12 = nullptr;

TForm12::TForm12(QWidget *parent)
    : TFormBase(Frame::Sizeable, parent)
{
    setWindowTitle(QStringLiteral("  Signal Classification"));
    setOuterSize(544, 375);
    Button1 = addButton(QStringLiteral("&Close"), 424, 304);
    connect(Button1, &QPushButton::clicked, this, &TForm12::CloseClick);
}

void TForm12::CloseClick()
{
    close();
}
