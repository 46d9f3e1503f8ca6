#include "uAbout1_1.h"

#include "Picture.h"
#include "uTechInf.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <qdrawutil.h>

TAboutBox *AboutBox = nullptr;

TBevelPanel::TBevelPanel(QWidget *parent)
    : QWidget(parent)
{
    setBackgroundRole(QPalette::Button);
    setAutoFillBackground(true);
}

void TBevelPanel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    qDrawShadePanel(&painter, rect(), palette(), true, 1);
    qDrawShadePanel(&painter, rect().adjusted(1, 1, -1, -1), palette(), false, 1);
}

TAboutBox::TAboutBox(QWidget *parent)
    : TFormBase(Frame::FixedDialog, parent)
{
    setWindowTitle(QStringLiteral("About"));
    setClientSize(380, 190);

    Panel1 = new TBevelPanel(this);
    Panel1->setGeometry(8, 8, 369, 137);
    ProgramIcon = new TImage(Panel1);
    ProgramIcon->LoadPicture(LogoPicture, 8, 8, QSize(65, 57));
    ProductName = addLabel(
        QStringLiteral(">ZEMRA< AUTONOMOUS FATIGUE LOADS RECORDER"), 88, 16, font(), {}, Panel1);
    Version = addLabel(QStringLiteral("Version 1.2."), 88, 40, font(), {}, Panel1);
    Copyright = addLabel(QStringLiteral("Copyright (C) 2002 Imaginary Instruments Ltd."), 88, 80,
        font(), {}, Panel1);
    Comments = addLabel(QStringLiteral("Imaginary Instruments Ltd."), 88, 104, font(), {}, Panel1);
    Comments->setWordWrap(true);
    Comments->setGeometry(88, 104, 273, Comments->heightForWidth(273));

    Button1 = addButton(QStringLiteral("&Close"), 272, 160);
    Button2 = addButton(QStringLiteral("&Tech_Information"), 48, 160, 97, 25);
    // Enter presses Button1 unless Button2 has the focus.
    setDefaultButton(Button1);
    setTabOrder(Button1, Button2);
    setFocusOnOpening(Button1);

    connect(Button1, &QPushButton::clicked, this, &TAboutBox::CloseClick);
    connect(Button2, &QPushButton::clicked, this, &TAboutBox::Tech_InformationClick);
}

void TAboutBox::CloseClick()
{
    close();
}

void TAboutBox::Tech_InformationClick()
{
    Form8->ShowModal();
}
