#include "uContact.h"

#include "Memo.h"

#include <QPushButton>

TForm7 *Form7 = nullptr;

TForm7::TForm7(QWidget *parent)
    : TFormBase(Frame::Sizeable, parent)
{
    setWindowTitle(QStringLiteral("   CONTACT"));
    setOuterSize(559, 330);

    Button1 = addButton(QStringLiteral("&Close"), 456, 256);
    // The maker, its address and its people are inventions; the numbers are reserved for
    // fiction and the mail domains for examples.
    Memo1 = new TMemo(
        {
            QString(),
            QStringLiteral("        Imaginary Instruments Ltd."),
            QStringLiteral("        17 Nowhere Lane"),
            QStringLiteral("        00-000 Fictionville"),
            QStringLiteral("        Neverland"),
            QStringLiteral("        Dr. Eng. Jane Placeholder"),
            QStringLiteral("        e-mail: jane.placeholder@example.com"),
            QStringLiteral("        M.Sc. John Sample"),
            QStringLiteral("        e-mail: john.sample@example.org"),
            QStringLiteral("        fax: +1 202 555 0147"),
        },
        96, 48, 369, 177, MsSansSerif(13, true), this);
    // Reached only by the mouse; once there it keeps Tab.
    Memo1->setFocusPolicy(Qt::ClickFocus);
    Memo1->setWantTabs(true);
    setFocusOnOpening(Button1);

    connect(Button1, &QPushButton::clicked, this, &TForm7::CloseClick);
}

void TForm7::CloseClick()
{
    close();
}
