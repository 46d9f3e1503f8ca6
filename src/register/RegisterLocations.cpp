#include "RegisterTypes.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>

size_t StructuralData::locationCount() const
{
    return locations.empty() ? (damage ? 1 : 0) : locations.size();
}

StructuralData StructuralData::atLocation(size_t index) const
{
    StructuralData at = *this;
    if (index < locations.size())
        at.damage = locations[index].parameters;
    return at;
}

QString StructuralData::locationName(size_t index) const
{
    return index < locations.size() ? locations[index].name : QString();
}

std::optional<size_t> StructuralData::locationIndex(const QString &name) const
{
    for (size_t i = 0; i < locations.size(); ++i) {
        if (locations[i].name.compare(name.trimmed(), Qt::CaseInsensitive) == 0)
            return i;
    }
    return std::nullopt;
}

AircraftInfo AircraftInfo::atLocation(size_t index) const
{
    AircraftInfo at = *this;
    StructuralData &inEffect = own.isEmpty() ? at.typeData : at.own;
    inEffect = inEffect.atLocation(index);
    at.location = inEffect.locationName(index);
    return at;
}

StructuralData WithLocations(const DamageParameters &shared, std::optional<LimitLoads> limits,
    std::vector<StructuralLocation> locations)
{
    StructuralData made;
    made.limits = limits;
    for (StructuralLocation &location : locations)
        location.parameters = LocationParameters(shared, location.parameters);
    if (!locations.empty())
        made.damage = locations.front().parameters;
    made.locations = std::move(locations);
    return made;
}

QString LocationsText(const std::vector<StructuralLocation> &locations)
{
    QJsonArray array;
    for (const StructuralLocation &location : locations) {
        const DamageParameters &p = location.parameters;
        QJsonObject object {{QStringLiteral("name"), location.name},
            {QStringLiteral("sigma1"), p.stressPerG}, {QStringLiteral("k"), p.slope},
            {QStringLiteral("sd"), p.enduranceStress}, {QStringLiteral("nd"), p.enduranceCycles},
            {QStringLiteral("below"), BelowEnduranceName(p.belowEndurance)},
            {QStringLiteral("su"),
                p.ultimateStrength ? QJsonValue(*p.ultimateStrength) : QJsonValue()}};
        array.append(object);
    }
    return QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Compact));
}

namespace {
bool finiteNumber(const QJsonObject &object, const char *key, double &value)
{
    const QJsonValue field = object.value(QLatin1String(key));
    value = field.toDouble();
    return field.isDouble() && std::isfinite(value);
}

bool locationFromJson(
    const QJsonValue &value, const DamageParameters &shared, StructuralLocation &location)
{
    if (!value.isObject())
        return false;
    const QJsonObject object = value.toObject();
    if (object.size() != 7 || !object.value(QStringLiteral("name")).isString())
        return false;
    location.name = object.value(QStringLiteral("name")).toString();
    DamageParameters own = shared;
    const std::optional<BelowEndurance> below
        = BelowEnduranceFromName(object.value(QStringLiteral("below")).toString());
    if (!finiteNumber(object, "sigma1", own.stressPerG) || !finiteNumber(object, "k", own.slope)
        || !finiteNumber(object, "sd", own.enduranceStress)
        || !finiteNumber(object, "nd", own.enduranceCycles) || !below)
        return false;
    own.belowEndurance = *below;
    const QJsonValue su = object.value(QStringLiteral("su"));
    double ultimate = 0;
    if (!su.isNull() && !finiteNumber(object, "su", ultimate))
        return false;
    own.ultimateStrength = su.isNull() ? std::nullopt : std::optional(ultimate);
    location.parameters = own;
    return true;
}
} // namespace

bool LocationsFromText(
    const QString &text, const DamageParameters &shared, std::vector<StructuralLocation> &locations)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(text.toUtf8(), &error);
    if (error.error != QJsonParseError::NoError || !document.isArray())
        return false;
    locations.clear();
    for (const QJsonValue &value : document.array()) {
        StructuralLocation location;
        if (!locationFromJson(value, shared, location))
            return false;
        locations.push_back(std::move(location));
    }
    return !locations.empty() && CheckStructuralLocations(locations).ok();
}
