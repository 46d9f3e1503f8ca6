#include "RegisterExport.h"

#include "Register.h"
#include "RegisterPrivate.h"
#include "TextFields.h"

#include <QIODevice>

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
    // In the order of StructureColumns, whose keys they are given.
    const QByteArray values[] = {number(&DamageParameters::stressPerG),
        number(&DamageParameters::slope), number(&DamageParameters::enduranceStress),
        number(&DamageParameters::enduranceCycles),
        damage ? JsonString(BelowEnduranceName(damage->belowEndurance)) : QByteArrayLiteral("null"),
        optional(&DamageParameters::ultimateStrength), number(&DamageParameters::scatterFactor),
        optional(&DamageParameters::designLife), optional(&DamageParameters::maxLoadPositive),
        optional(&DamageParameters::maxLoadNegative),
        limits ? NumberText(limits->positive) : QByteArrayLiteral("null"),
        limits ? NumberText(limits->negative) : QByteArrayLiteral("null"),
        structure.locations.empty() ? QByteArrayLiteral("null")
                                    : LocationsText(structure.locations).toUtf8()};
    static_assert(std::size(values) == std::size(StructureColumns));
    QByteArray json = "{";
    for (int i = 0; i < StructureColumnCount; ++i)
        json += (i ? ",\"" : "\"") + QByteArray(StructureColumns[i].key) + "\":" + values[i];
    return json + '}';
}

QByteArray checksJson(const CheckSettings &checks)
{
    if (checks.isEmpty())
        return QByteArrayLiteral("null");
    QByteArray thresholds = "null";
    if (checks.thresholds) {
        thresholds = "[";
        for (size_t i = 0; i < checks.thresholds->size(); ++i)
            thresholds += (i ? "," : "") + NumberText((*checks.thresholds)[i]);
        thresholds += ']';
    }
    const auto whole = [](const std::optional<int> &value) {
        return value ? QByteArray::number(*value) : QByteArrayLiteral("null");
    };
    return "{\"thresholds\":" + thresholds + ",\"inspectionHours\":"
        + NumberText(checks.inspectionHours) + ",\"inspectionDays\":" + whole(checks.inspectionDays)
        + ",\"batteryDays\":" + whole(checks.batteryDays) + '}';
}
} // namespace

Result Register::Private::exportInspections(qint64 aircraft, QByteArray &buffer)
{
    QSqlQuery query;
    const QueryFinisher finisher(query);
    if (Result read = db.run(query,
            QStringLiteral("SELECT done_on, recorded_at, recorded_by FROM inspections WHERE "
                           "aircraft_id = ? ORDER BY done_on"),
            {aircraft});
        !read.ok())
        return read;
    buffer += ",\"inspections\":[";
    for (bool first = true; query.next(); first = false)
        buffer += (first ? "" : ",") + QByteArray("{\"done\":")
            + JsonString(query.value(0).toString())
            + ",\"recorded\":" + JsonString(query.value(1).toString())
            + ",\"recordedBy\":" + JsonString(query.value(2).toString()) + '}';
    buffer += ']';
    return {};
}

Result Register::Private::exportTypes(QByteArray &buffer)
{
    QSqlQuery query;
    const QueryFinisher finisher(query);
    if (Result read = db.run(query,
            QStringLiteral("SELECT t.name, d.file_name, d.spectrum_text, ")
                + StructureColumnList(QStringLiteral("t.")) + QStringLiteral(", ")
                + CheckColumnList(QStringLiteral("t."))
                + QStringLiteral(" FROM aircraft_types t LEFT JOIN type_design_spectra d ON "
                                 "d.type_id = t.id ORDER BY t.id"));
        !read.ok())
        return read;
    for (bool first = true; query.next(); first = false) {
        bool valid = false;
        bool checksValid = false;
        const StructuralData structure = ReadStructure(query, 3, valid);
        const CheckSettings checks = ReadChecks(query, 3 + StructureColumnCount, checksValid);
        std::optional<StoredDesignSpectrum> design;
        if (!valid || !checksValid || !ReadStoredDesign(query.value(1), query.value(2), design))
            return damaged(QStringLiteral("the type \"%1\" has structural data, check settings "
                                          "or a design spectrum out of range")
                               .arg(query.value(0).toString()));
        buffer += (first ? "\n" : ",\n");
        buffer += "{\"name\":" + JsonString(query.value(0).toString())
            + ",\"structure\":" + structureJson(structure) + ",\"checks\":" + checksJson(checks)
            + ",\"designSpectrum\":" + DesignSpectrumJson(design) + '}';
    }
    query.finish();
    return {};
}

Result Register::Private::exportReadouts(qint64 aircraft, QByteArray &buffer,
    const std::function<bool(bool)> &put, const Result &writeFailed)
{
    QSqlQuery query;
    const QueryFinisher finisher(query);
    if (Result read = db.run(query,
            QStringLiteral("SELECT r.id, r.taken_on, a.file_name, r.record_number, "
                           "a.added_at, a.added_by, r.words, a.declared_reset FROM readouts r "
                           "JOIN additions a "
                           "ON a.id = r.addition_id WHERE r.aircraft_id = ? "
                           "ORDER BY r.taken_on, r.id"),
            {aircraft});
        !read.ok())
        return read;
    for (bool first = true; query.next(); first = false) {
        RecordValues words {};
        if (!WordsFromText(query.value(6).toString(), words))
            return damaged(
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
        if (!put(false))
            return writeFailed;
    }
    return {};
}

Result Register::exportJson(QIODevice &out)
{
    RegisterDatabase &db = d->db;
    if (Result begun = db.beginRead(); !begun.ok())
        return begun;
    TransactionGuard guard(db);
    QByteArray buffer;
    const std::function<bool(bool)> put = [&](bool last) {
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
    if (Result types = d->exportTypes(buffer); !types.ok())
        return types;
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
            + ",\"structure\":" + structureJson(plane.own) + ",\"checks\":"
            + checksJson(plane.ownChecks) + ",\"priorHours\":" + NumberText(plane.priorHours)
            + ",\"priorSeverity\":" + NumberText(plane.priorSeverity);
        if (Result inspections = d->exportInspections(plane.id, buffer); !inspections.ok())
            return inspections;
        buffer += ",\"readouts\":[";
        if (Result readouts = d->exportReadouts(plane.id, buffer, put, writeFailed); !readouts.ok())
            return readouts;
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
