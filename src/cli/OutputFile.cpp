#include "OutputFile.h"

#include "RegularFile.h"

#include <QFile>

#include <cstdio>

QString OutputName(const QString &fileName)
{
    return fileName == QLatin1String("-") ? QStringLiteral("standard output") : fileName;
}

Result WriteOutputFile(
    const QString &fileName, const std::function<Result(QIODevice &device)> &write)
{
    const QString shownName = OutputName(fileName);
    const auto failed = [&shownName](const QString &reason) {
        return Result(
            Result::Failed, QStringLiteral("Cannot write \"%1\": %2").arg(shownName, reason));
    };
    const bool stream = fileName == QLatin1String("-");
    QFile file;
    FileReplacement replacement;
    if (stream) {
        if (!file.open(stdout, QIODevice::WriteOnly, QFileDevice::DontCloseHandle))
            return failed(file.errorString());
    } else {
        if (const Result begun = replacement.begin(fileName); !begun.ok())
            return begun;
        if (!file.open(
                replacement.file().handle(), QIODevice::WriteOnly, QFileDevice::DontCloseHandle))
            return failed(file.errorString());
    }
    if (const Result written = write(file); !written.ok())
        return written;
    if (!file.flush() || file.error() != QFileDevice::NoError)
        return failed(file.errorString());
    file.close();
    return stream ? Result() : replacement.commit();
}
