#include "RegisterImport.h"

#include "RegisterPrivate.h"
#include "RegisterRows.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <cmath>
#include <map>

bool ImportValues::fail(const QString &where, const QString &what)
{
    if (m_problem.isEmpty())
        m_problem
            = QStringLiteral("\"%1\" is not a register export that this program takes: "
                             "%2%3.")
                  .arg(m_source, where.isEmpty() ? QString() : where + QStringLiteral(": "), what);
    return false;
}

bool ImportValues::text(
    const QJsonObject &object, const char *key, const QString &where, QString &value, bool nullable)
{
    const QJsonValue field = object.value(QLatin1String(key));
    if (nullable && (field.isNull() || field.isUndefined())) {
        value.clear();
        return true;
    }
    if (!field.isString())
        return fail(where, QStringLiteral("\"%1\" must be a text").arg(QLatin1String(key)));
    value = field.toString();
    // SQLite would keep it, PostgreSQL cannot: neither takes it, so that both hold the same.
    if (value.contains(QChar(0)))
        return fail(where,
            QStringLiteral("\"%1\" holds the character U+0000, which a register cannot keep")
                .arg(QLatin1String(key)));
    return true;
}

bool ImportValues::whole(const QJsonValue &value, double low, double high, qint64 &number) const
{
    if (!value.isDouble())
        return false;
    const double x = value.toDouble();
    if (!(x >= low && x <= high) || std::floor(x) != x)
        return false;
    number = qint64(x);
    return true;
}

bool ImportValues::structure(const QJsonValue &value, const QString &where, StructuralData &out)
{
    out = StructuralData();
    if (value.isNull() || value.isUndefined())
        return true;
    if (!value.isObject())
        return fail(where, QStringLiteral("\"structure\" must be an object or null"));
    const QJsonObject object = value.toObject();
    static const QStringList keys = [] {
        QStringList all;
        for (const StructureColumn &column : StructureColumns)
            all << QLatin1String(column.key);
        return all;
    }();
    for (const QString &key : object.keys()) {
        if (!keys.contains(key))
            return fail(where, QStringLiteral("\"structure\" has the unknown key \"%1\"").arg(key));
    }
    std::map<QString, std::optional<double>> numbers;
    for (const QString &key : keys) {
        const QJsonValue field = object.value(key);
        if (key == QLatin1String("below") || key == QLatin1String("locations"))
            continue;
        if (field.isNull() || field.isUndefined()) {
            numbers[key] = std::nullopt;
        } else if (field.isDouble() && std::isfinite(field.toDouble())) {
            numbers[key] = field.toDouble();
        } else {
            return fail(
                where, QStringLiteral("\"structure\": \"%1\" must be a number or null").arg(key));
        }
    }
    const auto set
        = [&numbers](const char *key) { return numbers[QLatin1String(key)].has_value(); };
    const bool sn = set("sigma1");
    if (sn != set("k") || sn != set("sd") || sn != set("nd"))
        return fail(where,
            QStringLiteral("\"structure\": sigma1, k, sd and nd are all numbers or all null"));
    if (set("maxLoadPositive") != set("maxLoadNegative")
        || set("limitLoadPositive") != set("limitLoadNegative"))
        return fail(where,
            QStringLiteral("\"structure\": each pair of loads is both numbers "
                           "or both null"));
    if (sn) {
        DamageParameters damage;
        damage.stressPerG = *numbers[QStringLiteral("sigma1")];
        damage.slope = *numbers[QStringLiteral("k")];
        damage.enduranceStress = *numbers[QStringLiteral("sd")];
        damage.enduranceCycles = *numbers[QStringLiteral("nd")];
        const QJsonValue below = object.value(QStringLiteral("below"));
        if (!below.isNull() && !below.isUndefined()) {
            const std::optional<BelowEndurance> variant = BelowEnduranceFromName(below.toString());
            if (!below.isString() || !variant)
                return fail(where,
                    QStringLiteral("\"structure\": \"below\" is %1")
                        .arg(NameChoices(BelowEnduranceNames)));
            damage.belowEndurance = *variant;
        }
        damage.ultimateStrength = numbers[QStringLiteral("su")];
        damage.scatterFactor = numbers[QStringLiteral("scatter")].value_or(8);
        damage.designLife = numbers[QStringLiteral("designLife")];
        damage.maxLoadPositive = numbers[QStringLiteral("maxLoadPositive")];
        damage.maxLoadNegative = numbers[QStringLiteral("maxLoadNegative")];
        if (Result checked = CheckDamageParameters(damage); !checked.ok())
            return fail(where, QStringLiteral("\"structure\": ") + checked.message());
        out.damage = damage;
        if (!locations(object.value(QStringLiteral("locations")), where, out))
            return false;
    } else if (!object.value(QStringLiteral("locations")).isNull()
        && !object.value(QStringLiteral("locations")).isUndefined()) {
        return fail(where, QStringLiteral("\"structure\": \"locations\" without S-N data"));
    }
    if (set("limitLoadPositive")) {
        out.limits = LimitLoads {*numbers[QStringLiteral("limitLoadPositive")],
            *numbers[QStringLiteral("limitLoadNegative")]};
        if (Result checked = CheckAxisChoice({Axis::Fraction, out.limits}); !checked.ok())
            return fail(where, QStringLiteral("\"structure\": ") + checked.message());
    }
    return true;
}

