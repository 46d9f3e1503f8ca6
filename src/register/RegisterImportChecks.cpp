#include "RegisterImport.h"

#include "RegisterRows.h"

#include <QJsonArray>

#include <cmath>

// The parts of an export that version 2 added: each absent in a version-1 document.

bool ImportValues::checks(const QJsonValue &value, const QString &where, CheckSettings &out)
{
    if (value.isUndefined() || value.isNull())
        return true;
    if (!value.isObject())
        return fail(where, QStringLiteral("\"checks\" must be an object or null"));
    const QJsonObject object = value.toObject();
    for (auto key = object.begin(); key != object.end(); ++key) {
        const QString name = key.key();
        const QJsonValue part = key.value();
        if (part.isNull())
            continue;
        if (name == QLatin1String("thresholds")) {
            if (!part.isArray())
                return fail(where,
                    QStringLiteral("\"checks\": \"thresholds\" must be an array of "
                                   "numbers or null"));
            std::vector<double> thresholds;
            for (const QJsonValue &threshold : part.toArray()) {
                if (!threshold.isDouble())
                    return fail(where,
                        QStringLiteral("\"checks\": \"thresholds\" must be an array "
                                       "of numbers or null"));
                thresholds.push_back(threshold.toDouble());
            }
            out.thresholds = thresholds;
        } else if (name == QLatin1String("inspectionHours")) {
            if (!part.isDouble())
                return fail(where,
                    QStringLiteral("\"checks\": \"inspectionHours\" must be a number or null"));
            out.inspectionHours = part.toDouble();
        } else if (name == QLatin1String("inspectionDays")
            || name == QLatin1String("batteryDays")) {
            qint64 days = 0;
            if (!whole(part, 1, 1e6, days))
                return fail(where,
                    QStringLiteral("\"checks\": \"%1\" must be a whole number of "
                                   "days from 1 or null")
                        .arg(name));
            (name == QLatin1String("inspectionDays") ? out.inspectionDays : out.batteryDays)
                = int(days);
        } else {
            return fail(where, QStringLiteral("\"checks\" has the unknown key \"%1\"").arg(name));
        }
    }
    if (Result checked = CheckCheckSettings(out); !checked.ok())
        return fail(where, QStringLiteral("\"checks\": ") + checked.message());
    return true;
}

bool ImportValues::prior(const QJsonObject &object, const QString &where, ImportedAircraft &plane)
{
    const QJsonValue hours = object.value(QStringLiteral("priorHours"));
    const QJsonValue severity = object.value(QStringLiteral("priorSeverity"));
    const bool noHours = hours.isUndefined() || hours.isNull();
    const bool noSeverity = severity.isUndefined() || severity.isNull();
    if (noHours && noSeverity)
        return true;
    if (!hours.isDouble() || !severity.isDouble() || hours.toDouble() < 0 || severity.toDouble() < 0
        || !std::isfinite(hours.toDouble()) || !std::isfinite(severity.toDouble()))
        return fail(where,
            QStringLiteral("\"priorHours\" and \"priorSeverity\" must be numbers of at least 0, "
                           "both or neither"));
    plane.priorHours = hours.toDouble();
    plane.priorSeverity = severity.toDouble();
    return true;
}

bool ImportValues::inspections(
    const QJsonValue &value, const QString &where, ImportedAircraft &plane)
{
    if (value.isUndefined())
        return true;
    const QString wrong = QStringLiteral("\"inspections\" must be an array of objects with "
                                         "\"done\" (YYYY-MM-DD), \"recorded\" (a UTC time) and "
                                         "\"recordedBy\", each day once");
    if (!value.isArray())
        return fail(where, wrong);
    QSet<QString> days;
    for (const QJsonValue &element : value.toArray()) {
        const QJsonObject object = element.toObject();
        ImportedAircraft::Inspection inspection {object.value(QStringLiteral("done")).toString(),
            object.value(QStringLiteral("recorded")).toString(),
            object.value(QStringLiteral("recordedBy")).toString()};
        if (!element.isObject() || !DateFromText(inspection.done).isValid()
            || !IsUtcTime(inspection.recorded)
            || !object.value(QStringLiteral("recordedBy")).isString()
            || inspection.recordedBy.contains(QChar(0)) || days.contains(inspection.done))
            return fail(where, wrong);
        days.insert(inspection.done);
        plane.inspections.push_back(inspection);
    }
    return true;
}
