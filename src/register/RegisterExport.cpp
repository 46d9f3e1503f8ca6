#include "RegisterExport.h"

#include "Register.h"
#include "RegisterPrivate.h"
#include "TextFields.h"

#include <QHash>
#include <QIODevice>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>

namespace {

// --- Writing --------------------------------------------------------------------------------

QByteArray structureJson(const StructuralData &structure)
{
    if (structure.isEmpty())
        return QByteArrayLiteral("null");
    const std::optional<DamageParameters> &damage = structure.damage;
    const auto number = [&damage](double DamageParameters::*member) {
        return damage ? NumberText((*damage).*member) : QByteArrayLiteral("null");
    };
    const auto optional = [&damage](std::optional<double> DamageParameters::*member) {
        return damage ? NumberText((*damage).*member) : QByteArrayLiteral("null");
    };
    const std::optional<LimitLoads> &limits = structure.limits;
    return "{\"sigma1\":" + number(&DamageParameters::stressPerG) + ",\"k\":"
        + number(&DamageParameters::slope) + ",\"sd\":" + number(&DamageParameters::enduranceStress)
        + ",\"nd\":" + number(&DamageParameters::enduranceCycles) + ",\"below\":"
        + (damage ? JsonString(BelowEnduranceName(damage->belowEndurance))
                  : QByteArrayLiteral("null"))
        + ",\"su\":" + optional(&DamageParameters::ultimateStrength)
        + ",\"scatter\":" + number(&DamageParameters::scatterFactor)
        + ",\"designLife\":" + optional(&DamageParameters::designLife) + ",\"maxLoadPositive\":"
        + optional(&DamageParameters::maxLoadPositive) + ",\"maxLoadNegative\":"
        + optional(&DamageParameters::maxLoadNegative) + ",\"limitLoadPositive\":"
        + (limits ? NumberText(limits->positive) : QByteArrayLiteral("null"))
        + ",\"limitLoadNegative\":"
        + (limits ? NumberText(limits->negative) : QByteArrayLiteral("null")) + '}';
}

// --- Reading --------------------------------------------------------------------------------

struct ImportedReadout
{
    qint64 id = 0;
    QString taken;
    RecordValues words {};
    QString file;
    qint64 record = 0;
    QString added;
    QString addedBy;
    bool declaredReset = false;
};

struct ImportedAircraft
{
    QString registration;
    QString type;
    CombineMode mode = CombineMode::Running;
    QString created;
    QString changed;
    StructuralData structure;
    std::vector<ImportedReadout> readouts;
};

struct ImportedType
{
    QString name;
    StructuralData structure;
};

// Reads a document into these, or says where it is wrong.
class ImportReader
{
public:
    explicit ImportReader(const QString &source)
        : m_source(source)
    { }
    bool read(const QByteArray &json);
    const QString &problem() const { return m_problem; }
    std::vector<ImportedType> types;
    std::vector<ImportedAircraft> aircraft;

private:
    bool fail(const QString &where, const QString &what)
    {
        m_problem
            = QStringLiteral("\"%1\" is not a register export that this program takes: "
                             "%2%3.")
                  .arg(m_source, where.isEmpty() ? QString() : where + QStringLiteral(": "), what);
        return false;
    }
    bool text(const QJsonObject &object, const char *key, const QString &where, QString &value,
        bool nullable = false);
    bool whole(const QJsonValue &value, double low, double high, qint64 &number) const;
    bool structure(const QJsonValue &value, const QString &where, StructuralData &structure);
    bool readout(const QJsonValue &value, const QString &where, ImportedReadout &readout);

