#pragma once

#include "RegularFile.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

class QProgressDialog;
class QWidget;

// Makes the progress report of one copy that `window` starts; tests hand windows their own.
using ProgressFactory = std::function<CopyProgress(QWidget *window, const QString &label)>;

// The program's report: the progress dialog below, and the end of the copy when SIGTERM or
// SIGHUP asks the program to end.
CopyProgress ShowProgressOfCopy(QWidget *window, const QString &label);

// A modal progress dialog with Cancel for a copy that has run for half a second. The copy runs
// on the one thread and lets the dialog handle its events between pieces; everything else that
// could start a handler of the program is held back until the copy ends: user input and close
// requests to other windows, timers and socket notifiers. Painting and Qt's own queued calls
// go on; the program queues a call only from the chart's paint, and the chart is never on
// screen while a copy can start.
class CopyProgressDialog : public QObject
{
    Q_OBJECT
public:
    static constexpr qint64 DelayMs = 500;
    // Milliseconds since the copy began.
    using Clock = std::function<qint64()>;

    explicit CopyProgressDialog(QWidget *window, const QString &label, Clock clock = {});
    ~CopyProgressDialog() override;

    // The copy's progress; false once the user has cancelled.
    bool report(qint64 done, qint64 total);
    // Null until the dialog is shown.
    QProgressDialog *dialog() const { return m_dialog; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void show();
    bool belongsToDialog(QObject *object) const;

    QPointer<QWidget> m_window;
    QString m_label;
    Clock m_clock;
    QProgressDialog *m_dialog = nullptr;
    qint64 m_lastPump = 0;
};
