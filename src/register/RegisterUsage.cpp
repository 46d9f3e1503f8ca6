#include "Register.h"

#include "RegisterPrivate.h"

#include <QSet>

#include <algorithm>
#include <map>

namespace {
const int Level3g = *LevelAt(3.0);
const int LevelMinus1g = *LevelAt(-1.0);

// The counted estimate's damage and life, when there is one.
const DamageEstimate *counted(const UsageFigures &usage)
{
    return usage.damage ? &usage.damage->counted : nullptr;
}
} // namespace

namespace {
// The severity of the damage against the type's design spectrum, or why there is none.
void computeSeverity(UsageFigures &usage, const StructuralData &structure,
    const std::optional<StoredDesignSpectrum> &design)
{
    if (!design) {
        usage.severityNote = QStringLiteral("no design spectrum for its type");
        return;
    }
    if (!usage.damage) {
        usage.severityNote = QStringLiteral("no damage figure");
        return;
    }
    const DesignDamage designed
        = ComputeDesignDamage(design->spectrum, structure.limits, *structure.damage);
    if (!designed.ok()) {
        usage.severityNote = designed.message();
        return;
    }
    usage.severity = SeverityAgainst(*usage.damage, designed);
}
} // namespace

namespace {
void computeDamage(UsageFigures &usage, const StructuralData &structure)
{
    if (!structure.damage) {
        usage.damageNote = QStringLiteral("no S-N data");
        return;
    }
    if (usage.seconds <= 0) {
        usage.damageNote = QStringLiteral("no active work time");
        return;
    }
    DamageResult damage = ComputeDamage(usage.counts, usage.hours, *structure.damage);
    if (!damage.ok()) {
        usage.damageNote = damage.message();
        return;
    }
    usage.damage = std::move(damage);
}
} // namespace

void ComputeUsage(UsageFigures &usage, const StructuralData &structure,
    const std::optional<StoredDesignSpectrum> &design)
{
    usage.hours = double(usage.seconds) / 3600.0;
    usage.overLimit = BoundLimitExceedances(usage.counts, structure.limits);
    if (usage.seconds > 0) {
        const ExceedanceTable table = ComputeExceedances(usage.counts, usage.hours, AxisChoice());
        usage.per1000hAt3g = table.rows[Level3g].per1000h;
        usage.per1000hAtMinus1g = table.rows[LevelMinus1g].per1000h;
    }
    computeDamage(usage, structure);
    computeSeverity(usage, structure, design);
}

CombinedCounts CombinedOf(const UsageFigures &usage)
{
    CombinedCounts combined;
    if (usage.seconds <= 0) {
        combined.setFailure(Result::Invalid,
            QStringLiteral("No active work time in these read-outs: exceedances per hour cannot "
                           "be computed (T = 0)."));
        return combined;
    }
    combined.counts = usage.counts;
    combined.seconds = usage.seconds;
    combined.hours = double(usage.seconds) / 3600.0;
    combined.periods.push_back({0, false, usage.counts, usage.seconds});
    return combined;
}

Result Register::Private::usageByAircraft(const std::optional<QDate> &since,
    const std::function<void(qint64 aircraft, UsageFigures &&)> &take)
{
    QStringList sums;
    for (int level = 0; level < LevelCount; ++level)
        sums << QStringLiteral("SUM(c%1)").arg(level);
    const QString select = QStringLiteral("SELECT aircraft_id, SUM(readouts), MIN(taken_on), "
                                          "MAX(taken_on), ")
        + sums.join(QStringLiteral(", "))
        + QStringLiteral(", SUM(active_seconds) FROM usage_by_day");
    QSqlQuery query;
    const QueryFinisher finisher(query);
    const Result read = since
        ? db.run(query, select + QStringLiteral(" WHERE taken_on >= ? GROUP BY aircraft_id"),
            {DateText(*since)})
        : db.run(query, select + QStringLiteral(" GROUP BY aircraft_id"));
    if (!read.ok())
        return read;
    while (query.next()) {
        UsageFigures usage;
        usage.readouts = query.value(1).toLongLong();
        usage.firstTaken = DateFromText(query.value(2).toString());
        usage.lastTaken = DateFromText(query.value(3).toString());
        for (int level = 0; level < LevelCount; ++level)
            usage.counts[level] = query.value(4 + level).toLongLong();
        usage.seconds = query.value(4 + LevelCount).toLongLong();
        take(query.value(0).toLongLong(), std::move(usage));
    }
    return {};
}

