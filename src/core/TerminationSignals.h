#pragma once

#include <QObject>

#include <functional>

class QSocketNotifier;

// SIGTERM and SIGHUP become a request to end the program that the event loop acts on between
// handlers, never in the middle of one; a copy under way sees TerminationRequested() and
// stops cleanly first. The signals are caught while the object lives.
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

// True once SIGTERM or SIGHUP arrived while they were being caught.
bool TerminationRequested();
