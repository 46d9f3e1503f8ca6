#pragma once

#include "Result.h"

#include <QIODevice>
#include <QString>
#include <QStringList>

#include <functional>

// Writes an output file as a whole: new content beside it, renamed into
// place, so it is never left half-written, and only ever over a regular file (a device, FIFO or
// directory there, or a link to one, is refused). "-" is standard output, written as a stream.
// The temporaries a killed run left beside it are removed first. A failure names the file and
// the system's reason ("No space left on device"); a closed or broken standard output fails
// with an empty message, to be ended quietly.
Result WriteOutputFile(
    const QString &fileName, const std::function<Result(QIODevice &device)> &write);

// Invalid, naming both, when the output `fileName` is one of `inputs` (the same file by device
// and inode, through any link or other name), so that nothing a command reads is replaced by
// what it writes. `inputsAre` says in the message what the inputs are ("the register"); without
// it they are what the command reads.
Result CheckOutputIsNoInput(
    const QString &fileName, const QStringList &inputs, const QString &inputsAre = {});

// The output as messages name it: the file's name, or "standard output" for "-".
QString OutputName(const QString &fileName);
