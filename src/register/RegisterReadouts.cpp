#include "Register.h"

#include "RegisterPeriods.h"
#include "RegisterPrivate.h"
#include "RegisterSchema.h"

#include <QSet>

#include <algorithm>

namespace {
// Rows per INSERT: fewer statements to run, well below both engines' limits on parameters.
constexpr int RowsPerInsert = 128;
} // namespace

// --- Read-outs ---------------------------------------------------------------------------

HistoryPeriod Register::Private::periodOf(const Walked &walked)
{
    HistoryPeriod period;
    period.readout = walked.id;
    period.taken = DateFromText(walked.taken);
    period.record = walked.record;
    period.fileName = walked.fileName;
    period.added = walked.added;
    period.addedBy = walked.addedBy;
    period.words = walked.words;
    period.afterReset = walked.period.afterReset;
    period.kind = walked.period.kind;
    period.declaredReset = walked.declaredReset;
    period.counts = walked.period.counts;
    period.seconds = walked.period.seconds;
    period.hours = double(walked.period.seconds) / 3600.0;
    return period;
}

ReadoutWriter::ReadoutWriter(RegisterDatabase &database)
    : m_database(database)
{
    m_pending.reserve(RowsPerInsert);
}

namespace {
QString readoutInsert(int rows)
{
    QStringList all;
    for (int i = 0; i < rows; ++i)
        all << QStringLiteral("(?, ?, ?, ?, ?, ?)");
    return QStringLiteral("INSERT INTO readouts (id, aircraft_id, addition_id, record_number, "
                          "taken_on, words) VALUES ")
        + all.join(QStringLiteral(", "));
}
} // namespace

Result ReadoutWriter::add(ReadoutRow &&row)
{
    m_pending.push_back(std::move(row));
    if (int(m_pending.size()) < RowsPerInsert)
        return {};
    if (!m_prepared) {
        Result prepared;
        m_batch = m_database.prepare(readoutInsert(RowsPerInsert), prepared);
        if (!prepared.ok())
            return prepared;
        m_prepared = true;
    }
    return write(m_batch);
}

Result ReadoutWriter::flush()
{
    if (m_pending.empty())
        return {};
    Result prepared;
    QSqlQuery rest = m_database.prepare(readoutInsert(int(m_pending.size())), prepared);
    if (!prepared.ok())
        return prepared;
    return write(rest);
}

Result ReadoutWriter::write(QSqlQuery &query)
{
    int position = 0;
    for (const ReadoutRow &row : m_pending) {
        query.bindValue(position++, row.id);
        query.bindValue(position++, row.aircraft);
        query.bindValue(position++, row.addition);
        query.bindValue(position++, row.record);
        query.bindValue(position++, row.taken);
        query.bindValue(position++, row.words);
    }
    m_pending.clear();
    return m_database.execute(query);
}

Result Register::Private::walkReadouts(qint64 aircraft, CombineMode mode, const QString &from,
    const std::function<Result(const std::vector<Walked> &)> &take)
{
    std::optional<RecordValues> previous;
    qint64 previousId = 0;
    QSqlQuery query;
    const QueryFinisher finisher(query);
    if (!from.isEmpty()) {
        if (Result read = db.run(query,
                QStringLiteral("SELECT id, words FROM readouts WHERE aircraft_id = ? AND "
                               "taken_on < ? ORDER BY taken_on DESC, id DESC LIMIT 1"),
                {aircraft, from});
            !read.ok())
            return read;
        if (query.next()) {
            previousId = query.value(0).toLongLong();
            RecordValues words {};
            if (!WordsFromText(query.value(1).toString(), words))
                return damaged(QStringLiteral("read-out %1 holds no record").arg(previousId));
            previous = words;
        }
    }
    // A block at a time, each starting after the last one read, in bounded memory. (An empty
    // text, not a null one: that would be NULL, which no date follows.)
    QString afterDate = from.isEmpty() ? QStringLiteral("") : from;
    qint64 afterId = 0;
    for (;;) {
        if (Result read = db.run(query,
                QStringLiteral(
                    "SELECT r.id, r.taken_on, r.words, r.record_number, a.file_name, "
                    "a.added_at, a.added_by, a.declared_reset FROM readouts r JOIN additions a ON "
                    "a.id = r.addition_id WHERE r.aircraft_id = ? AND (r.taken_on > ? "
                    "OR (r.taken_on = ? AND r.id > ?)) ORDER BY r.taken_on, r.id "
                    "LIMIT 4096"),
                {aircraft, afterDate, afterDate, afterId});
            !read.ok())
            return read;
        std::vector<Walked> block;
        std::vector<RecordValues> words;
        std::vector<bool> declared;
        while (query.next()) {
            Walked walked;
            walked.id = query.value(0).toLongLong();
            walked.taken = query.value(1).toString();
            if (!WordsFromText(query.value(2).toString(), walked.words))
                return damaged(QStringLiteral("read-out %1 holds no record").arg(walked.id));
            walked.record = query.value(3).toLongLong();
            walked.fileName = query.value(4).toString();
            walked.added = query.value(5).toString();
            walked.addedBy = query.value(6).toString();
            walked.declaredReset = query.value(7).toInt() != 0;
            words.push_back(walked.words);
            declared.push_back(walked.declaredReset);
            block.push_back(std::move(walked));
        }
        query.finish();
        if (block.empty())
            return {};
        // What is kept is never refused: a fall that nothing explains counts as after a reset
        // and the history says it is inconsistent.
        const DerivedPeriods derived = DerivePeriods(
            mode, previous, words, declared, InconsistentFall::Keep, [&](int index) {
                return QStringLiteral("read-out %1").arg(index < 0 ? previousId : block[index].id);
            });
        for (size_t i = 0; i < block.size(); ++i) {
            block[i].period = derived.periods[i];
            block[i].previousId = i > 0 ? block[i - 1].id : previousId;
            if (i > 0 || previous)
                block[i].previousWords = i > 0 ? block[i - 1].words : *previous;
        }
        for (const auto &[index, text] : derived.resets)
            block[index].reset = text;
        if (Result taken = take(block); !taken.ok())
            return taken;
        previous = block.back().words;
        previousId = afterId = block.back().id;
        afterDate = block.back().taken;
    }
}