    QString m_source;
    QString m_problem;
};

bool ImportReader::text(
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
    return true;
}

bool ImportReader::whole(const QJsonValue &value, double low, double high, qint64 &number) const
{
    if (!value.isDouble())
        return false;
    const double x = value.toDouble();
    if (!(x >= low && x <= high) || std::floor(x) != x)
        return false;
    number = qint64(x);
    return true;
}

bool ImportReader::structure(const QJsonValue &value, const QString &where, StructuralData &out)
{
    out = StructuralData();
    if (value.isNull() || value.isUndefined())
        return true;
    if (!value.isObject())
        return fail(where, QStringLiteral("\"structure\" must be an object or null"));
    const QJsonObject object = value.toObject();
    static const QStringList keys {QStringLiteral("sigma1"), QStringLiteral("k"),
        QStringLiteral("sd"), QStringLiteral("nd"), QStringLiteral("below"), QStringLiteral("su"),
        QStringLiteral("scatter"), QStringLiteral("designLife"), QStringLiteral("maxLoadPositive"),
        QStringLiteral("maxLoadNegative"), QStringLiteral("limitLoadPositive"),
        QStringLiteral("limitLoadNegative")};
    for (const QString &key : object.keys()) {
        if (!keys.contains(key))
            return fail(where, QStringLiteral("\"structure\" has the unknown key \"%1\"").arg(key));
    }
    std::map<QString, std::optional<double>> numbers;
    for (const QString &key : keys) {
        const QJsonValue field = object.value(key);
        if (key == QLatin1String("below"))
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
                    QStringLiteral("\"structure\": \"below\" is elementary, haibach or original"));
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
    }
    if (set("limitLoadPositive")) {
        out.limits = LimitLoads {*numbers[QStringLiteral("limitLoadPositive")],
            *numbers[QStringLiteral("limitLoadNegative")]};
        if (Result checked = CheckAxisChoice({Axis::Fraction, out.limits}); !checked.ok())
            return fail(where, QStringLiteral("\"structure\": ") + checked.message());
    }
    return true;
}

bool ImportReader::readout(const QJsonValue &value, const QString &where, ImportedReadout &out)
{
    if (!value.isObject())
        return fail(where, QStringLiteral("a read-out must be an object"));
    const QJsonObject object = value.toObject();
    if (!whole(object.value(QStringLiteral("id")), 1, 2147483647, out.id))
        return fail(where, QStringLiteral("\"id\" must be a whole number from 1 to 2147483647"));
    const QString at = where + QStringLiteral(" (id %1)").arg(out.id);
    if (!text(object, "taken", at, out.taken))
        return false;
    if (!DateFromText(out.taken).isValid())
        return fail(
            at, QStringLiteral("\"taken\" must be a date YYYY-MM-DD, not \"%1\"").arg(out.taken));
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

bool ImportReader::read(const QByteArray &json)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError)
        return fail(QString(),
            QStringLiteral("it is not JSON (%1 at byte %2)")
                .arg(error.errorString())
                .arg(error.offset));
    const QJsonObject root = document.object();
    if (!document.isObject()
        || root.value(QStringLiteral("format")).toString() != QLatin1String("zemra-register"))
        return fail(QString(), QStringLiteral("it has no \"format\": \"zemra-register\""));
    qint64 version = 0;
    if (!whole(root.value(QStringLiteral("version")), 1, 1e9, version))
        return fail(QString(), QStringLiteral("it has no \"version\" number"));
    if (version > RegisterExportVersion)
        return fail(QString(),
            QStringLiteral("it has format version %1, newer than version %2 that this program "
                           "reads; a newer version of the program wrote it")
                .arg(version)
                .arg(RegisterExportVersion));
    if (!root.value(QStringLiteral("types")).isArray()
        || !root.value(QStringLiteral("aircraft")).isArray())
        return fail(QString(), QStringLiteral("\"types\" and \"aircraft\" must be arrays"));

    QSet<QString> typeKeys;
    const QJsonArray typeList = root.value(QStringLiteral("types")).toArray();
    for (qsizetype i = 0; i < typeList.size(); ++i) {
        const QString where = QStringLiteral("type %1").arg(i + 1);
        const QJsonObject object = typeList[i].toObject();
        ImportedType type;
        if (!text(object, "name", where, type.name))
            return false;
        if (const QString problem = NameProblem(type.name, QStringLiteral("type name"), 200);
            !problem.isEmpty())
            return fail(where, problem);
        if (typeKeys.contains(NameKey(type.name)))
            return fail(where, QStringLiteral("the type \"%1\" is there twice").arg(type.name));
        typeKeys.insert(NameKey(type.name));
        if (!structure(object.value(QStringLiteral("structure")), where, type.structure))
            return false;
        types.push_back(type);
    }

    QSet<QString> registrations;
    QSet<qint64> ids;
    const QJsonArray aircraftList = root.value(QStringLiteral("aircraft")).toArray();
    for (qsizetype i = 0; i < aircraftList.size(); ++i) {
        QString where = QStringLiteral("aircraft %1").arg(i + 1);
        if (!aircraftList[i].isObject())
            return fail(where, QStringLiteral("an aircraft must be an object"));
        const QJsonObject object = aircraftList[i].toObject();
        ImportedAircraft plane;
        if (!text(object, "registration", where, plane.registration))
            return false;
        if (const QString problem
            = NameProblem(plane.registration, QStringLiteral("registration"), 100);
            !problem.isEmpty())
            return fail(where, problem);
        where += QStringLiteral(" (\"%1\")").arg(plane.registration);
        if (registrations.contains(NameKey(plane.registration)))
            return fail(where, QStringLiteral("the registration is there twice"));
        registrations.insert(NameKey(plane.registration));
        if (!text(object, "type", where, plane.type, true))
            return false;
        if (!plane.type.isEmpty() && !typeKeys.contains(NameKey(plane.type)))
            return fail(
                where, QStringLiteral("its type \"%1\" is not one of \"types\"").arg(plane.type));
        QString mode;
        if (!text(object, "combine", where, mode))
            return false;
        if (mode != QLatin1String("separate") && mode != QLatin1String("running"))
            return fail(where, QStringLiteral("\"combine\" must be separate or running"));
        plane.mode = *CombineModeFromName(mode);
        if (!text(object, "created", where, plane.created)
            || !text(object, "changed", where, plane.changed))
            return false;
        if (!IsUtcTime(plane.created) || !IsUtcTime(plane.changed))
            return fail(where,
                QStringLiteral("\"created\" and \"changed\" must be UTC times "
                               "YYYY-MM-DDTHH:MM:SSZ"));
        if (!structure(object.value(QStringLiteral("structure")), where, plane.structure))
            return false;
        if (!object.value(QStringLiteral("readouts")).isArray())
            return fail(where, QStringLiteral("\"readouts\" must be an array"));
        const QJsonArray readouts = object.value(QStringLiteral("readouts")).toArray();
        QSet<QByteArray> seen;
        for (qsizetype j = 0; j < readouts.size(); ++j) {
            ImportedReadout readout;
            if (!this->readout(
                    readouts[j], where + QStringLiteral(", read-out %1").arg(j + 1), readout))
                return false;
            if (ids.contains(readout.id))
                return fail(
                    where, QStringLiteral("the read-out id %1 is there twice").arg(readout.id));
            ids.insert(readout.id);
            const QByteArray key = readout.taken.toLatin1()
                + QByteArray(
                    reinterpret_cast<const char *>(readout.words.data()), sizeof readout.words);
            if (seen.contains(key))
                return fail(where,
                    QStringLiteral(
                        "read-out %1 is the same record on the same day as one before it")
                        .arg(readout.id));
            seen.insert(key);
            plane.readouts.push_back(std::move(readout));
        }
        aircraft.push_back(std::move(plane));
    }
    return true;
}
} // namespace

