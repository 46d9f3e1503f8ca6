#include "uGraphicSpectrum1_1.h"

#include <QPushButton>

TForm4 *Form4 = nullptr;

TForm4::TForm4(QWidget *parent)
    : TFormBase(Frame::Sizeable, parent)
{
    setWindowTitle(QStringLiteral("  GRAPHIC  SPECTRUM"));
    setClientSize(520, 519);
    Button1 = addButton(QStringLiteral("&Close"), 408, 464);
    connect(Button1, &QPushButton::clicked, this, &TForm4::CloseClick);
}

void TForm4::CloseClick()
{
    close();
}
