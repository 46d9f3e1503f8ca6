#pragma once

#include "Branches.h"
#include "CombineRecords.h"
#include "CounterRecord.h"
#include "Damage.h"
#include "DesignSpectrum.h"
#include "Exceedance.h"
#include "LifeOverTime.h"
#include "Result.h"

#include <QDate>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

// The register's value types: what its calls take and give back. Apart from Register.h so that
// the register's own internal headers need not include the public class.

// Structural data for the damage of the usage analysis, set per aircraft or per type.
struct StructuralData
{
    // σ₁ and the S-N curve, the first location's when there are named ones; none: no damage
    // figures.
    std::optional<DamageParameters> damage;
    std::optional<LimitLoads> limits; // limit load factors, for the fraction axis
    // Named locations, each with its own σ₁ and S-N data; none: one unnamed location, `damage`.
    std::vector<StructuralLocation> locations;
    bool isEmpty() const { return !damage && !limits; }
    // The locations with damage figures: the named ones, else one when there is S-N data.
    size_t locationCount() const;
    // This data with the S-N data of location `index` as `damage`: the figures there.
    StructuralData atLocation(size_t index) const;
    QString locationName(size_t index) const; // empty for the unnamed one
    // The location of that name (case ignored); none when there is none.
    std::optional<size_t> locationIndex(const QString &name) const;
};
// Structural data of named locations: the first's S-N data as `damage`, the scatter factor,
// design life and load bounds of `shared` at each.
StructuralData WithLocations(const DamageParameters &shared, std::optional<LimitLoads> limits,
    std::vector<StructuralLocation> locations);
// The locations as the register keeps them, a JSON array of {"name", "sigma1", "k", "sd", "nd",
// "below", "su"}, and back over `shared`; false for a text that is not such an array.
QString LocationsText(const std::vector<StructuralLocation> &locations);
bool LocationsFromText(const QString &text, const DamageParameters &shared,
    std::vector<StructuralLocation> &locations);

// What the fleet checks an aircraft against: set per type, each part overridable per aircraft.
struct CheckSettings
{
    std::optional<std::vector<double>> thresholds; // life used warning levels, %, rising
    std::optional<double> inspectionHours; // flight hours between inspections
    std::optional<int> inspectionDays; // days between inspections
    std::optional<int> batteryDays; // the recorder needs attention with fewer days left
    bool isEmpty() const
    {
        return !thresholds && !inspectionHours && !inspectionDays && !batteryDays;
    }
    // Each part of `over` where it is set, else this one's.
    CheckSettings overriddenBy(const CheckSettings &over) const;
    bool operator==(const CheckSettings &) const = default;
};
// "50,80,100" and back; none for a text that is not such a list of numbers.
QString ThresholdsText(const std::vector<double> &thresholds);
std::optional<std::vector<double>> ThresholdsFromText(const QString &text);
// The thresholds of life used when none are set: 50 %, 80 %, 100 %.
const std::vector<double> &DefaultThresholds();
// Invalid, naming the part, for thresholds that are not positive, rising and finite, or
// intervals and days that are not positive.
Result CheckCheckSettings(const CheckSettings &settings);
// A type's design spectrum as the register keeps it: the reference file's name and text as
// given, and the spectrum read from that text.
struct StoredDesignSpectrum
{
    QString fileName; // the file's own name, without its folder
    QString text;
    ReferenceSpectrum spectrum;
};

// Where an aircraft's effective structural data comes from.
enum class StructureSource { None, Aircraft, Type };
QString StructureSourceName(StructureSource source); // "none", "aircraft", "type"

