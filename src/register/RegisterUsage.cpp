#include "Register.h"

#include "RegisterPrivate.h"

#include <QSet>

#include <algorithm>
#include <map>

namespace {
const int Level3g = *LevelAt(3.0);
const int LevelMinus1g = *LevelAt(-1.0);

// The life used that ranks an aircraft, when there is one.
const SummedDamage *summed(const UsageFigures &usage)
{
    return usage.summed ? &*usage.summed : nullptr;
}

// The figures of the summed periods' damage over the usage's hours; life used with the hours
// before the recorder, when they count.
SummedDamage summedDamage(const DamageTally &tally, double hours,
    const DamageParameters &parameters, const std::optional<PriorHours> &prior)
{
    SummedDamage sums;
    const double sf = parameters.scatterFactor;
    sums.damage = tally.counted;
    sums.damagePer1000h = 1000 * tally.counted / hours;
    sums.damageToDate = tally.counted + (prior ? prior->damage(Estimate::Counted) : 0);
    sums.lifeUsedPercent = LifeUsedPercent(sums.damageToDate, sf);
    if (tally.upperMissing == 0) {
        sums.upper = tally.upper;
        sums.upperLifeUsedPercent
            = LifeUsedPercent(tally.upper + (prior ? prior->damage(Estimate::Upper) : 0), sf);
    }
    if (prior)
        sums.priorHours = prior->hours;
    if (parameters.designLife)
        sums.designLifeRate = sf * tally.counted * *parameters.designLife / hours;
    return sums;
}
} // namespace

namespace {
// The type's design spectrum's damage to weigh an aircraft's by, or none with the note why.
std::optional<DesignDamage> designDamageFor(UsageFigures &usage, const StructuralData &structure,
    const std::optional<StoredDesignSpectrum> &design, bool damage)
{
    if (!design) {
        usage.severityNote = QStringLiteral("no design spectrum for its type");
        return std::nullopt;
    }
    if (!damage) {
        usage.severityNote = QStringLiteral("no damage figure");
        return std::nullopt;
    }
    DesignDamage designed
        = ComputeDesignDamage(design->spectrum, structure.limits, *structure.damage);
    if (!designed.ok()) {
        usage.severityNote = designed.message();
        return std::nullopt;
    }
    return designed;
}

// The severity of the damage of the summed counts against the type's design spectrum.
void computeSeverity(UsageFigures &usage, const StructuralData &structure,
    const std::optional<StoredDesignSpectrum> &design)
{
    if (const std::optional<DesignDamage> designed
        = designDamageFor(usage, structure, design, usage.damage.has_value()))
        usage.severity = SeverityAgainst(*usage.damage, *designed);
}
} // namespace

namespace {
// The hours, the limit-load bounds and the exceedances per 1000 h of the summed counts.
void computeCountFigures(UsageFigures &usage, const StructuralData &structure)
{
    usage.hours = double(usage.seconds) / 3600.0;
    usage.overLimit = BoundLimitExceedances(usage.counts, structure.limits);
    if (usage.seconds > 0) {
        const ExceedanceTable table = ComputeExceedances(usage.counts, usage.hours, AxisChoice());
        usage.per1000hAt3g = table.rows[Level3g].per1000h;
        usage.per1000hAtMinus1g = table.rows[LevelMinus1g].per1000h;
    }
}

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
    computeCountFigures(usage, structure);
    computeDamage(usage, structure);
    computeSeverity(usage, structure, design);
}

namespace {
// The severity of the periods' summed damage per 1000 h against the type's design spectrum.
void computeListSeverity(UsageFigures &usage, const StructuralData &structure,
    const std::optional<StoredDesignSpectrum> &design)
{
    const std::optional<DesignDamage> designed
        = designDamageFor(usage, structure, design, usage.summed.has_value());
    if (!designed)
        return;
    const SummedDamage &summed = *usage.summed;
    DamageEstimate counted;
    counted.available = true;
    counted.damagePer1000h = summed.damagePer1000h;
    DamageEstimate upper;
    upper.available = summed.upper.has_value();
    upper.damagePer1000h = 1000 * summed.upper.value_or(0) / usage.hours;
    usage.severity
        = Severity {SeverityOf(counted, designed->counted), SeverityOf(upper, designed->upper)};
}

} // namespace