UsageListResult Register::Private::usageList(const std::optional<QDate> &since, bool ranked)
{
    if (Result begun = db.beginRead(); !begun.ok())
        return failed<UsageListResult>(begun);
    TransactionGuard guard(db);
    std::vector<AircraftInfo> aircraft;
    if (Result read = allAircraft(aircraft); !read.ok())
        return failed<UsageListResult>(read);
    std::map<qint64, UsageFigures> whole;
    std::map<qint64, UsageFigures> window;
    if (Result read = usageByAircraft(std::nullopt,
            [&whole](qint64 id, UsageFigures &&usage) { whole[id] = std::move(usage); });
        !read.ok())
        return failed<UsageListResult>(read);
    if (since) {
        if (Result read = usageByAircraft(since,
                [&window](qint64 id, UsageFigures &&usage) { window[id] = std::move(usage); });
            !read.ok())
            return failed<UsageListResult>(read);
    }
    guard.commit();

    UsageListResult result;
    result.since = since;
    for (const AircraftInfo &info : aircraft) {
        AircraftUsage row;
        row.aircraft = info;
        const StructuralData &structure = info.structure();
        UsageFigures total = whole[info.id];
        ComputeUsage(total, structure, info.design);
        if (!since) {
            row.usage = std::move(total);
            if (const DamageEstimate *estimate = counted(row.usage)) {
                row.hoursLeft = estimate->life.hoursLeft;
                row.exhausted = estimate->life.exhausted;
            }
        } else {
            row.usage = window[info.id];
            ComputeUsage(row.usage, structure, info.design);
            const DamageEstimate *recent = counted(row.usage);
            const DamageEstimate *all = counted(total);
            if (all)
                row.lifeUsedToDatePercent = all->life.usedPercent;
            // What is left after the whole history, at the rate of the window.
            if (recent && all && recent->damage > 0) {
                const double left = (1.0 / structure.damage->scatterFactor - all->damage)
                    * row.usage.hours / recent->damage;
                row.hoursLeft = left;
                row.exhausted = left < 0;
            }
        }
        result.aircraft.push_back(std::move(row));
    }

    const auto byRegistration = [](const AircraftUsage &a, const AircraftUsage &b) {
        return NameKey(a.aircraft.registration) < NameKey(b.aircraft.registration);
    };
    if (!ranked) {
        std::sort(result.aircraft.begin(), result.aircraft.end(), byRegistration);
        return result;
    }
    std::sort(result.aircraft.begin(), result.aircraft.end(),
        [&byRegistration](const AircraftUsage &a, const AircraftUsage &b) {
            const DamageEstimate *x = counted(a.usage);
            const DamageEstimate *y = counted(b.usage);
            if (!x || !y)
                return x != nullptr && y == nullptr ? true
                    : x == nullptr && y != nullptr  ? false
                                                    : byRegistration(a, b);
            if (x->life.usedPercent != y->life.usedPercent)
                return x->life.usedPercent > y->life.usedPercent;
            if (x->damagePer1000h != y->damagePer1000h)
                return x->damagePer1000h > y->damagePer1000h;
            return byRegistration(a, b);
        });
    int rank = 0;
    for (AircraftUsage &row : result.aircraft)
        row.rank = counted(row.usage) ? ++rank : 0;
    return result;
}

UsageListResult Register::list()
{
    return d->usageList(std::nullopt, false);
}

