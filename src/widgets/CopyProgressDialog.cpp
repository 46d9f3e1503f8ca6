#include "CopyProgressDialog.h"

#include "MessageBox.h"
#include "TerminationSignals.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProgressDialog>
#include <QWindow>

#include <memory>

namespace {
// How often the dialog gets to handle its events while the bar does not move.
constexpr qint64 PumpIntervalMs = 50;
constexpr int Steps = 1000;
} // namespace

CopyProgress ShowProgressOfCopy(QWidget *window, const QString &label)
{
    auto dialog = std::make_shared<CopyProgressDialog>(window, label);
    return [dialog](qint64 done, qint64 total) {
        return !TerminationRequested() && dialog->report(done, total);
    };
}

CopyProgressDialog::CopyProgressDialog(QWidget *window, const QString &label, Clock clock)
    : m_window(window)
    , m_label(label)
    , m_clock(std::move(clock))
{
    if (!m_clock) {
        QElapsedTimer started;
        started.start();
        m_clock = [started] { return started.elapsed(); };
    }
}

CopyProgressDialog::~CopyProgressDialog()
{
    if (m_dialog) {
        qApp->removeEventFilter(this);
        delete m_dialog;
    }
}

void CopyProgressDialog::show()
{
    m_dialog = new QProgressDialog(m_label, QStringLiteral("Cancel"), 0, Steps, m_window);
    m_dialog->setWindowTitle(ApplicationTitle());
    m_dialog->setWindowModality(Qt::ApplicationModal);
    m_dialog->setAutoReset(false);
    m_dialog->setAutoClose(false);
    qApp->installEventFilter(this);
    m_dialog->show();
    m_lastPump = m_clock();
    QCoreApplication::processEvents(QEventLoop::ExcludeSocketNotifiers);
}

bool CopyProgressDialog::report(qint64 done, qint64 total)
{
    if (!m_dialog) {
        if (m_clock() < DelayMs)
            return true;
        show();
    }
    const int value = total > 0 ? int(done * Steps / total) : 0;
    const qint64 now = m_clock();
    if (value != m_dialog->value() || now - m_lastPump >= PumpIntervalMs) {
        m_dialog->setValue(value);
        // Paints the dialog and lets its Cancel button be pressed.
        QCoreApplication::processEvents(QEventLoop::ExcludeSocketNotifiers);
        m_lastPump = now;
    }
    return !m_dialog->wasCanceled();
}

bool CopyProgressDialog::belongsToDialog(QObject *object) const
{
    if (auto *window = qobject_cast<QWindow *>(object))
        return window == m_dialog->windowHandle();
    for (; object; object = object->parent()) {
        if (object == m_dialog)
            return true;
    }
    return false;
}

bool CopyProgressDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (!m_dialog || belongsToDialog(watched))
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
    case QEvent::Close:
        // What the user does elsewhere meanwhile is dropped, as a modal dialog drops it.
        return true;
    case QEvent::Timer:
    case QEvent::SockAct:
    case QEvent::SockClose:
        // A timer fires again and a ready socket stays ready: both come back after the copy.
        return true;
    default:
        return false;
    }
}
