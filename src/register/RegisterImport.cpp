#include "RegisterImport.h"

#include "JsonStream.h"
#include "RegisterExport.h"
#include "RegisterPrivate.h"

#include <QBuffer>
#include <QHash>

#include <unordered_set>

namespace {
// One import as it reads: each type, aircraft and read-out is written as soon as it is read, in
// the one transaction that the caller commits, so that only one read-out is held at a time.
class StreamingImport
{
public:
    StreamingImport(RegisterDatabase &db, QIODevice &in, const QString &source)
        : m_db(db)
        , m_json(in)
        , m_values(source)
        , m_writer(db)
    { }
    // Reads and writes the whole document; the failure, if any, is a problem of the document
    // (Invalid) or of the database.
    Result run(ImportResult &result);
    // The aircraft written, and the next id of each counter.
    std::vector<std::pair<QString, qint64>> nextIds() const;

private:
    bool prepare();
    bool document();
    bool types();
    bool aircraft(qsizetype index);
    bool insertAircraft(const ImportedAircraft &plane, qint64 id);
    bool readout(const QString &where, qint64 aircraftId);
    bool duplicates(const QString &where, qint64 aircraftId);
    // Runs each element of an array; `take` reads it and gives false on a failure.
    template<class Take> bool elements(Take take);
    bool wrote(const Result &written);
    bool syntax()
    {
        return m_values.fail(QString(), QStringLiteral("it is not JSON (%1)").arg(m_json.error()));
    }
    bool failed() { return m_json.failed() ? syntax() : false; }

