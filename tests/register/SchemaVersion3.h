#pragma once

#include <QSqlQuery>
#include <QString>
#include <QStringList>

inline bool RunStatements(QSqlQuery &query, const QStringList &statements, QString &failed)
{
    for (const QString &statement : statements) {
        if (!query.exec(statement)) {
            failed = statement;
            return false;
        }
    }
    return true;
}

// Takes a register of the current schema back to version 4 (what version 5 added dropped), so
// that a test can see the upgrade make it again. False, with the statement, at a refusal.
inline bool DowngradeToVersion4(QSqlQuery &query, QString &failed)
{
    return RunStatements(query,
        {QStringLiteral("ALTER TABLE aircraft_types DROP COLUMN locations"),
            QStringLiteral("ALTER TABLE aircraft DROP COLUMN locations"),
            QStringLiteral("DROP TABLE location_damage_by_day"),
            QStringLiteral("DROP TABLE usage_totals"),
            QStringLiteral("UPDATE schema_version SET version = 4")},
        failed);
}

// The same back to version 3 (what versions 4 and 5 added dropped).
inline bool DowngradeToVersion3(QSqlQuery &query, QString &failed)
{
    if (!DowngradeToVersion4(query, failed))
        return false;
    QStringList statements;
    for (const char *column : {"refused", "d_counted", "upper_missing", "d_upper", "first_seconds",
             "first_refused", "first_d_counted", "first_upper_missing", "first_d_upper"})
        statements
            << QStringLiteral("ALTER TABLE usage_by_day DROP COLUMN %1").arg(QLatin1String(column));
    for (const char *table : {"aircraft_types", "aircraft"}) {
        for (const char *column :
            {"life_thresholds", "inspection_hours", "inspection_days", "battery_days"})
            statements << QStringLiteral("ALTER TABLE %1 DROP COLUMN %2")
                              .arg(QLatin1String(table), QLatin1String(column));
    }
    for (const char *column : {"prior_hours", "prior_severity"})
        statements
            << QStringLiteral("ALTER TABLE aircraft DROP COLUMN %1").arg(QLatin1String(column));
    statements << QStringLiteral("DROP TABLE inspections")
               << QStringLiteral("DROP TABLE type_design_spectra")
               << QStringLiteral("UPDATE schema_version SET version = 3");
    return RunStatements(query, statements, failed);
}
