#include "Register.h"

#include "RegisterPrivate.h"

// The figures of an aircraft with named locations: the damage of each location's periods summed
// (the first's in usage_by_day, the others' in location_damage_by_day), and the location shown.

Result Register::Private::locationTallies(
    const std::optional<QDate> &since, LocationTallies &tallies, std::optional<qint64> only)
{
    QVariantList values;
    const QString where = DaysWhere(since, only, values);
    QSqlQuery query;
    const QueryFinisher finisher(query);
    if (Result read = db.run(query,
            QStringLiteral("SELECT aircraft_id, location, SUM(refused), SUM(d_counted), "
                           "SUM(upper_missing), SUM(d_upper) FROM location_damage_by_day")
                + where + QStringLiteral(" GROUP BY aircraft_id, location"),
            values);
        !read.ok())
        return read;
    while (query.next()) {
        const qint64 location = query.value(1).toLongLong();
        if (location < 1 || location > 10000)
            return damaged(QStringLiteral("a location's damage has no location"));
        std::vector<DamageTally> &of = tallies[query.value(0).toLongLong()];
        if (of.size() < size_t(location))
            of.resize(size_t(location));
        DamageTally &tally = of[size_t(location - 1)];
        tally.refused = query.value(2).toLongLong();
        tally.counted = query.value(3).toDouble();
        tally.upperMissing = query.value(4).toLongLong();
        tally.upper = query.value(5).toDouble();
    }
    return {};
}

namespace {
// Every location's tally: the first's, then those after it (none where no day has any).
std::vector<DamageTally> allTallies(
    const DamageTally &first, const std::vector<DamageTally> &after, size_t count)
{
    std::vector<DamageTally> tallies {first};
    tallies.insert(tallies.end(), after.begin(), after.end());
    tallies.resize(count);
    return tallies;
}
} // namespace

size_t CriticalLocation(const AircraftInfo &aircraft, const UsageFigures &total,
    const std::vector<DamageTally> &tallies, std::vector<LocationLifeUsed> &each)
{
    size_t best = 0;
    std::optional<double> most;
    each.clear();
    for (size_t i = 0; i < aircraft.structure().locations.size(); ++i) {
        const AircraftInfo at = aircraft.atLocation(i);
        QString why;
        UsageFigures figures = total;
        ComputeListUsage(figures, i < tallies.size() ? tallies[i] : DamageTally(), at.structure(),
            at.design, PriorOf(at, why));
        const std::optional<double> used
            = figures.summed ? std::optional(figures.summed->lifeUsedPercent) : std::nullopt;
        each.push_back({at.location, used});
        if (used && (!most || *used > *most)) {
            best = i;
            most = used;
        }
    }
    return best;
}

size_t ShowAtCriticalLocation(AircraftUsage &row, const AircraftInfo &aircraft,
    const UsageFigures &total, DamageTally &tally, DamageTally *window,
    const std::vector<DamageTally> &wholeAt, const std::vector<DamageTally> &windowAt)
{
    const size_t count = aircraft.structure().locations.size();
    if (count < 2) {
        row.aircraft = aircraft.atLocation(0);
        return 0;
    }
    const std::vector<DamageTally> tallies = allTallies(tally, wholeAt, count);
    const size_t at = CriticalLocation(aircraft, total, tallies, row.locations);
    row.aircraft = aircraft.atLocation(at);
    tally = tallies[at];
    if (window && at > 0)
        *window = at - 1 < windowAt.size() ? windowAt[at - 1] : DamageTally();
    return at;
}

Result Register::Private::locationShown(const AircraftInfo &aircraft, const QString &name,
    size_t &index, std::vector<LocationLifeUsed> &each)
{
    const StructuralData &structure = aircraft.structure();
    index = 0;
    each.clear();
    if (!name.isEmpty()) {
        const std::optional<size_t> named = structure.locationIndex(name);
        if (!named) {
            QStringList names;
            for (const StructuralLocation &location : structure.locations)
                names << QLatin1Char('"') + location.name + QLatin1Char('"');
            return Result(Result::Invalid,
                names.isEmpty()
                    ? QStringLiteral("%1 has no named locations, so none called \"%2\".")
                          .arg(aircraft.registration, name)
                    : QStringLiteral("%1 has no location \"%2\"; its locations are %3.")
                          .arg(aircraft.registration, name, names.join(QStringLiteral(", "))));
        }
        index = *named;
    }
    if (structure.locations.size() < 2)
        return {};
    UsageFigures total;
    DamageTally first;
    if (Result read = usageByAircraft(
            std::nullopt,
            [&](qint64, UsageFigures &&usage, const DamageTally &tally) {
                total = std::move(usage);
                first = tally;
            },
            aircraft.id);
        !read.ok())
        return read;
    LocationTallies more;
    if (Result read = locationTallies(std::nullopt, more, aircraft.id); !read.ok())
        return read;
    const std::vector<DamageTally> tallies
        = allTallies(first, more[aircraft.id], structure.locations.size());
    const size_t critical = CriticalLocation(aircraft, total, tallies, each);
    if (name.isEmpty())
        index = critical;
    return {};
}