    RegisterDatabase &m_db;
    JsonStream m_json;
    ImportValues m_values;
    Result m_database; // a statement that failed
    QSqlQuery m_insertType;
    QSqlQuery m_insertAircraft;
    QSqlQuery m_insertAddition;
    QSqlQuery m_insertInspection;
    ReadoutWriter m_writer;
    QHash<QString, qint64> m_typeIds;
    std::unordered_set<qint64> m_readoutIds;
    QHash<QString, qint64> m_additions; // of the aircraft being read
    std::vector<std::pair<qint64, CombineMode>> m_planes;
    qint64 m_additionId = 0;
    qint64 m_lastReadout = 0;
    qint64 m_readouts = 0;
};

void bindStructure(QSqlQuery &query, int &position, const StructuralData &data)
{
    for (const QVariant &value : StructureValues(data))
        query.bindValue(position++, value);
}

bool StreamingImport::wrote(const Result &written)
{
    if (!written.ok())
        m_database = written;
    return written.ok();
}

bool StreamingImport::prepare()
{
    Result prepared;
    const auto places = [](int count) {
        return QStringLiteral("?, ").repeated(count - 1) + QStringLiteral("?)");
    };
    m_insertType = m_db.prepare(QStringLiteral("INSERT INTO aircraft_types (id, name, name_key, ")
            + StructureColumnList() + QStringLiteral(", ") + CheckColumnList()
            + QStringLiteral(") VALUES (") + places(3 + StructureColumnCount + CheckColumnCount),
        prepared);
    m_insertAircraft = m_db.prepare(QStringLiteral("INSERT INTO aircraft (id, registration, "
                                                   "registration_key, type_id, combine_mode, ")
            + StructureColumnList() + QStringLiteral(", ") + CheckColumnList()
            + QStringLiteral(", prior_hours, prior_severity, created_at, changed_at) VALUES (")
            + places(9 + StructureColumnCount + CheckColumnCount),
        prepared);
    m_insertInspection = m_db.prepare(QStringLiteral("INSERT INTO inspections (aircraft_id, "
                                                     "done_on, recorded_at, recorded_by) VALUES "
                                                     "(?, ?, ?, ?)"),
        prepared);
    m_insertAddition = m_db.prepare(QStringLiteral("INSERT INTO additions (id, aircraft_id, "
                                                   "file_name, added_at, added_by, "
                                                   "declared_reset) VALUES (?, ?, ?, ?, ?, ?)"),
        prepared);
    return wrote(prepared);
}

template<class Take> bool StreamingImport::elements(Take take)
{
    if (!m_json.take('['))
        return failed();
    if (m_json.peek() == ']')
        return m_json.take(']');
    qsizetype index = 0;
    do {
        if (!take(++index))
            return false;
    } while (m_json.more(']'));
    return !m_json.failed() || syntax();
}

// The outer object: "format" and "version" first, then "types" before "aircraft", as the export
// writes them, so that nothing read needs what comes after it.
bool StreamingImport::document()
{
    if (!m_json.take('{'))
        return syntax();
    bool format = false;
    qint64 version = 0;
    bool typesRead = false;
    bool aircraftRead = false;
    const auto header = [&]() {
        if (!format)
            return m_values.fail(QString(),
                QStringLiteral("it has no \"format\": \"zemra-register\" before its \"types\" and "
                               "\"aircraft\""));
        if (!version)
            return m_values.fail(QString(),
                QStringLiteral(
                    "it has no \"version\" number before its \"types\" and \"aircraft\""));
        return true;
    };
    if (m_json.peek() == '}')
        m_json.take('}');
    else
        do {
            QString key;
            if (!m_json.key(key))
                return syntax();
            QJsonValue value;
            if (key == QLatin1String("types") || key == QLatin1String("aircraft")) {
                if (!header())
                    return false;
                if (m_json.peek() != '[')
                    return m_json.failed()
                        ? syntax()
                        : m_values.fail(
                            QString(), QStringLiteral("\"types\" and \"aircraft\" must be arrays"));
                if (key == QLatin1String("types") && aircraftRead)
                    return m_values.fail(QString(),
                        QStringLiteral("its \"types\" come after its \"aircraft\", where the "
                                       "export writes them before"));
                if (!(key == QLatin1String("types") ? types() : elements([this](qsizetype i) {
                        return aircraft(i);
                    })))
                    return false;
                (key == QLatin1String("types") ? typesRead : aircraftRead) = true;
                continue;
            }
            if (!m_json.value(value))
                return syntax();
            if (key == QLatin1String("format")) {
                if (value.toString() != QLatin1String("zemra-register"))
                    return m_values.fail(
                        QString(), QStringLiteral("it has no \"format\": \"zemra-register\""));
                format = true;
            } else if (key == QLatin1String("version")) {
                if (!m_values.whole(value, 1, 1e9, version))
                    return m_values.fail(QString(), QStringLiteral("it has no \"version\" number"));
                if (version > RegisterExportVersion)
                    return m_values.fail(QString(),
                        QStringLiteral("it has format version %1, newer than version %2 that this "
                                       "program reads; a newer version of the program wrote it")
                            .arg(version)
                            .arg(RegisterExportVersion));
            }
        } while (m_json.more('}'));
    if (m_json.failed() || !m_json.atEnd())
        return syntax();
    if (!header())
        return false;
    if (!typesRead || !aircraftRead)
        return m_values.fail(
            QString(), QStringLiteral("\"types\" and \"aircraft\" must be arrays"));
    return true;
}

bool StreamingImport::types()
{
    return elements([this](qsizetype index) {
        QJsonValue value;
        if (!m_json.value(value))
            return syntax();
        ImportedType type;
        if (!m_values.type(value, QStringLiteral("type %1").arg(index), type))
            return false;
        const qint64 id = m_typeIds.size() + 1;
        int position = 0;
        m_insertType.bindValue(position++, id);
        m_insertType.bindValue(position++, type.name);
        m_insertType.bindValue(position++, NameKey(type.name));
        bindStructure(m_insertType, position, type.structure);
        for (const QVariant &value : CheckValues(type.checks))
            m_insertType.bindValue(position++, value);
        m_typeIds.insert(NameKey(type.name), id);
        return wrote(m_db.execute(m_insertType)) && wrote(WriteTypeDesign(m_db, id, type.design));
    });
}

// The aircraft's row and its inspections.
bool StreamingImport::insertAircraft(const ImportedAircraft &plane, qint64 id)
{
    int position = 0;
    m_insertAircraft.bindValue(position++, id);
    m_insertAircraft.bindValue(position++, plane.registration);
    m_insertAircraft.bindValue(position++, NameKey(plane.registration));
    m_insertAircraft.bindValue(position++,
        plane.type.isEmpty() ? QVariant(QMetaType::fromType<qint64>())
                             : QVariant(m_typeIds.value(NameKey(plane.type))));
    m_insertAircraft.bindValue(position++, CombineModeName(plane.mode));
    bindStructure(m_insertAircraft, position, plane.structure);
    for (const QVariant &value : CheckValues(plane.checks))
        m_insertAircraft.bindValue(position++, value);
    for (const std::optional<double> &prior : {plane.priorHours, plane.priorSeverity})
        m_insertAircraft.bindValue(
            position++, prior ? QVariant(*prior) : QVariant(QMetaType::fromType<double>()));
    m_insertAircraft.bindValue(position++, plane.created);
    m_insertAircraft.bindValue(position++, plane.changed);
    if (!wrote(m_db.execute(m_insertAircraft)))
        return false;
    for (const ImportedAircraft::Inspection &inspection : plane.inspections) {
        int at = 0;
        for (const QVariant &value : {QVariant(id), QVariant(inspection.done),
                 QVariant(inspection.recorded), QVariant(inspection.recordedBy)})
            m_insertInspection.bindValue(at++, value);
        if (!wrote(m_db.execute(m_insertInspection)))
            return false;
    }
    return true;
}

// An aircraft's keys are read whole up to "readouts", which comes last (as the export writes
// it): the aircraft is written, then each read-out as it is read.
bool StreamingImport::aircraft(qsizetype index)
{
    QString where = QStringLiteral("aircraft %1").arg(index);
    if (m_json.peek() != '{')
        return m_json.failed()
            ? syntax()
            : m_values.fail(where, QStringLiteral("an aircraft must be an object"));
    m_json.take('{');
    QJsonObject object;
    ImportedAircraft plane;
    const qint64 id = qint64(m_planes.size()) + 1;
    bool readouts = false;
    if (m_json.peek() == '}')
        m_json.take('}');
    else
        do {
            QString key;
            if (!m_json.key(key))
                return syntax();
            if (readouts)
                return m_values.fail(where,
                    QStringLiteral("\"%1\" comes after \"readouts\", which the export writes last")
                        .arg(key));
            if (key != QLatin1String("readouts")) {
                QJsonValue value;
                if (!m_json.value(value))
                    return syntax();
                object.insert(key, value);
                continue;
            }
            for (const char *needed : {"registration", "combine", "created", "changed"}) {
                if (!object.contains(QLatin1String(needed)))
                    return m_values.fail(where,
                        QStringLiteral("\"%1\" is missing before \"readouts\", where the export "
                                       "writes it")
                            .arg(QLatin1String(needed)));
            }
            if (!m_values.aircraft(object, where, plane))
                return false;
            if (!insertAircraft(plane, id))
                return false;
            if (m_json.peek() != '[')
                return m_json.failed()
                    ? syntax()
                    : m_values.fail(where, QStringLiteral("\"readouts\" must be an array"));
            m_additions.clear();
            readouts = true;
            if (!elements([&](qsizetype j) {
                    return readout(where + QStringLiteral(", read-out %1").arg(j), id);
                }))
                return false;
        } while (m_json.more('}'));
    if (m_json.failed())
        return syntax();
    if (!readouts)
        return m_values.aircraft(object, where, plane)
            && m_values.fail(where, QStringLiteral("\"readouts\" must be an array"));
    m_planes.emplace_back(id, plane.mode);
    return duplicates(where, id);
}

bool StreamingImport::readout(const QString &where, qint64 aircraftId)
{
    QJsonValue value;
    if (!m_json.value(value))
        return syntax();
    ImportedReadout readout;
    if (!m_values.readout(value, where, readout))
        return false;
    if (!m_readoutIds.insert(readout.id).second)
        return m_values.fail(
            where, QStringLiteral("the read-out id %1 is there twice").arg(readout.id));
    // One addition per file, time and adder of the aircraft.
    const QString key = readout.file + QChar(0) + readout.added + QChar(0) + readout.addedBy
        + (readout.declaredReset ? QChar(1) : QChar(0));
    qint64 addition = m_additions.value(key);
    if (!addition) {
        addition = ++m_additionId;
        m_additions.insert(key, addition);
        int at = 0;
        m_insertAddition.bindValue(at++, addition);
        m_insertAddition.bindValue(at++, aircraftId);
        m_insertAddition.bindValue(at++, readout.file);
        m_insertAddition.bindValue(at++, readout.added);
        m_insertAddition.bindValue(at++, readout.addedBy);
        m_insertAddition.bindValue(at++, readout.declaredReset ? 1 : 0);
        if (!wrote(m_db.execute(m_insertAddition)))
            return false;
    }
    m_lastReadout = std::max(m_lastReadout, readout.id);
    ++m_readouts;
    return wrote(m_writer.add({readout.id, aircraftId, addition, readout.record, readout.taken,
        WordsText(readout.words)}));
}

// The same record twice on one day is asked of the database once the aircraft is written,
// rather than remembered read-out by read-out.
bool StreamingImport::duplicates(const QString &where, qint64 aircraftId)
{
    if (!wrote(m_writer.flush()))
        return false;
    QSqlQuery query;
    const QueryFinisher finisher(query);
    if (!wrote(m_db.run(query,
            QStringLiteral("SELECT MAX(id) FROM readouts WHERE aircraft_id = ? "
                           "GROUP BY taken_on, words HAVING COUNT(*) > 1 ORDER BY 1 LIMIT 1"),
            {aircraftId})))
        return false;
    if (!query.next())
        return true;
    const qint64 twice = query.value(0).toLongLong();
    query.finish();
    return m_values.fail(where,
        QStringLiteral("read-out %1 is the same record on the same day as one before it")
            .arg(twice));
}

std::vector<std::pair<QString, qint64>> StreamingImport::nextIds() const
{
    return {{QStringLiteral("aircraft"), qint64(m_planes.size()) + 1},
        {QStringLiteral("type"), qint64(m_typeIds.size()) + 1},
        {QStringLiteral("addition"), m_additionId + 1},
        {QStringLiteral("readout"), m_lastReadout + 1}};
}

Result StreamingImport::run(ImportResult &result)
{
    if (!prepare() || !document())
        return m_database.ok() ? Result(Result::Invalid, m_values.problem()) : m_database;
    result.types = int(m_typeIds.size());
    result.aircraft = int(m_planes.size());
    result.readouts = m_readouts;
    return {};
}
} // namespace

ImportResult Register::importJson(QIODevice &in, const QString &sourceName)
{
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
        const QueryFinisher finisher(query);
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
    StreamingImport import(db, in, sourceName);
    if (Result imported = import.run(result); !imported.ok())
        return refused(imported);
    if (Result usage = d->rebuildAllUsage(); !usage.ok())
        return refused(usage);
    for (const auto &[counter, next] : import.nextIds()) {
        if (Result counted = d->setNextId(counter, next); !counted.ok())
            return refused(counted);
    }
    if (Result committed = guard.commit(); !committed.ok())
        return refused(committed);
    return result;
}

ImportResult Register::importJson(const QByteArray &json, const QString &sourceName)
{
    QBuffer buffer;
    buffer.setData(json);
    buffer.open(QIODevice::ReadOnly);
    return importJson(buffer, sourceName);
}