struct AircraftInfo
{
    qint64 id = 0;
    QString registration; // as typed, trimmed
    QString type; // empty when none
    CombineMode mode = CombineMode::Running; // separate or running
    StructuralData own; // its own
    StructuralData typeData; // its type's
    CheckSettings ownChecks; // its own, each part over its type's
    CheckSettings typeChecks;
    // Hours flown before the recorder was fitted, and how hard, against the type's design
    // spectrum; none when not set.
    std::optional<double> priorHours;
    std::optional<double> priorSeverity;
    std::optional<StoredDesignSpectrum> design; // its type's design spectrum
    QString created; // UTC, "2024-05-01T10:00:00Z"
    QString changed;
    // The named location whose damage figures `structure()` gives; empty without locations.
    QString location;
    // The aircraft's own data when it has any, else its type's.
    const StructuralData &structure() const { return own.isEmpty() ? typeData : own; }
    // The same aircraft with the S-N data of location `index` in effect, for the figures there.
    AircraftInfo atLocation(size_t index) const;
    StructureSource structureSource() const;
    // The settings that hold: the aircraft's parts over its type's.
    CheckSettings checks() const { return typeChecks.overriddenBy(ownChecks); }
    std::vector<double> thresholds() const
    {
        return checks().thresholds.value_or(DefaultThresholds());
    }
};

// `register aircraft`: what to set. Fields left empty are kept; a new aircraft needs a mode.
struct AircraftChange
{
    QString registration;
    std::optional<QString> type; // an empty text removes the type
    std::optional<CombineMode> mode; // Separate or Running; a change recomputes the periods
    std::optional<StructuralData> structure; // replaces the aircraft's own (empty: removes it)
    std::optional<CheckSettings> checks; // replaces the aircraft's own (empty: removes them)
    // Hours flown before the recorder was fitted and their severity against the type's design
    // spectrum; 0 hours removes them.
    struct Prior
    {
        double hours = 0;
        double severity = 0;
    };
    std::optional<Prior> prior;
};

struct AircraftResult : Result
{
    AircraftInfo aircraft;
    bool created = false;
    bool periodsRecomputed = false; // the mode changed and the periods were derived anew
};

struct TypeInfo
{
    QString name;
    StructuralData structure;
    CheckSettings checks;
    int aircraft = 0; // how many aircraft are of this type
    std::optional<StoredDesignSpectrum> design;
};

// A design spectrum to keep with a type: the file's name and its text.
struct DesignSpectrumFile
{
    QString fileName;
    QString text;
};

struct TypeResult : Result
{
    TypeInfo type;
};

// One data file to add; `taken` invalid: the file's modification date.
struct AddFile
{
    QString fileName;
    QDate taken;
};

struct AddedFile
{
    QString fileName;
    QDate taken;
    qint64 records = 0; // in the file
    qint64 added = 0;
    qint64 already = 0; // in the register already (or earlier in the same file): not added again
    // The numbers of those records, as ranges first–last in file order.
    std::vector<std::pair<qint64, qint64>> alreadyRecords;
    qint64 firstReadout = 0; // the ids given to the records added, firstReadout ... lastReadout
    qint64 lastReadout = 0;
};

// A running total that fell: the read-out starts over and counts as its own period (a reset),
// or a counter wrapped and the totals go on (a wrap).
struct ResetFound
{
    qint64 readout = 0;
    QString text; // one line: which read-out, what fell, since which
};

struct AddResult : Result
{
    QString registration;
    std::vector<AddedFile> files;
    qint64 added = 0;
    qint64 already = 0;
    std::vector<ResetFound> resets; // among the periods that this addition made or changed
};

// What an add would do with one record (Register::previewAdd).
enum class AddClass {
    New, // added whole: separate read-outs, or an aircraft's first
    Already, // the aircraft has it already (or an earlier record of the same add): not added
    OtherAircraft, // another aircraft's read-out: the add is refused
    Running, // running totals that rose: the period is the difference
    Wrap, // a counter passed 65535 and the totals go on
    Reset, // the recorder started over (or a fall declared a reset)
    Inconsistent, // a fall nothing explains: the add is refused unless declared a reset
};

struct AddDecision
{
    QString fileName;
    qint64 record = 0; // its number in the file, from 1
    AddClass kind = AddClass::New;
    // Already: the read-out it is (one this add would make when `inThisAdd`); OtherAircraft: the
    // other aircraft's read-out; a new record: the id it would take.
    qint64 readout = 0;
    bool inThisAdd = false;
    QString otherAircraft; // OtherAircraft: its registration
    QString text; // Wrap, Reset, Inconsistent: what fell, since which read-out
};

