#include "AboutBox.h"

#include "BevelPanel.h"
#include "PictureBox.h"

#include <QLabel>
#include <QPushButton>

AboutBox::AboutBox(QWidget *parent)
    : FormBase(Frame::FixedDialog, parent)
{
    setObjectName(QStringLiteral("aboutBox"));
    setWindowTitle(QStringLiteral("About"));
    setClientSize(380, 190);

    auto *panel = new BevelPanel(this);
    panel->setObjectName(QStringLiteral("panel"));
    panel->setGeometry(8, 8, 369, 137);
    auto *icon = new PictureBox(panel);
    icon->setObjectName(QStringLiteral("programIcon"));
    icon->loadPicture(LogoPicture, 8, 8, QSize(65, 57));
    addLabel("productNameLabel", QStringLiteral(">ZEMRA< AUTONOMOUS FATIGUE LOADS RECORDER"), 88,
        16, font(), {}, panel);
    addLabel("versionLabel", QStringLiteral("Version 1.2."), 88, 40, font(), {}, panel);
    addLabel("copyrightLabel", QStringLiteral("Copyright (C) 2002 Imaginary Instruments Ltd."), 88,
        80, font(), {}, panel);
    QLabel *comments = addLabel(
        "commentsLabel", QStringLiteral("Imaginary Instruments Ltd."), 88, 104, font(), {}, panel);
    comments->setWordWrap(true);
    comments->setGeometry(88, 104, 273, comments->heightForWidth(273));

    auto *closeButton = addButton("closeButton", QStringLiteral("&Close"), 272, 160);
    auto *techInfoButton
        = addButton("techInfoButton", QStringLiteral("&Tech_Information"), 48, 160, 97, 25);
    // Enter presses "&Close" unless "&Tech_Information" has the focus.
    setDefaultButton(closeButton);
    setTabOrder(closeButton, techInfoButton);
    setFocusOnOpening(closeButton);

    onClick(closeButton, &AboutBox::closeWindow);
    connect(techInfoButton, &QPushButton::clicked, this, &AboutBox::techInfoRequested);
}

void AboutBox::closeWindow()
{
    close();
}
