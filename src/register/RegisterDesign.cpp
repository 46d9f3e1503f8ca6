#include "Register.h"

#include "RegisterPrivate.h"
#include "TextFields.h"

#include <QStringList>

// The design spectra of the types: one row per type that has one, the file's name and text as
// given, so that the export carries the very file and its provenance is read from it again.
// Kept in a table of its own (schema version 4), apart from the types' structural columns.

QStringList DesignSpectrumSchema()
{
    return {QStringLiteral("CREATE TABLE type_design_spectra ("
                           "type_id INTEGER PRIMARY KEY REFERENCES aircraft_types (id), "
                           "file_name TEXT NOT NULL, "
                           "spectrum_text TEXT NOT NULL)")};
}

QString DesignSpectrumProblem(const DesignSpectrumFile &design)
{
    // PostgreSQL keeps no U+0000 in a text; SQLite would, and the two registers would differ.
    if (design.text.contains(QChar(0)) || design.fileName.contains(QChar(0)))
        return QStringLiteral("The design spectrum \"%1\" holds a U+0000 character, which the "
                              "register cannot keep.")
            .arg(MessageValue(design.fileName));
    if (design.fileName.trimmed().isEmpty())
        return QStringLiteral("The design spectrum has no file name.");
    const ReferenceReadResult read = ParseReferenceSpectrum(design.text.toUtf8(), design.fileName);
    return read.ok() ? QString() : read.message();
}

bool ReadStoredDesign(
    const QVariant &fileName, const QVariant &text, std::optional<StoredDesignSpectrum> &design)
{
    design.reset();
    if (fileName.isNull() && text.isNull())
        return true;
    StoredDesignSpectrum stored {fileName.toString(), text.toString(), {}};
    ReferenceReadResult read = ParseReferenceSpectrum(stored.text.toUtf8(), stored.fileName);
    if (!read.ok())
        return false;
    stored.spectrum = std::move(read.spectrum);
    design = std::move(stored);
    return true;
}

QByteArray DesignSpectrumJson(const std::optional<StoredDesignSpectrum> &design)
{
    if (!design)
        return QByteArrayLiteral("null");
    return "{\"file\":" + JsonString(design->fileName) + ",\"text\":" + JsonString(design->text)
        + '}';
}

Result WriteTypeDesign(
    RegisterDatabase &database, qint64 typeId, const std::optional<DesignSpectrumFile> &design)
{
    if (Result removed = database.run(
            QStringLiteral("DELETE FROM type_design_spectra WHERE type_id = ?"), {typeId});
        !removed.ok() || !design)
        return removed;
    return database.run(QStringLiteral("INSERT INTO type_design_spectra (type_id, file_name, "
                                       "spectrum_text) VALUES (?, ?, ?)"),
        {typeId, design->fileName, design->text});
}

Result Register::Private::readType(qint64 id, TypeInfo &type)
{
    QSqlQuery query;
    const QueryFinisher finisher(query);
    if (Result read = db.run(query,
            QStringLiteral("SELECT t.name, (SELECT COUNT(*) FROM aircraft a WHERE a.type_id = "
                           "t.id), d.file_name, d.spectrum_text, ")
                + StructureColumnList(QStringLiteral("t.")) + QStringLiteral(", ")
                + CheckColumnList(QStringLiteral("t."))
                + QStringLiteral(" FROM aircraft_types t LEFT JOIN type_design_spectra d ON "
                                 "d.type_id = t.id WHERE t.id = ?"),
            {id});
        !read.ok())
        return read;
    if (!query.next())
        return damaged(QStringLiteral("a type vanished"));
    type.name = query.value(0).toString();
    type.aircraft = query.value(1).toInt();
    bool valid = false;
    bool checksValid = false;
    type.structure = ReadStructure(query, 4, valid);
    type.checks = ReadChecks(query, 4 + StructureColumnCount, checksValid);
    if (!valid || !checksValid || !ReadStoredDesign(query.value(2), query.value(3), type.design))
        return damaged(QStringLiteral("the type \"%1\" has structural data, check settings or a "
                                      "design spectrum out of range")
                           .arg(type.name));
    return {};
}

TypeResult Register::setTypeDesign(
    const QString &name, const std::optional<DesignSpectrumFile> &design)
{
    if (const QString problem = NameProblem(name, QStringLiteral("type"), 200); !problem.isEmpty())
        return failed<TypeResult>(Result(Result::Invalid, problem));
    if (design) {
        if (const QString problem = DesignSpectrumProblem(*design); !problem.isEmpty())
            return failed<TypeResult>(Result(Result::Invalid, problem));
    }
    RegisterDatabase &db = d->db;
    if (Result begun = db.beginWrite(); !begun.ok())
        return failed<TypeResult>(begun);
    TransactionGuard guard(db);
    TypeResult result;
    qint64 id = 0;
    if (Result made = d->findOrMakeType(name, id); !made.ok())
        return failed<TypeResult>(made);
    if (Result written = WriteTypeDesign(db, id, design); !written.ok())
        return failed<TypeResult>(written);
    if (Result read = d->readType(id, result.type); !read.ok())
        return failed<TypeResult>(read);
    if (Result committed = guard.commit(); !committed.ok())
        return failed<TypeResult>(committed);
    return result;
}

std::optional<PriorHours> PriorOf(const AircraftInfo &aircraft, QString &why)
{
    why.clear();
    if (!aircraft.priorHours || !aircraft.priorSeverity)
        return std::nullopt;
    const std::optional<DamageParameters> &parameters = aircraft.structure().damage;
    const QString hours = ShortNumber(*aircraft.priorHours);
    if (!parameters) {
        why = QStringLiteral("the %1 h before the recorder do not count: no S-N data").arg(hours);
        return std::nullopt;
    }
    if (!aircraft.design) {
        why = QStringLiteral("the %1 h before the recorder do not count: its type has no design "
                             "spectrum to weigh them by")
                  .arg(hours);
        return std::nullopt;
    }
    const DesignDamage design
        = ComputeDesignDamage(aircraft.design->spectrum, aircraft.structure().limits, *parameters);
    if (!design.ok()) {
        why = QStringLiteral("the %1 h before the recorder do not count: %2")
                  .arg(hours, design.message());
        return std::nullopt;
    }
    // Both estimates or neither: the prior hours must not make the upper bound the lower one.
    if (!design.upper.available) {
        why = QStringLiteral("the %1 h before the recorder do not count: the design spectrum's "
                             "upper bound is not available (%2)")
                  .arg(hours, design.upper.unavailableReason);
        return std::nullopt;
    }
    PriorHours prior;
    prior.hours = *aircraft.priorHours;
    prior.damagePer1000h = *aircraft.priorSeverity * design.counted.damagePer1000h;
    prior.upperDamagePer1000h = *aircraft.priorSeverity * design.upper.damagePer1000h;
    return prior;
}
