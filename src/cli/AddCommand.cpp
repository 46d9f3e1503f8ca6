#include "Cli.h"
#include "OutputFile.h"
#include "RegisterCli.h"
#include "RegularFile.h"
#include "TableOptions.h"
#include "UsageInput.h"
#include "UsageTables.h"

#include <QFile>

#include <cstdio>
#include <limits>

namespace RegisterCli {
// --- register add ---------------------------------------------------------------------------

// "record 4" or "records 1–3, 7".
QString recordRanges(const std::vector<std::pair<qint64, qint64>> &ranges)
{
    QStringList parts;
    for (const auto &[first, last] : ranges)
        parts << (first == last ? QString::number(first)
                                : QStringLiteral("%1–%2").arg(first).arg(last));
    const bool one = ranges.size() == 1 && ranges.front().first == ranges.front().second;
    return (one ? QStringLiteral("record ") : QStringLiteral("records "))
        + parts.join(QStringLiteral(", "));
}

ExitStatus runAdd(const QStringList &arguments)
{
    CommandLine commandLine(QStringLiteral("register add"),
        QStringLiteral(
            "Add every record of the files to an aircraft's read-outs, each dated "
            "--date or by its file's\nmodification date, all in one transaction: a "
            "file or record refused adds nothing. A record\nis its 22 words: one the "
            "aircraft has already, whatever its date or file, is not added\nagain; "
            "one of another aircraft, or a word above 65535, refuses the files. "
            "Running totals\nthat fall are a reset (no count larger, one smaller) or a wrap of a "
            "16-bit counter (others and the\nwork time larger); any other fall is "
            "refused unless --reset is given."),
        QStringLiteral("FILE..."));
    QCommandLineParser &parser = commandLine.parser();
    addRegisterOptions(parser);
    parser.addOption({QStringLiteral("aircraft"), QStringLiteral("The aircraft's registration."),
        QStringLiteral("REG")});
    parser.addOption({QStringLiteral("date"),
        QStringLiteral("The date the read-outs were taken, years 0001 to 9999 (default: each "
                       "file's\nmodification date, refused outside those years)."),
        QStringLiteral("YYYY-MM-DD")});
    parser.addOption({QStringLiteral("reset"),
        QStringLiteral("The recorder was reset: a fall of running totals that no wrap or reset "
                       "explains is taken\nas a reset, and the register keeps that it was "
                       "declared.")});
    if (const Stop stop = commandLine.parse(arguments))
        return *stop;
    if (!parser.isSet(QStringLiteral("aircraft")))
        return commandLine.usageError(QStringLiteral("give --aircraft REG."));
    const QStringList files = parser.positionalArguments();
    if (files.isEmpty())
        return commandLine.usageError(QStringLiteral("no file given."));
    QDate date;
    if (parser.isSet(QStringLiteral("date"))) {
        if (const Stop stop = readDate(commandLine, QStringLiteral("date"), date))
            return *stop;
    }
    OpenedRegister opened;
    if (const Stop stop = openRegister(commandLine, Register::Access::Write, opened))
        return *stop;
    std::vector<AddFile> adds;
    for (const QString &file : files)
        adds.push_back({file, date});
    const AddResult added = opened.reg->add(
        parser.value(QStringLiteral("aircraft")), adds, parser.isSet(QStringLiteral("reset")));
    if (!added.ok())
        return Refused(added);
    for (const ResetFound &reset : added.resets)
        PrintMessage(reset.text);
    Output output;
    for (const AddedFile &file : added.files) {
        QString line = QStringLiteral("\"%1\", taken %2: %3 record(s), ")
                           .arg(file.fileName, dateText(file.taken), QString::number(file.records));
        if (file.added == 0)
            line += QStringLiteral("already in the register");
        else if (file.already == 0)
            line += QStringLiteral("%1 new, added as read-outs %2–%3")
                        .arg(file.added)
                        .arg(file.firstReadout)
                        .arg(file.lastReadout);
        else
            line += QStringLiteral("%1 new, added as read-outs %2–%3; %4 already in the register "
                                   "(%5)")
                        .arg(file.added)
                        .arg(file.firstReadout)
                        .arg(file.lastReadout)
                        .arg(file.already)
                        .arg(recordRanges(file.alreadyRecords));
        output.buffer() += line.toUtf8() + '\n';
    }
    output.buffer() += QStringLiteral("%1: %2 read-out(s) added, %3 already in the register.\n")
                           .arg(added.registration, QString::number(added.added),
                               QString::number(added.already))
                           .toUtf8();
    return FinishOutput(output, ExitOk);
}
} // namespace RegisterCli
