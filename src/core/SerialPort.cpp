#include "SerialPort.h"

#include <QDeadlineTimer>
#include <QThread>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#else
#include <cerrno>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#endif

namespace {
// One byte takes about 8.3 ms at 1200 baud; without flow control nothing holds it back
// longer, so a second means the device has stopped taking data.
constexpr int SendTimeoutMs = 1000;
} // namespace

DeviceSerialPort::DeviceSerialPort(const QString &device)
{
    m_port.setPortName(device);
}

DeviceSerialPort::~DeviceSerialPort()
{
    close();
}

std::unique_ptr<SerialPort> DeviceSerialPort::create(const QString &device)
{
    return std::make_unique<DeviceSerialPort>(device);
}

bool DeviceSerialPort::openExclusive()
{
    // QSerialPort always opens exclusively: a lock file, and TIOCEXCL on Unix.
    if (!m_port.open(QIODevice::ReadWrite))
        return false;
#ifndef Q_OS_WIN
    // Neither of those sees a program that holds the device with flock() (pyserial's
    // exclusive mode and others): take that lock as well, and a refusal means "in use".
    if (::flock(m_port.handle(), LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
        m_port.close();
        return false;
    }
#endif
    return true;
}

bool DeviceSerialPort::setModemLine(bool ok)
{
    if (ok)
        return true;
    // Pseudo-terminals and some adapters have no modem lines to drive.
    if (m_port.error() == QSerialPort::UnsupportedOperationError) {
        m_port.clearError();
        return true;
    }
    return false;
}

bool DeviceSerialPort::applyLineSettings(const LineSettings &settings)
{
    // Flow control first: RTS cannot be driven by hand while hardware handshake owns it.
    if (!m_port.setFlowControl(settings.flowControl) || !m_port.setBaudRate(settings.baudRate)
        || !m_port.setDataBits(settings.dataBits) || !m_port.setParity(settings.parity)
        || !m_port.setStopBits(settings.stopBits))
        return false;
    return setModemLine(m_port.setDataTerminalReady(settings.dataTerminalReady))
        && setModemLine(m_port.setRequestToSend(settings.requestToSend));
}

bool DeviceSerialPort::sendAndDrain(char byte)
{
    if (m_port.write(&byte, 1) != 1)
        return false;
    return drain();
}

bool DeviceSerialPort::drain()
{
    // Hand the byte to the driver, then wait until the driver has put it on the line:
    // closing the port earlier may discard it.
    const QDeadlineTimer deadline(SendTimeoutMs);
    while (m_port.bytesToWrite() > 0) {
        if (!m_port.waitForBytesWritten(int(deadline.remainingTime())))
            return false;
    }
#ifdef Q_OS_WIN
    if (!FlushFileBuffers(reinterpret_cast<HANDLE>(m_port.handle())))
        return false;
#else
    const int fd = m_port.handle();
    // tcdrain() has no timeout: wait for the driver's queue with one, so that only the
    // transmitter's last bytes are left for it.
    int queued = 0;
    while (::ioctl(fd, TIOCOUTQ, &queued) == 0 && queued > 0) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(1);
    }
    while (::tcdrain(fd) != 0) {
        if (errno != EINTR)
            return false;
    }
#endif
    return true;
}

void DeviceSerialPort::close()
{
    if (m_port.isOpen())
        m_port.close();
}
