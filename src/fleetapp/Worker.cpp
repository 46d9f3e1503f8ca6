#include "Worker.h"

#include "MessageBox.h"

#include <QCoreApplication>

Worker::Worker(QObject *parent)
    : QObject(parent)
{ }

Worker::~Worker()
{
    for (QThread *thread : findChildren<QThread *>(Qt::FindDirectChildrenOnly))
        thread->wait();
}

void Worker::start(QThread *thread, std::function<void()> deliver)
{
    thread->setParent(this);
    ++m_running;
    connect(thread, &QThread::finished, this, [this, thread, deliver = std::move(deliver)] {
        thread->deleteLater();
        --m_running;
        RunGuarded(deliver);
        if (m_running == 0)
            emit idle();
    });
    thread->start();
}

void Worker::waitForAll()
{
    while (m_running > 0)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}
