#pragma once

#include "Register.h" // defines Register::Private
#include "RegisterDatabase.h"
#include "RegisterRows.h"

#include <QSqlQuery>

#include <functional>
#include <map>
#include <vector>

// The damage of some periods, summed (Miner's rule adds them), with how many had none: a
// period whose damage was refused, or that has no upper bound.
struct DamageTally
{
    qint64 refused = 0;
    double counted = 0;
    qint64 upperMissing = 0;
    double upper = 0;
    void add(const PeriodDamage &damage);
};

// The S-N data an aircraft's damage is computed with, a set per location; none without.
using LocationsDamage = std::vector<DamageParameters>;

// What the parts of Register share (internal to the register library).
struct Register::Private
{
    Private(const RegisterLocation &location, const RegisterOptions &options)
        : db(location, options)
        , options(options)
        , user(options.user.isEmpty() ? LoginName() : options.user)
    { }

    RegisterDatabase db;
    RegisterOptions options;
    QString user;

    QString name() const { return db.location().text; }
    Result damaged(const QString &what) const;

    // The aircraft matched by registration; `found` false when there is none.
    Result findAircraft(const QString &registration, AircraftInfo &aircraft, bool &found);
    Result allAircraft(std::vector<AircraftInfo> &aircraft);
    Result unknownAircraft(const QString &registration) const;
    // The aircraft matched by registration, or unknownAircraft's refusal.
    Result knownAircraft(const QString &registration, AircraftInfo &aircraft);
    Result findOrMakeType(const QString &name, qint64 &id);
    // A type as setType and setTypeDesign give it back.
    Result readType(qint64 id, TypeInfo &type);
    // setAircraft inside a write transaction the caller holds (an add making its aircraft).
    Result changeAircraft(const AircraftChange &change, AircraftResult &result);
    // The parts of setAircraft: a new aircraft (given a mode), a change of one, its type.
    Result insertAircraft(
        const AircraftChange &change, const QString &registration, const QString &now, qint64 &id);
    Result updateAircraft(const AircraftChange &change, const AircraftInfo &current,
        const QString &now, bool &recomputed);
    Result linkType(const QString &typeName, qint64 id);
    Result setTypeColumns(qint64 type, const QString &columns, const std::vector<QVariant> &values);

    // The parts of exportJson: the types, and one aircraft's read-outs, appended to `buffer`;
    // `put` writes it out when it has grown (or when asked to, at the end).
    Result exportTypes(QByteArray &buffer);
    Result exportInspections(qint64 aircraft, QByteArray &buffer);
    Result exportReadouts(qint64 aircraft, QByteArray &buffer, const std::function<bool(bool)> &put,
        const Result &writeFailed);

    // Ids from id_counters: the next one, and the counter set past the ones used.
    Result nextId(const QString &counter, qint64 &id);
    Result setNextId(const QString &counter, qint64 id);

    // The aircraft's read-outs taken on or after `from` ("" for all), in order, a block at a
    // time, each with its period derived by `mode`.
    struct Walked
    {
        qint64 id = 0;
        qint64 previousId = 0; // the read-out before it; 0 for the first
        RecordValues previousWords {}; // its words; zero for the first
        QString taken;
        RecordValues words {};
        qint64 record = 0;
        QString fileName;
        QString added;
        QString addedBy;
        bool declaredReset = false; // its addition declared a reset
        StoredPeriod period;
        QString reset; // what fell, where the period starts over
    };
    // A read-out as the history shows it: its period, without the dates and totals around it.
    static HistoryPeriod periodOf(const Walked &walked);
    Result walkReadouts(qint64 aircraft, CombineMode mode, const QString &from,
        const std::function<Result(const std::vector<Walked> &)> &take);

    // usage_by_day of the aircraft from `from` on ("" for all), derived anew from its read-outs.
    // Resets of read-outs with an id of at least `firstNew`, or right after one, are appended to
    // `resets`.
    // `damage`: the aircraft's S-N data, from which each period's damage at each location is kept
    // with the day.
    Result rebuildUsage(qint64 aircraft, CombineMode mode, const LocationsDamage &damage,
        const QString &from, qint64 firstNew, std::vector<ResetFound> *resets);
    // Every aircraft's usage_by_day derived anew (the damage of a type's change, an upgrade);
    // `only` limits it to the aircraft of that type that take the type's structural data.
    Result rebuildAllUsage(std::optional<qint64> onlyType = std::nullopt);

    // Sums of the periods per aircraft (or of `only`), over the read-outs taken since `since`
    // or all.
    Result usageByAircraft(const std::optional<QDate> &since,
        const std::function<void(qint64 aircraft, UsageFigures &&, const DamageTally &)> &take,
        std::optional<qint64> only = std::nullopt);
    // The periods' damage summed at each location after the first (index 0: the second
    // location), per aircraft (or of `only`), over the days since `since` or all.
    using LocationTallies = std::map<qint64, std::vector<DamageTally>>;
    Result locationTallies(const std::optional<QDate> &since, LocationTallies &tallies,
        std::optional<qint64> only = std::nullopt);
    // The location of an aircraft with named locations to give its figures at: `name`, else
    // the one of the largest life used to date; each one's life used in `each`.
    Result locationShown(const AircraftInfo &aircraft, const QString &name, size_t &index,
        std::vector<LocationLifeUsed> &each);
    UsageListResult usageList(
        const std::optional<QDate> &since, bool ranked, int rateWindowDays, const QDate &today);
    // One aircraft's line: its figures, over the window when one is given, and with
    // `rateWindowDays` its forecast.
    // `location`: the index of the location whose figures these are.
    Result listRow(AircraftUsage &row, UsageFigures &total, const DamageTally &tally,
        std::pair<UsageFigures, DamageTally> *window, std::optional<int> rateWindowDays,
        size_t location);
    // Each aircraft's last inspection; the fleet's check of one aircraft.
    Result lastInspections(std::map<qint64, QDate> &inspections);
    Result checkRow(AircraftUsage &row, const UsageFigures &total,
        const std::optional<QDate> &inspection, const QDate &today);
    Result forecastSums(qint64 aircraft, const UsageFigures &whole, const DamageTally &tally,
        int windowDays, size_t location, ForecastSums &sums);
};

