#include "uDimension.h"

#include "Picture.h"

#include <QPushButton>

TForm11 *Form11 = nullptr;

TForm11::TForm11(QWidget *parent)
    : TFormBase(Frame::Sizeable, parent)
{
    setWindowTitle(QStringLiteral("  ZEMRA Dimension"));
    setOuterSize(671, 517);

    Button1 = addButton(QStringLiteral("&Close"), 536, 432);
    Image1 = new TImage(this);
    Image1->LoadPicture(DimensionPicture, 16, 8, QSize(650, 400));
    setFocusOnOpening(Button1);

    connect(Button1, &QPushButton::clicked, this, &TForm11::CliseClick);
}

void TForm11::CliseClick()
{
    close();
}