struct AddPreviewResult : Result
{
    QString registration;
    CombineMode mode = CombineMode::Running;
    bool newAircraft = false; // not in the register yet: previewed with the mode given
    std::vector<AddDecision> decisions; // one a record, in the order an add reads them
    // An add of these files would be refused (another aircraft's record, an undeclared
    // inconsistent fall).
    bool refused() const;
};

// Called between blocks of an add with the bytes read and the bytes of all its files; false
// stops the add, which then adds nothing.
using AddProgress = std::function<bool(qint64 done, qint64 total)>;

// Life used as the sum of the periods' damage over T hours of them.
struct SummedDamage
{
    double damage = 0; // ΣD, counted estimate, of the recorded periods
    double damageToDate = 0; // with the hours before the recorder where they count
    std::optional<double> upper; // ΣD of the upper bounds; none when a period has none
    double damagePer1000h = 0; // 1000 ΣD / T
    std::optional<double> priorHours; // counted in the life used
    double lifeUsedPercent = 0; // 100 % SF ΣD, with the hours before the recorder
    std::optional<double> upperLifeUsedPercent;
    std::optional<double> designLifeRate; // SF ΣD L / T, with a design life
};

// The usage of one aircraft over some of its read-outs: the sums of their periods, and what the
// analysis makes of them.
struct UsageFigures
{
    qint64 readouts = 0;
    QDate firstTaken; // invalid without read-outs
    QDate lastTaken;
    LevelCounts counts {}; // Nc per level, record order
    std::int64_t seconds = 0; // active work time
    double hours = 0;
    // Exceedances per 1000 h at 3.0 g and -1.0 g; none without hours.
    std::optional<double> per1000hAt3g;
    std::optional<double> per1000hAtMinus1g;
    // Both damage estimates with the life figures of the summed counts, when the structural
    // data has S-N data and there are hours; otherwise `damageNote` says why there is none (the
    // history's figures of the whole).
    std::optional<DamageResult> damage;
    // The periods' damage summed as the history sums it, read-out by read-out (Miner's rule),
    // with the life figures made of it, under the same conditions (`register list`, `fleet`).
    std::optional<SummedDamage> summed;
    QString damageNote;
    // Both estimates against the type's design spectrum, when there is damage and a design
    // spectrum; otherwise `severityNote` says why there is none.
    std::optional<Severity> severity;
    QString severityNote;
    // Exceedances of the limit loads, bounded from the summed counts (as the sums of the periods'
    // bounds, but for periods whose counts grow outward, where the sum can be higher).
    LimitBounds overLimit;
};

// The counts and hours of usage as the analysis combines them, for its tables, charts and report:
// one period, T = usage.hours (a failure, as CombineRecords gives it, when there are no hours).
CombinedCounts CombinedOf(const UsageFigures &usage);

// What the fleet's check finds of an aircraft, the worst deciding its status.
enum class CheckStatus { Ok, Attention, Due, OverLimit };
QString CheckStatusName(CheckStatus status); // "ok", "attention", "due", "over limit"
struct CheckFinding
{
    CheckStatus status = CheckStatus::Ok;
    QString text; // "life used 52.1 % (counted estimate) at or beyond the threshold 50 %"
};
struct AircraftCheck
{
    CheckStatus status = CheckStatus::Ok;
    std::vector<CheckFinding> findings;
    std::optional<QDate> lastInspection;
    QString text() const; // the findings, "; " between them
};

// What an aircraft is checked from: the settings that hold for it and its figures.
struct CheckInput
{
    CheckSettings settings;
    std::vector<double> thresholds; // rising
    std::optional<double> lifeUsed; // %, counted estimate, whole history
    std::optional<double> upperLifeUsed;
    std::optional<QDate> lastInspection;
    QDate firstTaken; // the first read-out; invalid without one
    QDate today;
    double hoursSince = 0; // flown since the last inspection (or the first read-out)
    LimitBounds overSince; // the limit loads since then, as the levels bound them
    std::optional<int> batteryDaysLeft; // today, from the last read-out's battery clock
};
AircraftCheck CheckAircraft(const CheckInput &input);

// One aircraft with its usage: a line of `register list` and of `fleet`.
// Life used (counted estimate, with the hours before the recorder) at one location.
struct LocationLifeUsed
{
    QString location;
    std::optional<double> lifeUsedPercent; // none: no figure (AircraftUsage's notes say why)
};

