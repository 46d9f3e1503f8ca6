#include "AddProgress.h"

#include "Named.h"

#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>

QProgressDialog *MakeAddProgress(
    QWidget *parent, const QString &registration, const std::shared_ptr<AddState> &state)
{
    auto *progress
        = new QProgressDialog(QStringLiteral("Adding the read-outs to %1…").arg(registration),
            QString(), 0, 1000, parent);
    Named(progress, "addProgress", QStringLiteral("Adding read-outs"));
    auto *cancel = new QPushButton(QStringLiteral("&Cancel"), progress);
    Named(cancel, "addCancelButton", QStringLiteral("Cancel the add: nothing is added"));
    progress->setCancelButton(cancel);
    progress->setWindowModality(Qt::WindowModal);
    progress->setAutoClose(false);
    progress->setAutoReset(false);
    progress->setMinimumDuration(300); // a short add shows no dialog at all
    QObject::connect(
        progress, &QProgressDialog::canceled, progress, [state] { state->cancelled = true; });
    // The bar set directly: the dialog's own setValue processes events while modal, and would
    // hand the add's result back inside this timer.
    auto *bar = new QProgressBar(progress);
    Named(bar, "addProgressBar", QStringLiteral("Part of the files added"));
    progress->setBar(bar);
    progress->setRange(0, 1000);
    auto *timer = new QTimer(progress);
    QObject::connect(timer, &QTimer::timeout, bar, [bar, state] {
        const qint64 total = state->total;
        if (total > 0)
            bar->setValue(int(1000 * state->done / total));
    });
    timer->start(100);
    return progress;
}