// The fleet's order: by life used (counted), then damage per 1000 h, then registration, the
// aircraft without a damage figure last; each given its rank.
void RankFleet(std::vector<AircraftUsage> &fleet);
bool ByRegistration(const AircraftUsage &a, const AircraftUsage &b);

// What a refusal of an inconsistent fall adds: how to take it as a reset.
extern const QString InconsistentFallHint;

// The S-N data per location an aircraft's damage is computed with; none without.
LocationsDamage DamageOf(const AircraftInfo &aircraft);

// The location of the largest life used (counted estimate, with the hours before the
// recorder) from each location's periods' damage summed (`tallies`, the first location's first),
// over the aircraft's whole history `total`; the first when none has a figure. Each one's in
// `each`.
size_t CriticalLocation(const AircraftInfo &aircraft, const UsageFigures &total,
    const std::vector<DamageTally> &tallies, std::vector<LocationLifeUsed> &each);

// Puts `row` at `aircraft`'s location of the largest life used (the first without named
// locations), with each one's life used; `tally` and `window` become that location's, from
// the locations after the first's (`wholeAt`, `windowAt`). Gives the location's index.
size_t ShowAtCriticalLocation(AircraftUsage &row, const AircraftInfo &aircraft,
    const UsageFigures &total, DamageTally &tally, DamageTally *window,
    const std::vector<DamageTally> &wholeAt, const std::vector<DamageTally> &windowAt);
// The list's figures: the exceedances of the summed counts, and life used from the periods'
// damage summed, with the hours before the recorder.
void ComputeListUsage(UsageFigures &usage, const DamageTally &tally,
    const StructuralData &structure, const std::optional<StoredDesignSpectrum> &design,
    const std::optional<PriorHours> &prior);

// The figures the analysis makes of summed periods.
void ComputeUsage(UsageFigures &usage, const StructuralData &structure,
    const std::optional<StoredDesignSpectrum> &design);

// The design spectra of the types (RegisterDesign.cpp), apart from the rest of the schema.
// The statements that make their table, for a new register and the upgrade from version 3.
QStringList DesignSpectrumSchema();
// A stored design spectrum read back from its columns; false when its text is no longer a valid
// reference spectrum (a damaged register). Null columns give none.
bool ReadStoredDesign(
    const QVariant &fileName, const QVariant &text, std::optional<StoredDesignSpectrum> &design);
// The JSON of the export: {"file": ..., "text": ...} or null.
QByteArray DesignSpectrumJson(const std::optional<StoredDesignSpectrum> &design);
// Why the text cannot be kept as a type's design spectrum; empty when it can.
QString DesignSpectrumProblem(const DesignSpectrumFile &design);
// Writes (or with none removes) the design spectrum of the type `typeId`.
Result WriteTypeDesign(
    RegisterDatabase &database, qint64 typeId, const std::optional<DesignSpectrumFile> &design);

// The periods of an aircraft's read-outs taken on one day, summed: a row of usage_by_day. The
// day's first period is kept apart too, as it alone may start before a forecast's window.
struct DayUsage
{
    qint64 readouts = 0;
    qint64 resets = 0;
    LevelCounts counts {};
    std::int64_t seconds = 0;
    DamageTally damage; // with S-N data, at the first location
    std::int64_t firstSeconds = 0;
    DamageTally firstDamage;
    // The same at the locations after the first: the day's periods, and its first period alone.
    std::vector<std::pair<DamageTally, DamageTally>> more;
    // `locations`: the aircraft's S-N data per location, or none (no damage).
    void add(const StoredPeriod &period, const LocationsDamage &locations);
};
using UsageDays = std::map<QString, DayUsage>;
// Adds to the aircraft's rows of usage_by_day, making those that are missing, and sums them
// into its usage_totals anew (also with no days, after some were removed).
Result AddUsage(RegisterDatabase &database, qint64 aircraft, const UsageDays &days);

// A row of readouts as written.
struct ReadoutRow
{
    qint64 id = 0;
    qint64 aircraft = 0;
    qint64 addition = 0;
    qint64 record = 0;
    QString taken;
    QString words;
};

// Writes read-outs many rows to a statement, which is what makes a large file quick to add.
class ReadoutWriter
{
public:
    explicit ReadoutWriter(RegisterDatabase &database);
    Result add(ReadoutRow &&row);
    Result flush();

private:
    Result write(QSqlQuery &query);

    RegisterDatabase &m_database;
    std::vector<ReadoutRow> m_pending;
    QSqlQuery m_batch;
    bool m_prepared = false;
};
