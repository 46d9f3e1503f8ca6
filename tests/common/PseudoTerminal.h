#pragma once

#include <QByteArray>
#include <QString>
#include <QThread>
#include <QtGlobal>

#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

// A pseudo-terminal: the program gets the slave's path, the test listens on the master.
class PseudoTerminal
{
public:
    PseudoTerminal()
    {
        char name[128] = {};
        if (::openpty(&m_master, &m_slave, name, nullptr, nullptr) != 0)
            qFatal("openpty failed");
        ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
        m_path = QString::fromLocal8Bit(name);
    }
    ~PseudoTerminal()
    {
        ::close(m_master);
        ::close(m_slave);
    }
    PseudoTerminal(const PseudoTerminal &) = delete;
    PseudoTerminal &operator=(const PseudoTerminal &) = delete;

    QString path() const { return m_path; }

    // Everything that has reached the other end so far.
    QByteArray received() const
    {
        QByteArray bytes;
        char buffer[4096];
        ssize_t count;
        while ((count = ::read(m_master, buffer, sizeof buffer)) > 0)
            bytes.append(buffer, count);
        return bytes;
    }

    // The line settings of the terminal, as the kernel holds them.
    termios lineSettings() const
    {
        termios settings {};
        ::tcgetattr(m_master, &settings);
        return settings;
    }

    void setLineSettings(const termios &settings) const
    {
        ::tcsetattr(m_master, TCSANOW, &settings);
    }

    // Fills the way to the other end until the terminal takes no more output. The kernel
    // moves written bytes on to the other end in the background, so fill until it settles.
    qsizetype fillOutput() const
    {
        ::fcntl(m_slave, F_SETFL, ::fcntl(m_slave, F_GETFL) | O_NONBLOCK);
        const QByteArray filler(1024, 'x');
        qsizetype total = 0;
        for (int quiet = 0; quiet < 3;) {
            ssize_t count;
            qsizetype round = 0;
            while ((count = ::write(m_slave, filler.constData(), filler.size())) > 0)
                round += count;
            total += round;
            quiet = round > 0 ? 0 : quiet + 1;
            QThread::msleep(20);
        }
        return total;
    }

private:
    int m_master = -1;
    int m_slave = -1;
    QString m_path;
};