UsageListResult Register::fleet(const std::optional<QDate> &since)
{
    // Dates are compared as their text, which sorts as the dates do only with four-digit years.
    if (since && !IsRegisterDate(*since))
        return failed<UsageListResult>(Result(Result::Invalid,
            QStringLiteral("The date %1 is outside the years 1 to 9999 that the register keeps.")
                .arg(since->toString(Qt::ISODate))));
    return d->usageList(since, true);
}

namespace {
// Each period's damage, utilisation and limit-load bounds, and the damage summed read-out by
// read-out: Miner's rule adds the periods' damage.
void addLifeOverTime(HistoryResult &history)
{
    const StructuralData &structure = history.aircraft.structure();
    DamageSums sums;
    bool refused = false; // a period's damage refused: no sums from there on
    // Each period bounds its own exceedances; the whole history's bounds are their sums.
    history.overLimit = BoundLimitExceedances(LevelCounts {}, structure.limits);
    for (HistoryPeriod &period : history.periods) {
        period.hoursPer30Days = HoursPer30Days(period.hours, period.from, period.taken);
        period.overLimit = BoundLimitExceedances(period.counts, structure.limits);
        history.overLimit.add(period.overLimit);
        if (!structure.damage)
            continue;
        period.damage = ComputePeriodDamage(period.counts, *structure.damage);
        refused = refused || !period.damage->ok();
        if (refused)
            continue;
        sums.add(*period.damage);
        period.totalDamage = sums;
    }
}
} // namespace

HistoryResult Register::history(const QString &registration)
{
    RegisterDatabase &db = d->db;
    if (Result begun = db.beginRead(); !begun.ok())
        return failed<HistoryResult>(begun);
    TransactionGuard guard(db);
    HistoryResult result;
    if (Result read = d->knownAircraft(registration, result.aircraft); !read.ok())
        return failed<HistoryResult>(read);
    UsageFigures &usage = result.usage;
    QDate from;
    if (Result walked = d->walkReadouts(result.aircraft.id, result.aircraft.mode, QString(),
            [&](const std::vector<Private::Walked> &block) {
                for (const Private::Walked &readout : block) {
                    HistoryPeriod period = Private::periodOf(readout);
                    period.from = from;
                    from = period.taken;
                    for (int level = 0; level < LevelCount; ++level)
                        usage.counts[level] += readout.period.counts[level];
                    usage.seconds += readout.period.seconds;
                    period.totalCounts = usage.counts;
                    period.totalSeconds = usage.seconds;
                    period.totalHours = double(usage.seconds) / 3600.0;
                    if (usage.readouts++ == 0)
                        usage.firstTaken = period.taken;
                    usage.lastTaken = period.taken;
                    result.periods.push_back(std::move(period));
                }
                return Result();
            });
        !walked.ok())
        return failed<HistoryResult>(walked);
    guard.commit();
    ComputeUsage(usage, result.aircraft.structure(), result.aircraft.design);
    addLifeOverTime(result);
    return result;
}

ForecastInput ForecastInputOf(const HistoryResult &history)
{
    ForecastInput input;
    const std::optional<DamageParameters> &damage = history.aircraft.structure().damage;
    if (!damage)
        return input;
    input.scatterFactor = damage->scatterFactor;
    input.periods.reserve(history.periods.size());
    for (const HistoryPeriod &period : history.periods)
        input.periods.push_back({period.from, period.taken, period.hours, *period.damage});
    return input;
}

// --- The usage by day, as the read-outs add to it ----------------------------------------

void DayUsage::add(const StoredPeriod &period)
{
    ++readouts;
    resets += period.afterReset ? 1 : 0;
    for (int level = 0; level < LevelCount; ++level)
        counts[level] += period.counts[level];
    seconds += period.seconds;
}

