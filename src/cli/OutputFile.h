#pragma once

#include "Result.h"

#include <QIODevice>
#include <QString>

#include <functional>

// Writes an output file of the command line as a whole: new content beside it, renamed into
// place, so it is never left half-written, and only ever over a regular file (a device, FIFO or
// directory there, or a link to one, is refused). "-" is standard output, written as a stream.
// A failure names the file and the reason.
Result WriteOutputFile(
    const QString &fileName, const std::function<Result(QIODevice &device)> &write);

// The output as messages name it: the file's name, or "standard output" for "-".
QString OutputName(const QString &fileName);
