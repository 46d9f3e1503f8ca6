#include "Probe.h"

#include <QElapsedTimer>
#include <QEvent>
#include <QMetaObject>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
QElapsedTimer g_clock;

class FirstPaint : public QObject
{
public:
    using QObject::QObject;

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            // Queued: runs once this paint has been drawn and flushed to the window system.
            QMetaObject::invokeMethod(
                this,
                [] {
                    std::printf("%lld\n", static_cast<long long>(g_clock.nsecsElapsed()));
                    std::fflush(stdout);
                    std::_Exit(0);
                },
                Qt::QueuedConnection);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool m_seen = false;
};
} // namespace

void StartProbeClock()
{
    g_clock.start();
}

void EndAfterFirstPaint(QWidget *window, int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--stay") == 0)
            return;
    }
    window->installEventFilter(new FirstPaint(window));
}
