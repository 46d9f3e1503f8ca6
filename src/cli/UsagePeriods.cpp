#include "UsageInput.h"

#include <QFileInfo>

// The periods of the usage commands' data files: each record alone, or the records combined.

namespace {
// "\"f.dat\" record 3", "\"f.dat\" records 1–7".
QString recordsText(const QString &file, const RecordChoice &choice, qint64 last)
{
    if (!choice.all)
        return QStringLiteral("\"%1\" record %2").arg(file).arg(choice.record);
    if (last <= 1)
        return QStringLiteral("\"%1\" record 1").arg(file);
    return QStringLiteral("\"%1\" records 1–%2").arg(file).arg(last);
}

// Each chosen record of one file a period of its own.
ExitStatus eachRecordAPeriod(
    const UsageSelection &selection, const std::function<void(const UsagePeriod &)> &take)
{
    const QString file = selection.files.first();
    const QString bareName = QFileInfo(file).fileName();
    bool failed = false;
    qint64 held = 0;
    const ExitStatus status = ForEachRecord(
        file, selection.choice,
        [&, prefix = QStringLiteral("\"%1\" record ").arg(file)](
            qint64 number, const RecordValues &values) {
            if (failed)
                return;
            const QString source = prefix + QString::number(number);
            if (const QString above = WordAbove16Bits(values, source); !above.isEmpty()) {
                PrintMessage(above);
                failed = true;
                return;
            }
            UsagePeriod period {source, CombineRecords({{source, values}}, CombineMode::NotGiven)};
            period.file = bareName;
            period.firstRecord = period.lastRecord = number;
            if (!period.combined.ok()) {
                Refused(period.combined);
                failed = true;
                return;
            }
            take(period);
        },
        selection.choice.recordGiven ? nullptr : &held);
    // Record 1 of several taken by default: say so, lest the others pass unnoticed.
    if (status == ExitOk && !failed && held > 1)
        PrintMessage(QStringLiteral("\"%1\" holds %2 records; record 1 was used (--record N "
                                    "for another, --all for each, --combine for all together).")
                         .arg(file)
                         .arg(held));
    return failed ? ExitRefused : status;
}

} // namespace

ExitStatus ForEachPeriod(
    const UsageSelection &selection, const std::function<void(const UsagePeriod &)> &take)
{
    if (selection.mode == CombineMode::NotGiven)
        return eachRecordAPeriod(selection, take);

    std::vector<LabelledRecord> records;
    QStringList sources, names;
    qint64 firstRecord = 0, lastRecord = 0;
    for (const QString &file : selection.files) {
        qint64 last = 0;
        qint64 held = 0;
        const bool lone = selection.files.size() == 1 && !selection.choice.all;
        QString above; // the first word above 16 bits: nothing is computed from it
        const ExitStatus status = ForEachRecord(
            file, selection.choice,
            [&](qint64 number, const RecordValues &values) {
                const QString label = QStringLiteral("\"%1\" record %2").arg(file).arg(number);
                if (above.isEmpty())
                    above = WordAbove16Bits(values, label);
                records.push_back({label, values});
                last = number;
            },
            lone ? &held : nullptr);
        if (status != ExitOk)
            return status;
        if (!above.isEmpty())
            return Refused(Result(Result::Invalid, above));
        // One record of one file is nothing to combine: the others were surely meant.
        if (lone && held > 1) {
            PrintMessage(QStringLiteral("--combine over the one file \"%1\" of %2 records needs "
                                        "--all: without it only record %3 is read.")
                             .arg(file)
                             .arg(held)
                             .arg(selection.choice.record));
            return ExitUsage;
        }
        sources << recordsText(file, selection.choice, last);
        names << QFileInfo(file).fileName();
        firstRecord = selection.choice.all ? 1 : selection.choice.record;
        lastRecord = selection.choice.all ? last : selection.choice.record;
    }
    UsagePeriod period;
    period.file = names.join(QStringLiteral("; "));
    // Record numbers start again in each file: a range is one file's only.
    if (names.size() == 1 && lastRecord > 0) {
        period.firstRecord = firstRecord;
        period.lastRecord = lastRecord;
    }
    period.source = sources.join(QStringLiteral(", "))
        + QStringLiteral(" (%1)").arg(CombineModeName(selection.mode));
    period.combined = CombineRecords(records, selection.mode);
    if (!period.combined.ok())
        return Refused(period.combined);
    for (const RecorderResetFound &reset : period.combined.resets)
        PrintMessage(reset.text);
    take(period);
    return ExitOk;
}
