#pragma once

#include <QObject>
#include <QPointer>
#include <QThread>

#include <functional>
#include <memory>

// Long work (opening the register and computing the fleet, a report, an export) on a thread of
// its own, so that the window keeps painting. A register's connection belongs to the thread that
// opened it (Qt SQL), so each piece of work opens its own Register there. The result comes back
// to `done` in the owner's thread; the owner's destructor waits for what still runs.
class Worker : public QObject
{
    Q_OBJECT
public:
    explicit Worker(QObject *parent = nullptr);
    ~Worker() override;

    template<class Value>
    void run(std::function<Value()> work, std::function<void(const Value &)> done)
    {
        auto result = std::make_shared<Value>();
        QThread *thread = QThread::create([work = std::move(work), result] { *result = work(); });
        start(thread, [done = std::move(done), result] { done(*result); });
    }
    // Work begun and not yet handed back.
    int running() const { return m_running; }
    // Waits for every running piece of work and hands back its result.
    void waitForAll();

signals:
    void idle(); // the last running piece of work handed back

private:
    void start(QThread *thread, std::function<void()> deliver);

    int m_running = 0;
};
