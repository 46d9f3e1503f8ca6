#include "RegisterRows.h"

#include <QStringList>

#include <cmath>

CheckSettings CheckSettings::overriddenBy(const CheckSettings &over) const
{
    CheckSettings settings = *this;
    if (over.thresholds)
        settings.thresholds = over.thresholds;
    if (over.inspectionHours)
        settings.inspectionHours = over.inspectionHours;
    if (over.inspectionDays)
        settings.inspectionDays = over.inspectionDays;
    if (over.batteryDays)
        settings.batteryDays = over.batteryDays;
    return settings;
}

const std::vector<double> &DefaultThresholds()
{
    static const std::vector<double> thresholds {50, 80, 100};
    return thresholds;
}

Result CheckCheckSettings(const CheckSettings &settings)
{
    const auto refused = [](const QString &text) { return Result(Result::Invalid, text); };
    if (settings.thresholds) {
        const std::vector<double> &levels = *settings.thresholds;
        if (levels.empty())
            return refused(QStringLiteral("The thresholds of life used must name at least one."));
        for (size_t i = 0; i < levels.size(); ++i) {
            if (!std::isfinite(levels[i]) || levels[i] <= 0 || levels[i] > 1000)
                return refused(
                    QStringLiteral("A threshold of life used must be a percentage above 0 and "
                                   "at most 1000, not %1.")
                        .arg(levels[i]));
            if (i > 0 && levels[i] <= levels[i - 1])
                return refused(QStringLiteral("The thresholds of life used must rise: %1 "
                                              "follows %2.")
                                   .arg(levels[i])
                                   .arg(levels[i - 1]));
        }
    }
    if (settings.inspectionHours
        && !(std::isfinite(*settings.inspectionHours) && *settings.inspectionHours > 0))
        return refused(QStringLiteral("The inspection interval in flight hours must be a "
                                      "positive number, not %1.")
                           .arg(*settings.inspectionHours));
    if (settings.inspectionDays && *settings.inspectionDays <= 0)
        return refused(QStringLiteral("The inspection interval in days must be positive, not %1.")
                           .arg(*settings.inspectionDays));
    if (settings.batteryDays && *settings.batteryDays <= 0)
        return refused(QStringLiteral("The battery days below which a recorder needs attention "
                                      "must be positive, not %1.")
                           .arg(*settings.batteryDays));
    return {};
}

QString ThresholdsText(const std::vector<double> &thresholds)
{
    QStringList parts;
    for (const double percent : thresholds)
        parts << QString::number(percent, 'g', 17);
    return parts.join(QLatin1Char(','));
}

std::optional<std::vector<double>> ThresholdsFromText(const QString &text)
{
    std::vector<double> thresholds;
    for (const QString &part : text.split(QLatin1Char(','))) {
        bool ok = false;
        const double value = part.trimmed().toDouble(&ok);
        if (!ok || !std::isfinite(value))
            return std::nullopt;
        thresholds.push_back(value);
    }
    return thresholds;
}

QString CheckColumnList(const QString &prefix)
{
    QStringList columns;
    for (const char *column :
        {"life_thresholds", "inspection_hours", "inspection_days", "battery_days"})
        columns << prefix + QLatin1String(column);
    return columns.join(QStringLiteral(", "));
}

std::vector<QVariant> CheckValues(const CheckSettings &settings)
{
    const auto whole = [](const std::optional<int> &value) {
        return value ? QVariant(*value) : QVariant(QMetaType::fromType<int>());
    };
    return {settings.thresholds ? QVariant(ThresholdsText(*settings.thresholds))
                                : QVariant(QMetaType::fromType<QString>()),
        settings.inspectionHours ? QVariant(*settings.inspectionHours)
                                 : QVariant(QMetaType::fromType<double>()),
        whole(settings.inspectionDays), whole(settings.batteryDays)};
}

CheckSettings ReadChecks(const QSqlQuery &query, int first, bool &valid)
{
    CheckSettings settings;
    valid = true;
    if (!query.isNull(first)) {
        settings.thresholds = ThresholdsFromText(query.value(first).toString());
        valid = settings.thresholds.has_value();
    }
    if (!query.isNull(first + 1))
        settings.inspectionHours = query.value(first + 1).toDouble();
    if (!query.isNull(first + 2))
        settings.inspectionDays = query.value(first + 2).toInt();
    if (!query.isNull(first + 3))
        settings.batteryDays = query.value(first + 3).toInt();
    // What no CheckSettings holds reads as a damaged register.
    valid = valid && CheckCheckSettings(settings).ok();
    return settings;
}