// The list's figures: the exceedances of the summed counts, and life used from the periods'
// damage summed.
void ComputeListUsage(UsageFigures &usage, const DamageTally &tally,
    const StructuralData &structure, const std::optional<StoredDesignSpectrum> &design,
    const std::optional<PriorHours> &prior)
{
    computeCountFigures(usage, structure);
    // Structural data kept by an older version may overflow the figures now refused.
    const Result checked = structure.damage ? CheckDamageParameters(*structure.damage) : Result();
    if (!structure.damage)
        usage.damageNote = QStringLiteral("no S-N data");
    else if (!checked.ok())
        usage.damageNote = checked.message();
    else if (usage.seconds <= 0)
        usage.damageNote = QStringLiteral("no active work time");
    else if (tally.refused > 0)
        usage.damageNote = QStringLiteral("the damage of %1 period(s) was refused (register "
                                          "history says why)")
                               .arg(tally.refused);
    else
        usage.summed = summedDamage(tally, usage.hours, *structure.damage, prior);
    computeListSeverity(usage, structure, design);
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

namespace {
DamageTally readTally(const QSqlQuery &query, int first)
{
    DamageTally tally;
    tally.refused = query.value(first).toLongLong();
    tally.counted = query.value(first + 1).toDouble();
    tally.upperMissing = query.value(first + 2).toLongLong();
    tally.upper = query.value(first + 3).toDouble();
    return tally;
}

QString damageSums(const QString &prefix = QString())
{
    QStringList sums;
    for (const QString &column : DamageColumns(prefix).split(QStringLiteral(", ")))
        sums << QStringLiteral("SUM(%1)").arg(column);
    return sums.join(QStringLiteral(", "));
}
} // namespace

Result Register::Private::usageByAircraft(const std::optional<QDate> &since,
    const std::function<void(qint64 aircraft, UsageFigures &&, const DamageTally &)> &take,
    std::optional<qint64> only)
{
    // The whole history is kept summed; a window is summed from its days.
    const QString select = since
        ? UsageTotalsSelect()
        : QStringLiteral("SELECT aircraft_id, readouts, first_taken, last_taken, ") + CountColumns()
            + QStringLiteral(", active_seconds, ") + DamageColumns()
            + QStringLiteral(" FROM usage_totals");
    QSqlQuery query;
    const QueryFinisher finisher(query);
    QVariantList values;
    const QString where = DaysWhere(since, only, values);
    if (Result read = db.run(query,
            select + where + (since ? QStringLiteral(" GROUP BY aircraft_id") : QString()), values);
        !read.ok())
        return read;
    while (query.next()) {
        UsageFigures usage;
        usage.readouts = query.value(1).toLongLong();
        usage.firstTaken = DateFromText(query.value(2).toString());
        usage.lastTaken = DateFromText(query.value(3).toString());
        for (int level = 0; level < LevelCount; ++level)
            usage.counts[level] = query.value(4 + level).toLongLong();
        usage.seconds = query.value(4 + LevelCount).toLongLong();
        take(query.value(0).toLongLong(), std::move(usage), readTally(query, 5 + LevelCount));
    }
    return {};
}

// The sums a forecast takes of one aircraft's whole history (`whole`, from usage_totals) and of
// its window: the days from the window's start on, less the first period of the earliest of
// them, which starts before the window (or is the aircraft's first read-out).
Result Register::Private::forecastSums(qint64 aircraft, const UsageFigures &whole,
    const DamageTally &tally, int windowDays, size_t location, ForecastSums &sums)
{
    sums.readouts = whole.readouts;
    sums.lastTaken = whole.lastTaken;
    sums.hoursToDate = whole.hours;
    if (tally.refused > 0) {
        for (ForecastSums::Damage &damage : sums.damage)
            damage.reason = QStringLiteral("the damage of %1 period(s) was refused (register "
                                           "history says why)")
                                .arg(tally.refused);
    } else {
        sums.damage[0].toDate = tally.counted;
        if (tally.upperMissing == 0)
            sums.damage[1].toDate = tally.upper;
        else
            sums.damage[1].reason = QStringLiteral("%1 period(s) have no upper bound (register "
                                                   "history says why)")
                                        .arg(tally.upperMissing);
    }
    if (whole.readouts < 2)
        return {};
    const QString start = DateText(whole.lastTaken.addDays(-qint64(windowDays)));
    QSqlQuery query;
    const QueryFinisher finisher(query);
    if (Result read = db.run(query,
            QStringLiteral("SELECT SUM(readouts), SUM(active_seconds), ") + damageSums()
                + QStringLiteral(", MIN(taken_on) FROM usage_by_day WHERE aircraft_id = ? AND "
                                 "taken_on >= ?"),
            {aircraft, start});
        !read.ok() || !query.next())
        return read;
    const qint64 readouts = query.value(0).toLongLong();
    std::int64_t seconds = query.value(1).toLongLong();
    DamageTally window = readTally(query, 2);
    const QString first = query.value(6).toString();
    if (readouts == 0)
        return {};
    if (Result read = db.run(query,
            QStringLiteral("SELECT first_seconds, ") + DamageColumns(QStringLiteral("first_"))
                + QStringLiteral(" FROM usage_by_day WHERE aircraft_id = ? AND taken_on = ?"),
            {aircraft, first});
        !read.ok() || !query.next())
        return read.ok() ? damaged(QStringLiteral("a day of usage vanished")) : read;
    seconds -= query.value(0).toLongLong();
    DamageTally outside = readTally(query, 1);
    // At a location after the first, the damage is its own table's.
    if (location > 0) {
        const QString from = QStringLiteral(
            " FROM location_damage_by_day WHERE aircraft_id = ? AND location = ? AND taken_on ");
        if (Result read = db.run(query,
                QStringLiteral("SELECT ") + damageSums() + from + QStringLiteral(">= ?"),
                {aircraft, qint64(location), start});
            !read.ok() || !query.next())
            return read;
        window = readTally(query, 0);
        if (Result read = db.run(query,
                QStringLiteral("SELECT ") + DamageColumns(QStringLiteral("first_")) + from
                    + QStringLiteral("= ?"),
                {aircraft, qint64(location), first});
            !read.ok() || !query.next())
            return read.ok() ? damaged(QStringLiteral("a day of a location's damage vanished"))
                             : read;
        outside = readTally(query, 0);
    }
    sums.windowStart = DateFromText(first);
    sums.periods = readouts - 1;
    sums.hoursInWindow = double(seconds) / 3600.0;
    sums.damage[0].inWindow = window.counted - outside.counted;
    sums.damage[1].inWindow = window.upper - outside.upper;
    return {};
}

UsageListResult Register::Private::usageList(
    const std::optional<QDate> &since, bool ranked, int rateWindowDays, const QDate &today)
{
    if (Result begun = db.beginRead(); !begun.ok())
        return failed<UsageListResult>(begun);
    TransactionGuard guard(db);
    std::vector<AircraftInfo> aircraft;
    if (Result read = allAircraft(aircraft); !read.ok())
        return failed<UsageListResult>(read);
    std::map<qint64, std::pair<UsageFigures, DamageTally>> whole;
    std::map<qint64, std::pair<UsageFigures, DamageTally>> window;
    const auto into = [](auto &map) {
        return [&map](qint64 id, UsageFigures &&usage, const DamageTally &tally) {
            map[id] = {std::move(usage), tally};
        };
    };
    if (Result read = usageByAircraft(std::nullopt, into(whole)); !read.ok())
        return failed<UsageListResult>(read);
    if (since) {
        if (Result read = usageByAircraft(since, into(window)); !read.ok())
            return failed<UsageListResult>(read);
    }
    LocationTallies wholeAt;
    LocationTallies windowAt;
    if (Result read = locationTallies(std::nullopt, wholeAt); !read.ok())
        return failed<UsageListResult>(read);
    if (since) {
        if (Result read = locationTallies(since, windowAt); !read.ok())
            return failed<UsageListResult>(read);
    }
    std::map<qint64, QDate> inspections;
    if (ranked) {
        if (Result read = lastInspections(inspections); !read.ok())
            return failed<UsageListResult>(read);
    }

    UsageListResult result;
    result.since = since;
    for (const AircraftInfo &info : aircraft) {
        AircraftUsage row;
        auto &[total, tally] = whole[info.id];
        std::pair<UsageFigures, DamageTally> *recent = since ? &window[info.id] : nullptr;
        const size_t at = ShowAtCriticalLocation(row, info, total, tally,
            recent ? &recent->second : nullptr, wholeAt[info.id], windowAt[info.id]);
        if (Result made = listRow(row, total, tally, recent,
                ranked ? std::optional<int>(rateWindowDays) : std::nullopt, at);
            !made.ok())
            return failed<UsageListResult>(made);
        if (ranked) {
            const auto inspection = inspections.find(info.id);
            if (Result checked = checkRow(row, since ? total : row.usage,
                    inspection == inspections.end() ? std::nullopt
                                                    : std::optional<QDate>(inspection->second),
                    today);
                !checked.ok())
                return failed<UsageListResult>(checked);
        }
        result.aircraft.push_back(std::move(row));
    }
    guard.commit();
    if (ranked)
        RankFleet(result.aircraft);
    else
        std::sort(result.aircraft.begin(), result.aircraft.end(), ByRegistration);
    return result;
}

Result Register::Private::listRow(AircraftUsage &row, UsageFigures &total, const DamageTally &tally,
    std::pair<UsageFigures, DamageTally> *window, std::optional<int> rateWindowDays,
    size_t location)
{
    const StructuralData &structure = row.aircraft.structure();
    const std::optional<PriorHours> prior = PriorOf(row.aircraft, row.priorNote);
    if (rateWindowDays && structure.damage && CheckDamageParameters(*structure.damage).ok()) {
        ForecastSums sums;
        total.hours = double(total.seconds) / 3600.0;
        if (Result read
            = forecastSums(row.aircraft.id, total, tally, *rateWindowDays, location, sums);
            !read.ok())
            return read;
        ForecastInput settings;
        settings.scatterFactor = structure.damage->scatterFactor;
        settings.windowDays = *rateWindowDays;
        settings.thresholds = row.aircraft.thresholds();
        settings.prior = prior;
        row.forecast = ForecastFromSums(sums, settings);
    }
    ComputeListUsage(total, tally, structure, row.aircraft.design, prior);
    if (!window) {
        row.usage = std::move(total);
        if (const SummedDamage *figures = summed(row.usage); figures && figures->damage > 0) {
            row.hoursLeft = (1 / structure.damage->scatterFactor - figures->damageToDate)
                * row.usage.hours / figures->damage;
            row.exhausted = *row.hoursLeft < 0;
        }
        return {};
    }
    row.usage = std::move(window->first);
    // The window's own figures, without the hours before the recorder.
    ComputeListUsage(row.usage, window->second, structure, row.aircraft.design, std::nullopt);
    const SummedDamage *recent = summed(row.usage);
    const SummedDamage *all = summed(total);
    if (all)
        row.lifeUsedToDatePercent = all->lifeUsedPercent;
    // What is left after the whole history, at the rate of the window.
    if (recent && all && recent->damage > 0) {
        const double left = (1.0 / structure.damage->scatterFactor - all->damageToDate)
            * row.usage.hours / recent->damage;
        row.hoursLeft = left;
        row.exhausted = left < 0;
    }
    return {};
}

bool ByRegistration(const AircraftUsage &a, const AircraftUsage &b)
{
    return NameKey(a.aircraft.registration) < NameKey(b.aircraft.registration);
}

void RankFleet(std::vector<AircraftUsage> &fleet)
{
    std::sort(fleet.begin(), fleet.end(), [](const AircraftUsage &a, const AircraftUsage &b) {
        const SummedDamage *x = summed(a.usage);
        const SummedDamage *y = summed(b.usage);
        if (!x || !y)
            return x != nullptr && y == nullptr ? true
                : x == nullptr && y != nullptr  ? false
                                                : ByRegistration(a, b);
        if (x->lifeUsedPercent != y->lifeUsedPercent)
            return x->lifeUsedPercent > y->lifeUsedPercent;
        if (x->damagePer1000h != y->damagePer1000h)
            return x->damagePer1000h > y->damagePer1000h;
        return ByRegistration(a, b);
    });
    int rank = 0;
    for (AircraftUsage &row : fleet)
        row.rank = summed(row.usage) ? ++rank : 0;
}

UsageListResult Register::list()
{
    return d->usageList(std::nullopt, false, 0, QDate());
}

UsageListResult Register::fleet(
    const std::optional<QDate> &since, int rateWindowDays, const QDate &today)
{
    // Dates are compared as their text, which sorts as the dates do only with four-digit years.
    if (since && !IsRegisterDate(*since))
        return failed<UsageListResult>(Result(Result::Invalid,
            QStringLiteral("The date %1 is outside the years 1 to 9999 that the register keeps.")
                .arg(since->toString(Qt::ISODate))));
    return d->usageList(
        since, true, rateWindowDays, today.isValid() ? today : QDate::currentDate());
}
