#include "RegisterPrivate.h"

#include <QSet>

#include <algorithm>
#include <tuple>

// --- The usage by day, as the read-outs add to it ----------------------------------------

void DamageTally::add(const PeriodDamage &damage)
{
    if (!damage.ok()) {
        ++refused;
        return;
    }
    counted += damage.counted;
    if (damage.upper)
        upper += *damage.upper;
    else
        ++upperMissing;
}

void DayUsage::add(const StoredPeriod &period, const LocationsDamage &locations)
{
    const bool first = readouts++ == 0;
    resets += period.afterReset ? 1 : 0;
    for (int level = 0; level < LevelCount; ++level)
        counts[level] += period.counts[level];
    seconds += period.seconds;
    if (first)
        firstSeconds = period.seconds;
    if (locations.size() > 1)
        more.resize(locations.size() - 1);
    for (size_t i = 0; i < locations.size(); ++i) {
        const PeriodDamage periodDamage = ComputePeriodDamage(period.counts, locations[i]);
        auto [all, firstOnly] = i == 0 ? std::tie(damage, firstDamage)
                                       : std::tie(more[i - 1].first, more[i - 1].second);
        all.add(periodDamage);
        if (first)
            firstOnly.add(periodDamage);
    }
}

LocationsDamage DamageOf(const AircraftInfo &aircraft)
{
    const StructuralData &structure = aircraft.structure();
    LocationsDamage damage;
    for (size_t i = 0; i < structure.locationCount(); ++i)
        damage.push_back(*structure.atLocation(i).damage);
    return damage;
}

namespace {
void bindTally(QSqlQuery &statement, int &position, const DamageTally &tally)
{
    statement.bindValue(position++, tally.refused);
    statement.bindValue(position++, tally.counted);
    statement.bindValue(position++, tally.upperMissing);
    statement.bindValue(position++, tally.upper);
}

// What a day adds to its row; a new row takes the first period's figures too (`fresh`).
void bindDay(QSqlQuery &statement, int &position, qint64 aircraft, const QString &day,
    const DayUsage &usage, bool fresh)
{
    statement.bindValue(position++, usage.readouts);
    statement.bindValue(position++, usage.resets);
    for (const std::int64_t count : usage.counts)
        statement.bindValue(position++, qint64(count));
    statement.bindValue(position++, qint64(usage.seconds));
    bindTally(statement, position, usage.damage);
    if (fresh) {
        statement.bindValue(position++, qint64(usage.firstSeconds));
        bindTally(statement, position, usage.firstDamage);
    }
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
    const QString row = QLatin1Char('(') + QStringLiteral("?, ").repeated(LevelCount + 4 + 9)
        + QStringLiteral("?)");
    Result prepared;
    const auto insert = [&](size_t rows) {
        return database.prepare(QStringLiteral("INSERT INTO usage_by_day (readouts, resets, ")
                + CountColumns() + QStringLiteral(", active_seconds, ") + DamageColumns()
                + QStringLiteral(", first_seconds, ") + DamageColumns(QStringLiteral("first_"))
                + QStringLiteral(", aircraft_id, taken_on) VALUES ")
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
            bindDay(statement, position, aircraft, fresh[i].first, fresh[i].second, true);
        if (Result inserted = database.execute(statement); !inserted.ok())
            return inserted;
    }
    return {};
}
} // namespace

namespace {
// The damage at the locations after the first, added to the rows kept or made.
Result addLocationDamage(RegisterDatabase &database, qint64 aircraft, const UsageDays &days)
{
    Result prepared;
    QSqlQuery update = database.prepare(
        QStringLiteral("UPDATE location_damage_by_day SET refused = refused + ?, d_counted = "
                       "d_counted + ?, upper_missing = upper_missing + ?, d_upper = d_upper + ? "
                       "WHERE aircraft_id = ? AND taken_on = ? AND location = ?"),
        prepared);
    if (!prepared.ok())
        return prepared;
    QSqlQuery insert = database.prepare(QStringLiteral("INSERT INTO location_damage_by_day (")
            + DamageColumns() + QStringLiteral(", ") + DamageColumns(QStringLiteral("first_"))
            + QStringLiteral(", aircraft_id, taken_on, location) VALUES (")
            + QStringLiteral("?, ").repeated(10) + QStringLiteral("?)"),
        prepared);
    if (!prepared.ok())
        return prepared;
    for (const auto &[day, usage] : days) {
        for (size_t i = 0; i < usage.more.size(); ++i) {
            int position = 0;
            bindTally(update, position, usage.more[i].first);
            for (const QVariant &key : {QVariant(aircraft), QVariant(day), QVariant(qint64(i + 1))})
                update.bindValue(position++, key);
            if (Result updated = database.execute(update); !updated.ok())
                return updated;
            if (update.numRowsAffected() > 0)
                continue;
            position = 0;
            bindTally(insert, position, usage.more[i].first);
            bindTally(insert, position, usage.more[i].second);
            for (const QVariant &key : {QVariant(aircraft), QVariant(day), QVariant(qint64(i + 1))})
                insert.bindValue(position++, key);
            if (Result inserted = database.execute(insert); !inserted.ok())
                return inserted;
        }
    }
    return {};
}
} // namespace

namespace {
// The aircraft's row of usage_totals written anew from its days.
Result refreshTotals(RegisterDatabase &database, qint64 aircraft)
{
    if (Result cleared = database.run(
            QStringLiteral("DELETE FROM usage_totals WHERE aircraft_id = ?"), {aircraft});
        !cleared.ok())
        return cleared;
    return database.run(QStringLiteral("INSERT INTO usage_totals ") + UsageTotalsSelect()
            + QStringLiteral(" WHERE aircraft_id = ? GROUP BY aircraft_id"),
        {aircraft});
}

Result addDays(RegisterDatabase &database, qint64 aircraft, const UsageDays &days);
} // namespace

Result AddUsage(RegisterDatabase &database, qint64 aircraft, const UsageDays &days)
{
    if (Result added = addDays(database, aircraft, days); !added.ok())
        return added;
    return refreshTotals(database, aircraft);
}

namespace {
Result addDays(RegisterDatabase &database, qint64 aircraft, const UsageDays &days)
{
    if (days.empty())
        return {};
    if (Result added = addLocationDamage(database, aircraft, days); !added.ok())
        return added;
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
            + QStringLiteral(", active_seconds = active_seconds + ?, refused = refused + ?, "
                             "d_counted = d_counted + ?, upper_missing = upper_missing + ?, "
                             "d_upper = d_upper + ? WHERE aircraft_id = ? AND taken_on = ?"),
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
        bindDay(update, position, aircraft, day, usage, false);
        if (Result updated = database.execute(update); !updated.ok())
            return updated;
    }
    return insertDays(database, aircraft, fresh);
}
} // namespace
