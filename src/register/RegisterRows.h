#pragma once

#include "RegisterTypes.h"

#include <QDate>
#include <QSqlQuery>
#include <QString>
#include <QVariant>

#include <iterator>
#include <vector>

// Values between the register's rows and the program (internal to the register library).

// The key a registration or type name is matched by: trimmed, NFC, case-folded.
QString NameKey(const QString &name);

// A record's 22 words as the register keeps them: the record's text as RecordText() gives it,
// "0001|0002|...|0029", and back. False for any other text (a damaged register).
QString WordsText(const RecordValues &values);
bool WordsFromText(const QString &text, RecordValues &values);

// "c0, c1, ... c17": the count columns of usage_by_day.
QString CountColumns();
// "refused, d_counted, upper_missing, d_upper": the damage columns of usage_by_day, in the order
// of a DamageTally, each name prefixed ("first_" for the day's first period).
QString DamageColumns(const QString &prefix = QString());
// "SELECT aircraft_id, SUM(readouts), MIN(taken_on), MAX(taken_on), SUM(c0), ..., the damage's
// sums FROM usage_by_day": the columns of usage_totals, in their order, to be grouped by
// aircraft (and limited to some).
QString UsageTotalsSelect();
// " WHERE taken_on >= ? AND aircraft_id = ?", of the parts given (empty for none), with their
// values appended to `values`.
QString DaysWhere(
    const std::optional<QDate> &since, std::optional<qint64> aircraft, QVariantList &values);
// "a = ?, b = ?" for the columns of a list such as CountColumns().
QString Assignments(const QString &columns);

// The structure columns, each optionally prefixed ("a."), in the order of
// StructureValues() and ReadStructure().
QString StructureColumnList(const QString &prefix = QString());

// One structure column: its name in the schema, its SQL type, its key in the JSON export. The
// schema, the rows, the export and the import all take them from this one table.
struct StructureColumn
{
    const char *column;
    const char *sqlType;
    const char *key;
};
inline constexpr StructureColumn StructureColumns[] = {
    {"stress_per_g", "DOUBLE PRECISION", "sigma1"}, {"sn_slope", "DOUBLE PRECISION", "k"},
    {"sn_endurance_stress", "DOUBLE PRECISION", "sd"},
    {"sn_endurance_cycles", "DOUBLE PRECISION", "nd"}, {"below_endurance", "VARCHAR(20)", "below"},
    {"ultimate_strength", "DOUBLE PRECISION", "su"},
    {"scatter_factor", "DOUBLE PRECISION", "scatter"},
    {"design_life", "DOUBLE PRECISION", "designLife"},
    {"max_load_positive", "DOUBLE PRECISION", "maxLoadPositive"},
    {"max_load_negative", "DOUBLE PRECISION", "maxLoadNegative"},
    {"limit_load_positive", "DOUBLE PRECISION", "limitLoadPositive"},
    {"limit_load_negative", "DOUBLE PRECISION", "limitLoadNegative"},
    {"locations", "TEXT", "locations"}, // LocationsText(); since version 5
};
constexpr int StructureColumnCount = int(std::size(StructureColumns));
// The structure columns' values (NULL where unset).
std::vector<QVariant> StructureValues(const StructuralData &structure);
// Reads the structure columns starting at column `first`. Invalid when the values do not
// make structural data (a damaged or hand-edited register).
StructuralData ReadStructure(const QSqlQuery &query, int first, bool &valid);

// The four check columns ("life_thresholds, inspection_hours, inspection_days, battery_days"),
// each optionally prefixed, their values (NULL where unset), and the settings read back from
// column `first` on; invalid for values that no CheckSettings holds (a damaged register).
QString CheckColumnList(const QString &prefix = QString());
constexpr int CheckColumnCount = 4;
std::vector<QVariant> CheckValues(const CheckSettings &settings);
CheckSettings ReadChecks(const QSqlQuery &query, int first, bool &valid);

// Dates are kept as "YYYY-MM-DD" with four digits of year, so that their text sorts as the dates
// do: the register keeps the years 1 to 9999 only.
bool IsRegisterDate(const QDate &date);
QString DateText(const QDate &date); // "YYYY-MM-DD"
QDate DateFromText(const QString &text); // invalid unless exactly "YYYY-MM-DD", years 1 to 9999
QString UtcNow(); // "YYYY-MM-DDTHH:MM:SSZ"
bool IsUtcTime(const QString &text);

// The login name the register keeps as the adder.
QString LoginName();

// A registration or type name as the register takes it: trimmed, not empty, no control
// characters, at most `maxLength` characters. Empty text when it is fine, else why not.
QString NameProblem(const QString &name, const QString &what, int maxLength);

// The period of a read-out, as the readouts table keeps it.
struct StoredPeriod
{
    LevelCounts counts {};
    std::int64_t seconds = 0;
    bool afterReset = false;
    RunningKind kind = RunningKind::Running;
    bool operator==(const StoredPeriod &) const = default;
};