Result Register::Private::rebuildUsage(qint64 aircraft, CombineMode mode,
    const LocationsDamage &damage, const QString &from, qint64 firstNew,
    std::vector<ResetFound> *resets)
{
    for (const char *table : {"usage_by_day", "location_damage_by_day"}) {
        if (Result cleared = db.run(QStringLiteral("DELETE FROM %1 WHERE aircraft_id = ? AND "
                                                   "taken_on >= ?")
                                        .arg(QLatin1String(table)),
                {aircraft, from.isEmpty() ? QStringLiteral("") : from});
            !cleared.ok())
            return cleared;
    }
    UsageDays days;
    if (Result walked = walkReadouts(aircraft, mode, from,
            [&](const std::vector<Walked> &block) {
                for (const Walked &readout : block) {
                    days[readout.taken].add(readout.period, damage);
                    const bool changed = readout.id >= firstNew || readout.previousId >= firstNew;
                    // An addition that lands between kept read-outs is refused as any other.
                    if (resets && changed && readout.period.kind == RunningKind::Inconsistent)
                        return Result(Result::Invalid,
                            InconsistentFallText(
                                ClassifyRunning(readout.previousWords, readout.words),
                                QStringLiteral("read-out %1").arg(readout.previousId),
                                QStringLiteral("read-out %1").arg(readout.id))
                                + InconsistentFallHint);
                    if (resets && changed && !readout.reset.isEmpty())
                        resets->push_back({readout.id, readout.reset});
                }
                return Result();
            });
        !walked.ok())
        return walked;
    return AddUsage(db, aircraft, days);
}

Result Register::Private::rebuildAllUsage(std::optional<qint64> onlyType)
{
    std::vector<AircraftInfo> aircraft;
    if (Result read = allAircraft(aircraft); !read.ok())
        return read;
    std::vector<qint64> ofType;
    if (onlyType) {
        QSqlQuery query;
        const QueryFinisher finisher(query);
        if (Result read = db.run(
                query, QStringLiteral("SELECT id FROM aircraft WHERE type_id = ?"), {*onlyType});
            !read.ok())
            return read;
        while (query.next())
            ofType.push_back(query.value(0).toLongLong());
    }
    for (const AircraftInfo &info : aircraft) {
        const bool takesType = std::find(ofType.begin(), ofType.end(), info.id) != ofType.end()
            && info.structureSource() != StructureSource::Aircraft;
        if (onlyType && !takesType)
            continue;
        if (Result rebuilt
            = rebuildUsage(info.id, info.mode, DamageOf(info), QString(), 0, nullptr);
            !rebuilt.ok())
            return rebuilt;
    }
    return {};
}

RemoveResult Register::remove(const QString &registration, qint64 readout)
{
    RegisterDatabase &db = d->db;
    const auto refused = [](const Result &why) {
        return failed<RemoveResult>(
            Result(why.failure(), why.message() + QStringLiteral(" Nothing was removed.")));
    };
    if (Result begun = db.beginWrite(); !begun.ok())
        return refused(begun);
    TransactionGuard guard(db);
    AircraftInfo aircraft;
    if (Result read = d->knownAircraft(registration, aircraft); !read.ok())
        return refused(read);
    QSqlQuery query;
    const QueryFinisher finisher(query);
    if (Result read = db.run(query,
            QStringLiteral("SELECT taken_on, addition_id FROM readouts WHERE id = ? AND "
                           "aircraft_id = ?"),
            {readout, aircraft.id});
        !read.ok())
        return refused(read);
    if (!query.next())
        return refused(Result(Result::Invalid,
            QStringLiteral("The aircraft \"%1\" has no read-out %2 in the register \"%3\" (its "
                           "history lists its read-outs).")
                .arg(aircraft.registration, QString::number(readout), d->name())));
    const QString taken = query.value(0).toString();
    const qint64 addition = query.value(1).toLongLong();
    query.finish();

    // The read-out as it was, with its period.
    RemoveResult result;
    if (Result walked = d->walkReadouts(aircraft.id, aircraft.mode, taken,
            [&](const std::vector<Private::Walked> &block) {
                for (const Private::Walked &walked : block) {
                    if (walked.id != readout)
                        continue;
                    result.removed = Private::periodOf(walked);
                    return Result(Result::Cancelled, QString());
                }
                return Result();
            });
        !walked.ok() && walked.failure() != Result::Cancelled)
        return refused(walked);

    if (Result deleted = db.run(QStringLiteral("DELETE FROM readouts WHERE id = ?"), {readout});
        !deleted.ok())
        return refused(deleted);
    if (Result deleted = db.run(QStringLiteral("DELETE FROM additions WHERE id = ? AND NOT EXISTS "
                                               "(SELECT 1 FROM readouts WHERE addition_id = ?)"),
            {addition, addition});
        !deleted.ok())
        return refused(deleted);
    if (Result usage
        = d->rebuildUsage(aircraft.id, aircraft.mode, DamageOf(aircraft), taken, 0, nullptr);
        !usage.ok())
        return refused(usage);
    if (Result committed = guard.commit(); !committed.ok())
        return refused(committed);
    return result;
}
