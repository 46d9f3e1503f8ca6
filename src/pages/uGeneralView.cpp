#include "uGeneralView.h"

#include "Picture.h"

#include <QPushButton>

TForm10 *Form10 = nullptr;

TForm10::TForm10(QWidget *parent)
    : TFormBase(Frame::Sizeable, parent)
{
    setWindowTitle(QStringLiteral("   ZEMRA General View"));
    setOuterSize(644, 475);

    Image1 = new TImage(this);
    Image1->LoadPicture(GeneralViewPicture, 40, 16, QSize(500, 400));
    Button1 = addButton(QStringLiteral("&Close"), 544, 384);
    setFocusOnOpening(Button1);

    connect(Button1, &QPushButton::clicked, this, &TForm10::CloseClick);
}

void TForm10::CloseClick()
{
    close();
}
