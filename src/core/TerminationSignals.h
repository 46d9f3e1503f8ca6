#pragma once

#include <QObject>

#include <functional>

class QSocketNotifier;

// SIGTERM, SIGHUP and SIGINT (Ctrl+C in the terminal that started it) become a request to end the
// program that the event loop acts on between handlers, never in the middle of one; a copy under
// way sees TerminationRequested() and stops cleanly first. The signals are caught while the object
// lives.
class TerminationSignals : public QObject
{
    Q_OBJECT
public:
    explicit TerminationSignals(std::function<void()> onRequest, QObject *parent = nullptr);
    ~TerminationSignals() override;

private:
    void takeRequest();

    std::function<void()> m_onRequest;
    QSocketNotifier *m_notifier = nullptr;
};

// True once one of those signals arrived while they were being caught.
bool TerminationRequested();