struct AircraftUsage
{
    AircraftInfo aircraft;
    UsageFigures usage; // over the window asked for, or the whole history
    // With a window: life used over the whole history, for comparison (counted estimate).
    std::optional<double> lifeUsedToDatePercent;
    // Hours left at the rate of `usage` (counted estimate), from the life left after the whole
    // history: (1/SF - D_whole) / (D / T). None without damage or when D = 0.
    std::optional<double> hoursLeft;
    bool exhausted = false;
    // Place in the fleet ranking, from 1; 0 for an aircraft without a damage figure, which is
    // listed after the ranked ones.
    int rank = 0;
    // The fleet's forecast of the thresholds over the whole history, as `register history`
    // makes it; none without S-N data.
    std::optional<Forecast> forecast;
    AircraftCheck check; // the fleet's only
    QString priorNote; // why the hours before the recorder do not count, when they do not
    // With named locations: each one's life used to date; `aircraft` is at the largest.
    std::vector<LocationLifeUsed> locations;
};

struct UsageListResult : Result
{
    std::optional<QDate> since;
    std::vector<AircraftUsage> aircraft;
};

// One period of an aircraft's history: what its read-out adds to what came before.
struct HistoryPeriod
{
    qint64 readout = 0; // the read-out's id
    QDate from; // the read-out before it; invalid for the first read-out
    QDate taken;
    QString fileName;
    qint64 record = 0; // in the file, from 1
    QString added; // UTC
    QString addedBy;
    RecordValues words {};
    bool afterReset = false; // running totals fell: the record counts over again from a reset
    RunningKind kind = RunningKind::Running; // how the record follows the one before
    bool declaredReset = false; // added with a reset declared
    LevelCounts counts {}; // the period's own counts
    std::int64_t seconds = 0;
    double hours = 0;
    LevelCounts totalCounts {}; // the running totals: every period up to and with this one
    std::int64_t totalSeconds = 0;
    double totalHours = 0;
    std::optional<double> hoursPer30Days; // since the read-out before
    LimitBounds overLimit; // of the period's counts, against the aircraft's limit loads
    // With S-N data: the period's damage, and the sums of the periods' up to this one.
    std::optional<PeriodDamage> damage;
    std::optional<DamageSums> totalDamage;
};

struct HistoryResult : Result
{
    AircraftInfo aircraft; // at the location shown (AircraftInfo::location)
    // With named locations, each location's life used to date, from which the largest is the
    // one shown unless another was asked for.
    std::vector<LocationLifeUsed> locations;
    std::vector<HistoryPeriod> periods; // in order taken
    UsageFigures usage; // of the whole history
    LimitBounds overLimit; // of the whole history's counts
};

// What the forecast of an aircraft's life used is made from: its periods with their damage, and
// the hours before its recorder. None (periods left empty) without S-N data.
ForecastInput ForecastInputOf(const HistoryResult &history);

// The hours an aircraft flew before its recorder was fitted, at their severity times the damage
// per 1000 h of its type's design spectrum (both estimates, with the aircraft's S-N data and
// limit loads); none without prior hours. When they are set but cannot count (no S-N data, no
// design spectrum, a design spectrum the S-N data refuse), none, and `why` says so.
std::optional<PriorHours> PriorOf(const AircraftInfo &aircraft, QString &why);

struct RemoveResult : Result
{
    HistoryPeriod removed; // the read-out as it was (its period as it was)
};

struct InspectionResult : Result
{
    AircraftInfo aircraft;
    QDate day;
    bool already = false; // an inspection of that day was recorded before
};

struct ImportResult : Result
{
    int types = 0;
    int aircraft = 0;
    qint64 readouts = 0;
};

struct RegisterOptions
{
    // How long a change waits for another command that holds the register, in milliseconds.
    int waitMilliseconds = 10000;
    // Who adds read-outs, as the register keeps it; empty: the login name.
    QString user;
    // Called before each statement runs; for tests that end the program at every write.
    std::function<void()> beforeStatement;
};

// How the register is opened (Register::Access).
enum class RegisterAccess {
    Read, // refused when there is no register yet; never makes one
    Write, // makes the register on first use
};