Result Register::exportJson(QIODevice &out)
{
    RegisterDatabase &db = d->db;
    if (Result begun = db.beginRead(); !begun.ok())
        return begun;
    TransactionGuard guard(db);
    QByteArray buffer;
    const auto put = [&](bool last = false) {
        if (buffer.size() < 256 * 1024 && !last)
            return true;
        const bool written = out.write(buffer) == buffer.size();
        buffer.clear();
        return written;
    };
    const Result writeFailed(Result::Failed,
        QStringLiteral("Cannot write the export of the register \"%1\": %2.")
            .arg(d->name(), out.errorString()));

    buffer += "{\"format\":\"zemra-register\",\"version\":"
        + QByteArray::number(RegisterExportVersion) + ",\n\"types\":[";
    QSqlQuery query;
    if (Result read = db.run(query,
            QStringLiteral("SELECT name, ") + StructureColumnList()
                + QStringLiteral(" FROM aircraft_types ORDER BY id"));
        !read.ok())
        return read;
    for (bool first = true; query.next(); first = false) {
        bool valid = false;
        const StructuralData structure = ReadStructure(query, 1, valid);
        if (!valid)
            return d->damaged(QStringLiteral("the type \"%1\" has structural data out of range")
                                  .arg(query.value(0).toString()));
        buffer += (first ? "\n" : ",\n");
        buffer += "{\"name\":" + JsonString(query.value(0).toString())
            + ",\"structure\":" + structureJson(structure) + '}';
    }
    query.finish();
    buffer += "],\n\"aircraft\":[";
    std::vector<AircraftInfo> aircraft;
    if (Result read = d->allAircraft(aircraft); !read.ok())
        return read;
    for (size_t i = 0; i < aircraft.size(); ++i) {
        const AircraftInfo &plane = aircraft[i];
        buffer += (i ? ",\n" : "\n");
        buffer += "{\"registration\":" + JsonString(plane.registration) + ",\"type\":"
            + (plane.type.isEmpty() ? QByteArrayLiteral("null") : JsonString(plane.type))
            + ",\"combine\":" + JsonString(CombineModeName(plane.mode)) + ",\"created\":"
            + JsonString(plane.created) + ",\"changed\":" + JsonString(plane.changed)
            + ",\"structure\":" + structureJson(plane.own) + ",\"readouts\":[";
        if (Result read = db.run(query,
                QStringLiteral("SELECT r.id, r.taken_on, a.file_name, r.record_number, "
                               "a.added_at, a.added_by, r.words, a.declared_reset FROM readouts r "
                               "JOIN additions a "
                               "ON a.id = r.addition_id WHERE r.aircraft_id = ? "
                               "ORDER BY r.taken_on, r.id"),
                {plane.id});
            !read.ok())
            return read;
        for (bool first = true; query.next(); first = false) {
            RecordValues words {};
            if (!WordsFromText(query.value(6).toString(), words))
                return d->damaged(
                    QStringLiteral("read-out %1 holds no record").arg(query.value(0).toLongLong()));
            buffer += (first ? "\n" : ",\n");
            buffer += "{\"id\":" + QByteArray::number(query.value(0).toLongLong())
                + ",\"taken\":" + JsonString(query.value(1).toString()) + ",\"words\":[";
            for (int w = 0; w < RecordWords; ++w) {
                if (w)
                    buffer += ',';
                buffer += QByteArray::number(words[w]);
            }
            buffer += "],\"file\":" + JsonString(query.value(2).toString())
                + ",\"record\":" + QByteArray::number(query.value(3).toLongLong())
                + ",\"added\":" + JsonString(query.value(4).toString())
                + ",\"addedBy\":" + JsonString(query.value(5).toString())
                + (query.value(7).toInt() != 0 ? ",\"declaredReset\":true}" : "}");
            if (!put())
                return writeFailed;
        }
        query.finish();
        buffer += "]}";
    }
    buffer += "]}\n";
    guard.commit();
    if (!put(true))
        return Result(Result::Failed,
            QStringLiteral("Cannot write the export of the register \"%1\": %2.")
                .arg(d->name(), out.errorString()));
    return {};
}

