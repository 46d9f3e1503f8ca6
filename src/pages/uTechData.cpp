#include "uTechData.h"

#include "Memo.h"

#include <QPushButton>

TForm13 *Form13 = nullptr;

TForm13::TForm13(QWidget *parent)
    : TFormBase(Frame::Sizeable, parent)
{
    setWindowTitle(QStringLiteral(" ZEMRA Basic Technical Data"));
    setOuterSize(544, 375);

    // Made first so that it comes first in the tab order, although the memo is declared first.
    Button1 = addButton(QStringLiteral("&Close"), 432, 296);
    Memo1 = new TMemo(
        {
            QStringLiteral("Dimensions:"),
            QStringLiteral("        - length...............88 mm"),
            QStringLiteral("        - width.................47 mm"),
            QStringLiteral("        - height...............64 mm"),
            QStringLiteral("Weight:"),
            QStringLiteral("        - weight..............250 g"),
            QStringLiteral("Supply:"),
            QStringLiteral("        - autonomous batteries 3.6 V"),
            QStringLiteral("        - one year continuous operation without battery replace"),
            QStringLiteral("Working modes:"),
            QStringLiteral("        - economical"),
            QStringLiteral("        - active"),
        },
        104, 40, 369, 201, MsSansSerif(13), this);
    setFocusOnOpening(Button1);

    connect(Button1, &QPushButton::clicked, this, &TForm13::CloseClick);
}

void TForm13::CloseClick()
{
    close();
}
