#include "uSignalClas.h"

#include "Memo.h"
#include "Picture.h"

#include <QPushButton>

TForm12 *Form12 = nullptr;

TForm12::TForm12(QWidget *parent)
    : TFormBase(Frame::Sizeable, parent)
{
    setWindowTitle(QStringLiteral("  Signal Classification"));
    setOuterSize(544, 375);

    Button1 = addButton(QStringLiteral("&Close"), 424, 304);
    Image1 = new TImage(this);
    Image1->LoadPicture(SignalClassificationPicture, 112, 16, QSize(300, 200));
    Memo1 = new TMemo(
        {
            QStringLiteral("Exceeding of given levels of loads' coefficient is "),
            QStringLiteral("recorded by method of counting the exceeding of "),
            QStringLiteral("pairs of levels."),
            QStringLiteral("It is possible establish values of recorder's "),
            QStringLiteral("parameters according to user's requirements."),
        },
        112, 224, 297, 97, MsSansSerif(13), this);
    setFocusOnOpening(Button1);

    connect(Button1, &QPushButton::clicked, this, &TForm12::CloseClick);
}

void TForm12::CloseClick()
{
    close();
}