ImportResult Register::importJson(const QByteArray &json, const QString &sourceName)
{
    ImportReader reader(sourceName);
    if (!reader.read(json))
        return failed<ImportResult>(
            Result(Result::Invalid, reader.problem() + QStringLiteral(" Nothing was imported.")));
    const auto refused = [](const Result &why) {
        return failed<ImportResult>(
            Result(why.failure(), why.message() + QStringLiteral(" Nothing was imported.")));
    };

    RegisterDatabase &db = d->db;
    if (Result begun = db.beginWrite(); !begun.ok())
        return refused(begun);
    TransactionGuard guard(db);
    for (const QString &table : {QStringLiteral("aircraft"), QStringLiteral("aircraft_types")}) {
        QSqlQuery query;
        // The table name is one of the two constants above.
        if (Result read = db.run(query, QStringLiteral("SELECT COUNT(*) FROM ") + table);
            !read.ok() || !query.next())
            return refused(read);
        if (query.value(0).toLongLong() > 0)
            return refused(Result(Result::Invalid,
                QStringLiteral("The register \"%1\" is not empty: an export is taken in whole, "
                               "into a register that holds no aircraft and no types yet.")
                    .arg(d->name())));
    }

    ImportResult result;
    QHash<QString, qint64> typeIds;
    const auto bindStructure = [](QSqlQuery &query, int &position, const StructuralData &data) {
        for (const QVariant &value : StructureValues(data))
            query.bindValue(position++, value);
    };
    Result prepared;
    QSqlQuery insertType = db.prepare(QStringLiteral("INSERT INTO aircraft_types (id, name, "
                                                     "name_key, ")
            + StructureColumnList()
            + QStringLiteral(") VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
        prepared);
    QSqlQuery insertAircraft = db.prepare(QStringLiteral("INSERT INTO aircraft (id, "
                                                         "registration, registration_key, "
                                                         "type_id, combine_mode, ")
            + StructureColumnList()
            + QStringLiteral(", created_at, changed_at) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, "
                             "?, ?, ?, ?, ?, ?, ?, ?)"),
        prepared);
    QSqlQuery insertAddition = db.prepare(QStringLiteral("INSERT INTO additions (id, "
                                                         "aircraft_id, file_name, added_at, "
                                                         "added_by, declared_reset) VALUES (?, "
                                                         "?, ?, ?, ?, ?)"),
        prepared);
    if (!prepared.ok())
        return refused(prepared);
    for (const ImportedType &type : reader.types) {
        const qint64 id = typeIds.size() + 1;
        int position = 0;
        insertType.bindValue(position++, id);
        insertType.bindValue(position++, type.name);
        insertType.bindValue(position++, NameKey(type.name));
        bindStructure(insertType, position, type.structure);
        if (Result written = db.execute(insertType); !written.ok())
            return refused(written);
        typeIds.insert(NameKey(type.name), id);
    }

    ReadoutWriter writer(db);
    std::vector<std::pair<qint64, CombineMode>> planes;
    qint64 aircraftId = 0;
    qint64 additionId = 0;
    qint64 lastReadout = 0;
    for (ImportedAircraft &plane : reader.aircraft) {
        ++aircraftId;
        int position = 0;
        insertAircraft.bindValue(position++, aircraftId);
        insertAircraft.bindValue(position++, plane.registration);
        insertAircraft.bindValue(position++, NameKey(plane.registration));
        insertAircraft.bindValue(position++,
            plane.type.isEmpty() ? QVariant(QMetaType::fromType<qint64>())
                                 : QVariant(typeIds.value(NameKey(plane.type))));
        insertAircraft.bindValue(position++, CombineModeName(plane.mode));
        bindStructure(insertAircraft, position, plane.structure);
        insertAircraft.bindValue(position++, plane.created);
        insertAircraft.bindValue(position++, plane.changed);
        if (Result written = db.execute(insertAircraft); !written.ok())
            return refused(written);

        // One addition per file, time and adder, in the order the read-outs were added.
        std::vector<ImportedReadout> &readouts = plane.readouts;
        std::sort(readouts.begin(), readouts.end(),
            [](const ImportedReadout &a, const ImportedReadout &b) { return a.id < b.id; });
        std::vector<qint64> additionOf;
        QHash<QString, qint64> additions;
        for (const ImportedReadout &readout : readouts) {
            const QString key = readout.file + QChar(0) + readout.added + QChar(0) + readout.addedBy
                + (readout.declaredReset ? QChar(1) : QChar(0));
            if (!additions.contains(key)) {
                additions.insert(key, ++additionId);
                int at = 0;
                insertAddition.bindValue(at++, additionId);
                insertAddition.bindValue(at++, aircraftId);
                insertAddition.bindValue(at++, readout.file);
                insertAddition.bindValue(at++, readout.added);
                insertAddition.bindValue(at++, readout.addedBy);
                insertAddition.bindValue(at++, readout.declaredReset ? 1 : 0);
                if (Result written = db.execute(insertAddition); !written.ok())
                    return refused(written);
            }
            additionOf.push_back(additions.value(key));
            lastReadout = std::max(lastReadout, readout.id);
        }
        for (size_t i = 0; i < readouts.size(); ++i) {
            ImportedReadout &readout = readouts[i];
            if (Result written = writer.add({readout.id, aircraftId, additionOf[i], readout.record,
                    readout.taken, WordsText(readout.words)});
                !written.ok())
                return refused(written);
        }
        planes.emplace_back(aircraftId, plane.mode);
        result.readouts += qint64(readouts.size());
    }
    if (Result written = writer.flush(); !written.ok())
        return refused(written);
    for (const auto &[id, mode] : planes) {
        if (Result usage = d->rebuildUsage(id, mode, QString(), 0, nullptr); !usage.ok())
            return refused(usage);
    }
    for (const auto &[counter, next] : {std::pair {QStringLiteral("aircraft"), aircraftId + 1},
             std::pair {QStringLiteral("type"), qint64(typeIds.size()) + 1},
             std::pair {QStringLiteral("addition"), additionId + 1},
             std::pair {QStringLiteral("readout"), lastReadout + 1}}) {
        if (Result counted = d->setNextId(counter, next); !counted.ok())
            return refused(counted);
    }
    if (Result committed = guard.commit(); !committed.ok())
        return refused(committed);
    result.types = int(reader.types.size());
    result.aircraft = int(reader.aircraft.size());
    return result;
}