namespace {
void bindDay(
    QSqlQuery &statement, int &position, qint64 aircraft, const QString &day, const DayUsage &usage)
{
    statement.bindValue(position++, usage.readouts);
    statement.bindValue(position++, usage.resets);
    for (const std::int64_t count : usage.counts)
        statement.bindValue(position++, qint64(count));
    statement.bindValue(position++, qint64(usage.seconds));
    statement.bindValue(position++, aircraft);
    statement.bindValue(position++, day);
}

// The days of `days` that usage_by_day has a row for already.
Result keptDays(
    RegisterDatabase &database, qint64 aircraft, const UsageDays &days, QSet<QString> &kept)
{
    QSqlQuery query;
    const QueryFinisher finisher(query);
    if (Result read = database.run(query,
            QStringLiteral("SELECT taken_on FROM usage_by_day WHERE aircraft_id = ? AND "
                           "taken_on >= ? AND taken_on <= ?"),
            {aircraft, days.begin()->first, days.rbegin()->first});
        !read.ok())
        return read;
    while (query.next())
        kept.insert(query.value(0).toString());
    query.finish();
    return {};
}

Result insertDays(RegisterDatabase &database, qint64 aircraft,
    const std::vector<std::pair<QString, DayUsage>> &fresh)
{
    // Qt hands SQLite every placeholder by name, and SQLite looks names up one by one: a few
    // rows a statement, each statement prepared once.
    constexpr size_t DaysPerInsert = 16;
    const QString row
        = QLatin1Char('(') + QStringLiteral("?, ").repeated(LevelCount + 4) + QStringLiteral("?)");
    Result prepared;
    const auto insert = [&](size_t rows) {
        return database.prepare(QStringLiteral("INSERT INTO usage_by_day (readouts, resets, ")
                + CountColumns()
                + QStringLiteral(", active_seconds, aircraft_id, taken_on) VALUES ")
                + QStringList(qsizetype(rows), row).join(QStringLiteral(", ")),
            prepared);
    };
    QSqlQuery full;
    bool fullPrepared = false;
    for (size_t first = 0; first < fresh.size(); first += DaysPerInsert) {
        const size_t rows = std::min(fresh.size() - first, DaysPerInsert);
        QSqlQuery rest;
        if (rows < DaysPerInsert)
            rest = insert(rows);
        else if (!fullPrepared)
            full = insert(rows), fullPrepared = true;
        QSqlQuery &statement = rows == DaysPerInsert ? full : rest;
        if (!prepared.ok())
            return prepared;
        int position = 0;
        for (size_t i = first; i < first + rows; ++i)
            bindDay(statement, position, aircraft, fresh[i].first, fresh[i].second);
        if (Result inserted = database.execute(statement); !inserted.ok())
            return inserted;
    }
    return {};
}
} // namespace

Result AddUsage(RegisterDatabase &database, qint64 aircraft, const UsageDays &days)
{
    if (days.empty())
        return {};
    // The days kept already are added to; the others are written many rows to a statement, as
    // an addition of many files, each of its own day, makes many.
    QSet<QString> kept;
    if (Result read = keptDays(database, aircraft, days, kept); !read.ok())
        return read;

    QStringList sums;
    for (int level = 0; level < LevelCount; ++level)
        sums << QStringLiteral("c%1 = c%1 + ?").arg(level);
    Result prepared;
    QSqlQuery update = database.prepare(QStringLiteral("UPDATE usage_by_day SET readouts = "
                                                       "readouts + ?, resets = resets + ?, ")
            + sums.join(QStringLiteral(", "))
            + QStringLiteral(", active_seconds = active_seconds + ? "
                             "WHERE aircraft_id = ? AND taken_on = ?"),
        prepared);
    if (!prepared.ok())
        return prepared;
    std::vector<std::pair<QString, DayUsage>> fresh;
    for (const auto &[day, usage] : days) {
        if (!kept.contains(day)) {
            fresh.emplace_back(day, usage);
            continue;
        }
        int position = 0;
        bindDay(update, position, aircraft, day, usage);
        if (Result updated = database.execute(update); !updated.ok())
            return updated;
    }
    return insertDays(database, aircraft, fresh);
}