// Version 1 and 2 exports have no "locations": none.
bool ImportValues::locations(const QJsonValue &value, const QString &where, StructuralData &out)
{
    if (value.isNull() || value.isUndefined())
        return true;
    const QString text = value.isArray()
        ? QString::fromUtf8(QJsonDocument(value.toArray()).toJson(QJsonDocument::Compact))
        : QString();
    if (!LocationsFromText(text, *out.damage, out.locations))
        return fail(where,
            QStringLiteral("\"structure\": \"locations\" must be a list of locations, each "
                           "with a name of its own, sigma1, k, sd, nd, below and su, whose S-N "
                           "data is valid"));
    out.damage = out.locations.front().parameters;
    return true;
}

bool ImportValues::readout(const QJsonValue &value, const QString &where, ImportedReadout &out)
{
    if (!value.isObject())
        return fail(where, QStringLiteral("a read-out must be an object"));
    const QJsonObject object = value.toObject();
    if (!whole(object.value(QStringLiteral("id")), 1, double(MaxImportedReadoutId), out.id))
        return fail(where,
            QStringLiteral("\"id\" must be a whole number from 1 to %1, so that the next "
                           "read-out's id still fits in 32 bits")
                .arg(MaxImportedReadoutId));
    const QString at = where + QStringLiteral(" (id %1)").arg(out.id);
    if (!text(object, "taken", at, out.taken))
        return false;
    if (!DateFromText(out.taken).isValid())
        return fail(at,
            QStringLiteral("\"taken\" must be a date YYYY-MM-DD of the years 0001 to 9999, "
                           "not \"%1\"")
                .arg(out.taken));
    const QJsonArray words = object.value(QStringLiteral("words")).toArray();
    if (words.size() != RecordWords)
        return fail(at, QStringLiteral("\"words\" must be 22 whole numbers from 0 to 65535"));
    for (int i = 0; i < RecordWords; ++i) {
        qint64 word = 0;
        if (!whole(words[i], 0, 65535, word))
            return fail(at, QStringLiteral("\"words\" must be 22 whole numbers from 0 to 65535"));
        out.words[i] = std::int32_t(word);
    }
    if (!text(object, "file", at, out.file) || !text(object, "added", at, out.added)
        || !text(object, "addedBy", at, out.addedBy))
        return false;
    const QJsonValue declared = object.value(QStringLiteral("declaredReset"));
    if (!declared.isUndefined() && !declared.isBool())
        return fail(at, QStringLiteral("\"declaredReset\" must be true or false"));
    out.declaredReset = declared.toBool();
    if (!whole(object.value(QStringLiteral("record")), 1, 9007199254740992.0, out.record))
        return fail(at, QStringLiteral("\"record\" must be a whole number from 1"));
    if (!IsUtcTime(out.added))
        return fail(at,
            QStringLiteral("\"added\" must be a UTC time YYYY-MM-DDTHH:MM:SSZ, not \"%1\"")
                .arg(out.added));
    return true;
}

