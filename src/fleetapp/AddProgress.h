#pragma once

#include <QString>

#include <atomic>
#include <memory>

class QProgressDialog;
class QWidget;

// How far an add on the worker has come, and whether it was cancelled: written by the worker,
// read by the progress dialog's timer.
struct AddState
{
    std::atomic<qint64> done {0};
    std::atomic<qint64> total {0};
    std::atomic<bool> cancelled {false};
};

// The progress of an add, shown only when it lasts; its Cancel (or Escape) sets `cancelled`.
QProgressDialog *MakeAddProgress(
    QWidget *parent, const QString &registration, const std::shared_ptr<AddState> &state);
