#include "RecorderResetWindow.h"

#include "MessageBox.h"

#include <QLabel>
#include <QPushButton>

RecorderResetWindow::RecorderResetWindow(const PortMapping &ports, QWidget *parent)
    : FormBase(Frame::Sizeable, parent)
    , m_reset(ports.devices)
    , m_mapping(ports)
{
    setObjectName(QStringLiteral("recorderResetWindow"));
    setWindowTitle(QStringLiteral("    RECORDER RESET"));
    setOuterSize(324, 243);

    const QFont buttonFont = layoutFont(16, true);

    addLabel("questionLabel", QStringLiteral("Are you sure to reset the recorder ?"), 8, 32,
        layoutFont(16, true, true), Colours::Red)
        ->resize(306, 20);
    auto *yesButton = addButton("yesButton", QStringLiteral("Yes"), 56, 88);
    yesButton->setFont(buttonFont);
    auto *noButton = addButton("noButton", QStringLiteral("No"), 184, 88);
    noButton->setFont(buttonFont);
    auto *closeButton = addButton("closeButton", QStringLiteral("&Close"), 224, 168);

    setTabOrder(yesButton, noButton);
    setTabOrder(noButton, closeButton);

    onClick(yesButton, &RecorderResetWindow::sendReset);
    onClick(noButton, &RecorderResetWindow::closeWindow);
    onClick(closeButton, &RecorderResetWindow::closeWindow);
}

void RecorderResetWindow::sendReset()
{
    if (!m_mapping.ok()) {
        ShowMessage(m_mapping.message(), MistakeCaption);
        return;
    }
    const ResetResult result = m_reset.run();
    for (const ResetMessage message : result.messages)
        ShowMessage(ResetMessageText(message), ResetMessageCaption);
}

void RecorderResetWindow::closeWindow()
{
    close();
}