bool ImportValues::type(const QJsonValue &value, const QString &where, ImportedType &type)
{
    const QJsonObject object = value.toObject();
    if (!text(object, "name", where, type.name))
        return false;
    if (const QString problem = NameProblem(type.name, QStringLiteral("type name"), 200);
        !problem.isEmpty())
        return fail(where, problem);
    if (typeKeys.contains(NameKey(type.name)))
        return fail(where, QStringLiteral("the type \"%1\" is there twice").arg(type.name));
    typeKeys.insert(NameKey(type.name));
    return structure(object.value(QStringLiteral("structure")), where, type.structure)
        && checks(object.value(QStringLiteral("checks")), where, type.checks)
        && design(object.value(QStringLiteral("designSpectrum")), where, type.design);
}

bool ImportValues::design(
    const QJsonValue &value, const QString &where, std::optional<DesignSpectrumFile> &design)
{
    design.reset();
    if (value.isNull() || value.isUndefined())
        return true;
    if (!value.isObject())
        return fail(where, QStringLiteral("\"designSpectrum\" must be an object or null"));
    const QString at = where + QStringLiteral(", \"designSpectrum\"");
    DesignSpectrumFile file;
    if (!text(value.toObject(), "file", at, file.fileName)
        || !text(value.toObject(), "text", at, file.text))
        return false;
    if (const QString problem = DesignSpectrumProblem(file); !problem.isEmpty())
        return fail(at, problem);
    design = std::move(file);
    return true;
}

bool ImportValues::aircraft(const QJsonObject &object, QString &where, ImportedAircraft &plane)
{
    if (!text(object, "registration", where, plane.registration))
        return false;
    if (const QString problem
        = NameProblem(plane.registration, QStringLiteral("registration"), 100);
        !problem.isEmpty())
        return fail(where, problem);
    where += QStringLiteral(" (\"%1\")").arg(plane.registration);
    if (registrationKeys.contains(NameKey(plane.registration)))
        return fail(where, QStringLiteral("the registration is there twice"));
    registrationKeys.insert(NameKey(plane.registration));
    if (!text(object, "type", where, plane.type, true))
        return false;
    if (!plane.type.isEmpty() && !typeKeys.contains(NameKey(plane.type)))
        return fail(
            where, QStringLiteral("its type \"%1\" is not one of \"types\"").arg(plane.type));
    QString mode;
    if (!text(object, "combine", where, mode))
        return false;
    const std::optional<CombineMode> named = CombineModeFromName(mode);
    if (!named)
        return fail(
            where, QStringLiteral("\"combine\" must be %1").arg(NameChoices(CombineModeNames)));
    plane.mode = *named;
    if (!text(object, "created", where, plane.created)
        || !text(object, "changed", where, plane.changed))
        return false;
    if (!IsUtcTime(plane.created) || !IsUtcTime(plane.changed))
        return fail(where,
            QStringLiteral("\"created\" and \"changed\" must be UTC times "
                           "YYYY-MM-DDTHH:MM:SSZ"));
    return structure(object.value(QStringLiteral("structure")), where, plane.structure)
        && checks(object.value(QStringLiteral("checks")), where, plane.checks)
        && prior(object, where, plane)
        && inspections(object.value(QStringLiteral("inspections")), where, plane);
}
