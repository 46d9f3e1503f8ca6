#include "Register.h"

#include "RegisterPrivate.h"

// An aircraft's history: each period with its damage and the sums up to it, and what its
// forecast is made from.
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

HistoryResult Register::history(const QString &registration, const QString &location)
{
    RegisterDatabase &db = d->db;
    if (Result begun = db.beginRead(); !begun.ok())
        return failed<HistoryResult>(begun);
    TransactionGuard guard(db);
    HistoryResult result;
    AircraftInfo aircraft;
    if (Result read = d->knownAircraft(registration, aircraft); !read.ok())
        return failed<HistoryResult>(read);
    size_t shown = 0;
    if (Result chosen = d->locationShown(aircraft, location, shown, result.locations); !chosen.ok())
        return failed<HistoryResult>(chosen);
    result.aircraft = aircraft.atLocation(shown);
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
    input.thresholds = history.aircraft.thresholds();
    QString why;
    input.prior = PriorOf(history.aircraft, why);
    input.periods.reserve(history.periods.size());
    for (const HistoryPeriod &period : history.periods)
        input.periods.push_back({period.from, period.taken, period.hours, *period.damage});
    return input;
}
