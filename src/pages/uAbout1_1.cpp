#include "uAbout1_1.h"

#include <QPushButton>

TAboutBox *AboutBox = nullptr;

TAboutBox::TAboutBox(QWidget *parent)
    : TFormBase(Frame::FixedDialog, parent)
{
    setWindowTitle(QStringLiteral("About"));
    setClientSize(380, 190);
    Button1 = addButton(QStringLiteral("&Close"), 272, 160);
    connect(Button1, &QPushButton::clicked, this, &TAboutBox::CloseClick);
}

void TAboutBox::CloseClick()
{
    close();
}
