#pragma once

#include "FormBase.h"
#include "PortMapping.h"
#include "RecorderReset.h"

#include <QString>

// Sends the recorder its counter-reset command after the user confirms.
class RecorderResetWindow : public FormBase
{
    Q_OBJECT
public:
    // A mapping that cannot be used is shown at "Yes", and nothing is sent.
    explicit RecorderResetWindow(
        const PortMapping &ports = ConfiguredPortDevices(), QWidget *parent = nullptr);

    // The port name the next reset starts with.
    QString portName() const { return m_reset.portName(); }
    // Tests wrap the ports to watch or fail their steps.
    void setPortFactory(SerialPortFactory factory) { m_reset.setPortFactory(std::move(factory)); }

    // What the buttons do, also for a caller that drives the window without clicks.
    // "Yes": sends the reset command; the failures are shown in boxes.
    void sendReset();
    void closeWindow();

private:
    // "COM1" until an open fails, then "COM2" for the rest of the run.
    RecorderReset m_reset;
    Result m_mapping;
};
