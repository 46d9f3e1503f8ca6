#include "RegisterSchema.h"

#include "RegisterPrivate.h"
#include "RegisterRows.h"

#include <QHash>

namespace {
// The structure columns; the first twelve are those versions 1 to 4 made.
constexpr int StructureColumnsBefore5 = 12;
QString structureDefinitions(int count = StructureColumnCount)
{
    QStringList definitions;
    for (int i = 0; i < count; ++i)
        definitions << QLatin1String(StructureColumns[i].column) + QLatin1Char(' ')
                + QLatin1String(StructureColumns[i].sqlType);
    return definitions.join(QStringLiteral(", "));
}
const QString StructureDefinitions = structureDefinitions();

QString columns(const char *prefix, int count, const char *type)
{
    QStringList list;
    for (int i = 0; i < count; ++i)
        list
            << QStringLiteral("%1%2 %3").arg(QLatin1String(prefix)).arg(i).arg(QLatin1String(type));
    return list.join(QStringLiteral(", "));
}

// As version 2 and 3 made it; version 4 adds the check settings, version 5 the locations.
QString typesTable(int structureColumns, const QString &more = QString())
{
    return QStringLiteral("CREATE TABLE aircraft_types (id INTEGER PRIMARY KEY, "
                          "name VARCHAR(200) NOT NULL, name_key VARCHAR(200) NOT NULL UNIQUE, ")
        + structureDefinitions(structureColumns) + more + QLatin1Char(')');
}

Result runAll(RegisterDatabase &database, const QStringList &statements)
{
    for (const QString &statement : statements) {
        if (Result done = database.run(statement); !done.ok())
            return done;
    }
    return {};
}

// Version 1 to 2: the types get a table of their own, so that structural data can be set once
// per type. Every type name in use becomes a type (names that differ only in case are one),
// and each aircraft points at its type.
Result upgradeFrom1(RegisterDatabase &database)
{
    if (Result made = runAll(database,
            {typesTable(StructureColumnsBefore5),
                QStringLiteral("ALTER TABLE aircraft ADD COLUMN type_id INTEGER "
                               "REFERENCES aircraft_types (id)")});
        !made.ok())
        return made;
    QSqlQuery query;
    if (Result read = database.run(query,
            QStringLiteral("SELECT id, type_name FROM aircraft WHERE type_name IS NOT NULL "
                           "ORDER BY id"));
        !read.ok())
        return read;
    // Read whole before anything is written: PostgreSQL drops a result still being read when the
    // connection runs another statement.
    QList<std::pair<qint64, QString>> named;
    while (query.next())
        named.append({query.value(0).toLongLong(), query.value(1).toString().trimmed()});
    query.finish();
    QHash<QString, qint64> types;
    QList<std::pair<qint64, qint64>> links;
    qint64 nextType = 1;
    for (const auto &[aircraft, name] : named) {
        if (name.isEmpty())
            continue;
        const QString key = NameKey(name);
        if (!types.contains(key)) {
            if (Result made
                = database.run(QStringLiteral("INSERT INTO aircraft_types (id, name, name_key) "
                                              "VALUES (?, ?, ?)"),
                    {nextType, name, key});
                !made.ok())
                return made;
            types.insert(key, nextType++);
        }
        links.append({aircraft, types.value(key)});
    }
    for (const auto &[aircraft, type] : links) {
        if (Result linked = database.run(
                QStringLiteral("UPDATE aircraft SET type_id = ? WHERE id = ?"), {type, aircraft});
            !linked.ok())
            return linked;
    }
    if (Result dropped = database.run(QStringLiteral("ALTER TABLE aircraft DROP COLUMN type_name"));
        !dropped.ok())
        return dropped;
    return database.run(
        QStringLiteral("INSERT INTO id_counters (name, next_id) VALUES ('type', ?)"), {nextType});
}

// The damage of a day's periods, and of its first period alone (usage_by_day).
QString damageDefinitions()
{
    QStringList definitions;
    for (const QString &prefix : {QString(), QStringLiteral("first_")}) {
        if (!prefix.isEmpty())
            definitions << QStringLiteral("first_seconds BIGINT NOT NULL DEFAULT 0");
        definitions << prefix + QStringLiteral("refused INTEGER NOT NULL DEFAULT 0")
                    << prefix + QStringLiteral("d_counted DOUBLE PRECISION NOT NULL DEFAULT 0")
                    << prefix + QStringLiteral("upper_missing INTEGER NOT NULL DEFAULT 0")
                    << prefix + QStringLiteral("d_upper DOUBLE PRECISION NOT NULL DEFAULT 0");
    }
    return definitions.join(QStringLiteral(", "));
}

// The same without the first period's seconds, which usage_by_day keeps for every location.
QString locationDamageDefinitions()
{
    QStringList definitions = damageDefinitions().split(QStringLiteral(", "));
    definitions.removeIf([](const QString &definition) {
        return definition.startsWith(QLatin1String("first_seconds"));
    });
    return definitions.join(QStringLiteral(", "));
}

// The check settings of a type or an aircraft, and an aircraft's hours before its recorder.
const QStringList CheckDefinitions {QStringLiteral("life_thresholds VARCHAR(200)"),
    QStringLiteral("inspection_hours DOUBLE PRECISION"), QStringLiteral("inspection_days INTEGER"),
    QStringLiteral("battery_days INTEGER")};
const QStringList PriorDefinitions {QStringLiteral("prior_hours DOUBLE PRECISION"),
    QStringLiteral("prior_severity DOUBLE PRECISION")};
const QString InspectionsTable = QStringLiteral(
    "CREATE TABLE inspections (aircraft_id INTEGER NOT NULL REFERENCES aircraft (id), "
    "done_on VARCHAR(10) NOT NULL, recorded_at VARCHAR(20) NOT NULL, recorded_by VARCHAR(200) "
    "NOT NULL, PRIMARY KEY (aircraft_id, done_on))");

// Each aircraft's usage_by_day summed, kept with every change of it: the fleet reads a row an
// aircraft instead of summing every day.
const QString TotalsTable = QStringLiteral("CREATE TABLE usage_totals (aircraft_id INTEGER "
                                           "PRIMARY KEY REFERENCES aircraft (id), "
                                           "readouts BIGINT NOT NULL, first_taken VARCHAR(10), "
                                           "last_taken VARCHAR(10), ")
    + columns("c", LevelCount, "BIGINT NOT NULL")
    + QStringLiteral(", active_seconds BIGINT NOT NULL, refused BIGINT NOT NULL, d_counted DOUBLE "
                     "PRECISION NOT NULL, upper_missing BIGINT NOT NULL, d_upper DOUBLE PRECISION "
                     "NOT NULL)");

// The damage of each day's periods at the locations after the first, one row a location.
const QString LocationDamageTable
    = QStringLiteral("CREATE TABLE location_damage_by_day (aircraft_id INTEGER NOT NULL "
                     "REFERENCES aircraft (id), taken_on VARCHAR(10) NOT NULL, "
                     "location INTEGER NOT NULL, ")
    + locationDamageDefinitions()
    + QStringLiteral(", PRIMARY KEY (aircraft_id, taken_on, location))");

const QString WordsIndex = QStringLiteral("CREATE INDEX readouts_by_words ON readouts (words)");

// Version 2 to 3: an addition may declare a reset, and records are found by their words.
Result upgradeFrom2(RegisterDatabase &database)
{
    return runAll(database,
        {QStringLiteral("ALTER TABLE additions ADD COLUMN declared_reset INTEGER NOT NULL "
                        "DEFAULT 0"),
            WordsIndex});
}
// Version 3 to 4: each day keeps its periods' damage, so that the fleet sums life used as the
// history does (the columns come empty; Register::open derives them from the read-outs in the
// same transaction); the check settings, the hours before the recorder and the inspections; a
// type may keep a design spectrum.
Result upgradeFrom3(RegisterDatabase &database)
{
    QStringList statements;
    for (const QString &definition : damageDefinitions().split(QStringLiteral(", ")))
        statements << QStringLiteral("ALTER TABLE usage_by_day ADD COLUMN ") + definition;
    for (const char *table : {"aircraft_types", "aircraft"}) {
        for (const QString &definition : CheckDefinitions)
            statements << QStringLiteral("ALTER TABLE %1 ADD COLUMN ").arg(QLatin1String(table))
                    + definition;
    }
    for (const QString &definition : PriorDefinitions)
        statements << QStringLiteral("ALTER TABLE aircraft ADD COLUMN ") + definition;
    statements << InspectionsTable << DesignSpectrumSchema();
    return runAll(database, statements);
}

// Version 4 to 5: a type or an aircraft may have named locations, and each day keeps the damage
// of the locations after the first (the first's stays in usage_by_day; without locations
// before, nothing is derived); each aircraft's days summed.
Result upgradeFrom4(RegisterDatabase &database)
{
    return runAll(database,
        {QStringLiteral("ALTER TABLE aircraft_types ADD COLUMN locations TEXT"),
            QStringLiteral("ALTER TABLE aircraft ADD COLUMN locations TEXT"), LocationDamageTable,
            TotalsTable,
            QStringLiteral("INSERT INTO usage_totals ") + UsageTotalsSelect()
                + QStringLiteral(" GROUP BY aircraft_id")});
}
} // namespace

