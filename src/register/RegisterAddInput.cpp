#include "RegisterAddInput.h"

#include "RegisterRows.h"

#include <QDateTime>

#include <algorithm>

#include <sys/stat.h>

namespace {
QString modificationDate(const QFile &file, QDate &date)
{
    struct stat status
    {
    };
    if (::fstat(file.handle(), &status) != 0)
        return QStringLiteral("its modification date cannot be read");
    date = QDateTime::fromSecsSinceEpoch(status.st_mtime).date();
    if (!IsRegisterDate(date))
        return QStringLiteral("its modification date is in the year %1, outside the years 1 to "
                              "9999 that the register keeps; give the date it was taken")
            .arg(date.year());
    return {};
}
} // namespace

// Every file opened and dated, in date order, so that the new read-outs are written in the
// order taken.
Result OpenAddInputs(const std::vector<AddFile> &files, std::vector<AddInput> &inputs)
{
    for (const AddFile &add : files) {
        AddInput input {add.fileName, add.taken, std::make_unique<QFile>()};
        if (Result opened = OpenRecordFile(add.fileName, *input.file); !opened.ok())
            return opened.failure() == Result::CannotOpen
                ? Result(Result::CannotOpen,
                    QStringLiteral("Cannot open \"%1\": %2.").arg(add.fileName, opened.message()))
                : opened;
        if (!input.taken.isValid()) {
            if (const QString problem = modificationDate(*input.file, input.taken);
                !problem.isEmpty())
                return Result(Result::CannotOpen,
                    QStringLiteral("Cannot date \"%1\": %2.").arg(add.fileName, problem));
        }
        inputs.push_back(std::move(input));
    }
    if (inputs.empty())
        return Result(Result::Invalid, QStringLiteral("No file to add."));
    std::stable_sort(inputs.begin(), inputs.end(),
        [](const AddInput &a, const AddInput &b) { return a.taken < b.taken; });
    return {};
}