Result CreateSchema(RegisterDatabase &database)
{
    if (Result made = runAll(database,
            {QStringLiteral("CREATE TABLE schema_version (version INTEGER NOT NULL)"),
                QStringLiteral("CREATE TABLE id_counters (name VARCHAR(20) PRIMARY KEY, "
                               "next_id INTEGER NOT NULL)"),
                QStringLiteral("INSERT INTO id_counters (name, next_id) VALUES ('aircraft', 1), "
                               "('type', 1), ('addition', 1), ('readout', 1)"),
                typesTable(StructureColumnCount,
                    QStringLiteral(", ") + CheckDefinitions.join(QStringLiteral(", "))),
                QStringLiteral("CREATE TABLE aircraft ("
                               "id INTEGER PRIMARY KEY, "
                               "registration VARCHAR(100) NOT NULL, "
                               "registration_key VARCHAR(100) NOT NULL UNIQUE, "
                               "type_id INTEGER REFERENCES aircraft_types (id), "
                               "combine_mode VARCHAR(10) NOT NULL "
                               "CHECK (combine_mode IN ('separate', 'running')), ")
                    + StructureDefinitions + QStringLiteral(", ")
                    + (CheckDefinitions + PriorDefinitions).join(QStringLiteral(", "))
                    + QStringLiteral(", created_at VARCHAR(20) NOT NULL, "
                                     "changed_at VARCHAR(20) NOT NULL)"),
                InspectionsTable,
                QStringLiteral("CREATE TABLE additions ("
                               "id INTEGER PRIMARY KEY, "
                               "aircraft_id INTEGER NOT NULL REFERENCES aircraft (id), "
                               "file_name TEXT NOT NULL, "
                               "added_at VARCHAR(20) NOT NULL, "
                               "added_by VARCHAR(200) NOT NULL, "
                               "declared_reset INTEGER NOT NULL DEFAULT 0)"),
                QStringLiteral("CREATE TABLE readouts ("
                               "id INTEGER PRIMARY KEY, "
                               "aircraft_id INTEGER NOT NULL REFERENCES aircraft (id), "
                               "addition_id INTEGER NOT NULL REFERENCES additions (id), "
                               "record_number BIGINT NOT NULL, "
                               "taken_on VARCHAR(10) NOT NULL, "
                               "words VARCHAR(109) NOT NULL)"),
                QStringLiteral(
                    "CREATE INDEX readouts_in_order ON readouts (aircraft_id, taken_on, id)"),
                QStringLiteral("CREATE INDEX readouts_by_addition ON readouts (addition_id)"),
                WordsIndex,
                QStringLiteral("CREATE TABLE usage_by_day ("
                               "aircraft_id INTEGER NOT NULL REFERENCES aircraft (id), "
                               "taken_on VARCHAR(10) NOT NULL, "
                               "readouts INTEGER NOT NULL, "
                               "resets INTEGER NOT NULL, ")
                    + columns("c", LevelCount, "BIGINT NOT NULL")
                    + QStringLiteral(", active_seconds BIGINT NOT NULL, ") + damageDefinitions()
                    + QStringLiteral(", PRIMARY KEY (aircraft_id, taken_on))"),
                LocationDamageTable, TotalsTable});
        !made.ok())
        return made;
    if (Result made = runAll(database, DesignSpectrumSchema()); !made.ok())
        return made;
    return database.run(
        QStringLiteral("INSERT INTO schema_version (version) VALUES (?)"), {RegisterSchemaVersion});
}

Result UpgradeSchema(RegisterDatabase &database, int from)
{
    for (int version = from; version < RegisterSchemaVersion; ++version) {
        Result step;
        switch (version) {
        case 1:
            step = upgradeFrom1(database);
            break;
        case 2:
            step = upgradeFrom2(database);
            break;
        case 3:
            step = upgradeFrom3(database);
            break;
        case 4:
            step = upgradeFrom4(database);
            break;
        default:
            step.setFailure(Result::Invalid,
                QStringLiteral("The register \"%1\" has schema version %2, which no version of "
                               "this program made.")
                    .arg(database.location().text)
                    .arg(version));
        }
        if (!step.ok())
            return step;
    }
    return database.run(
        QStringLiteral("UPDATE schema_version SET version = ?"), {RegisterSchemaVersion});
}
