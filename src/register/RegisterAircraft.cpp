#include "Register.h"

#include "RegisterPeriods.h"
#include "RegisterPrivate.h"
#include "RegisterSchema.h"

#include <QSet>

#include <algorithm>

namespace {
const QString AircraftSelect = QStringLiteral("SELECT a.id, a.registration, a.combine_mode, "
                                              "a.created_at, a.changed_at, t.name, ")
    + StructureColumnList(QStringLiteral("a.")) + QStringLiteral(", ")
    + StructureColumnList(QStringLiteral("t.")) + QStringLiteral(", d.file_name, d.spectrum_text")
    + QStringLiteral(" FROM aircraft a LEFT JOIN aircraft_types t ON t.id = a.type_id"
                     " LEFT JOIN type_design_spectra d ON d.type_id = a.type_id");

bool readAircraft(const QSqlQuery &query, AircraftInfo &aircraft)
{
    aircraft.id = query.value(0).toLongLong();
    aircraft.registration = query.value(1).toString();
    const std::optional<CombineMode> mode = CombineModeFromName(query.value(2).toString());
    aircraft.mode = mode.value_or(CombineMode::Running);
    aircraft.created = query.value(3).toString();
    aircraft.changed = query.value(4).toString();
    aircraft.type = query.value(5).toString();
    bool ownValid = false;
    bool typeValid = false;
    aircraft.own = ReadStructure(query, 6, ownValid);
    aircraft.typeData = ReadStructure(query, 6 + StructureColumnCount, typeValid);
    const int design = 6 + 2 * StructureColumnCount;
    return mode.has_value() && ownValid && typeValid
        && ReadStoredDesign(query.value(design), query.value(design + 1), aircraft.design);
}

Result structureProblem(const StructuralData &structure)
{
    if (structure.damage) {
        if (Result checked = CheckDamageParameters(*structure.damage); !checked.ok())
            return checked;
    }
    if (structure.limits)
        return CheckAxisChoice(AxisChoice {Axis::Fraction, structure.limits});
    return {};
}

} // namespace

QString StructureSourceName(StructureSource source)
{
    switch (source) {
    case StructureSource::Aircraft:
        return QStringLiteral("aircraft");
    case StructureSource::Type:
        return QStringLiteral("type");
    case StructureSource::None:
        break;
    }
    return QStringLiteral("none");
}

StructureSource AircraftInfo::structureSource() const
{
    if (!own.isEmpty())
        return StructureSource::Aircraft;
    return typeData.isEmpty() ? StructureSource::None : StructureSource::Type;
}

// --- Aircraft and types ---------------------------------------------------------------------

Result Register::Private::findAircraft(
    const QString &registration, AircraftInfo &aircraft, bool &found)
{
    QSqlQuery query;
    const QueryFinisher finisher(query);
    if (Result read
        = db.run(query, AircraftSelect + QStringLiteral(" WHERE a.registration_key = ?"),
            {NameKey(registration)});
        !read.ok())
        return read;
    found = query.next();
    if (found && !readAircraft(query, aircraft))
        return damaged(QStringLiteral("the aircraft \"%1\" has a mode or structural data out of "
                                      "range")
                           .arg(aircraft.registration));
    return {};
}

Result Register::Private::allAircraft(std::vector<AircraftInfo> &aircraft)
{
    QSqlQuery query;
    const QueryFinisher finisher(query);
    if (Result read = db.run(query, AircraftSelect + QStringLiteral(" ORDER BY a.id")); !read.ok())
        return read;
    while (query.next()) {
        AircraftInfo info;
        if (!readAircraft(query, info))
            return damaged(QStringLiteral("the aircraft \"%1\" has a mode or structural data "
                                          "out of range")
                               .arg(info.registration));
        aircraft.push_back(info);
    }
    return {};
}

Result Register::Private::knownAircraft(const QString &registration, AircraftInfo &aircraft)
{
    bool found = false;
    if (Result read = findAircraft(registration, aircraft, found); !read.ok())
        return read;
    return found ? Result() : unknownAircraft(registration);
}

Result Register::Private::unknownAircraft(const QString &registration) const
{
    return Result(Result::Invalid,
        QStringLiteral("There is no aircraft \"%1\" in the register \"%2\": add it first, saying "
                       "whether its read-outs are separate or running totals.")
            .arg(registration.trimmed(), name()));
}

Result Register::Private::nextId(const QString &counter, qint64 &id)
{
    QSqlQuery query;
    const QueryFinisher finisher(query);
    if (Result read = db.run(
            query, QStringLiteral("SELECT next_id FROM id_counters WHERE name = ?"), {counter});
        !read.ok())
        return read;
    if (!query.next())
        return damaged(QStringLiteral("its id counter \"%1\" is missing").arg(counter));
    id = query.value(0).toLongLong();
    return {};
}

Result Register::Private::setNextId(const QString &counter, qint64 id)
{
    return db.run(
        QStringLiteral("UPDATE id_counters SET next_id = ? WHERE name = ?"), {id, counter});
}

Result Register::Private::findOrMakeType(const QString &name, qint64 &id)
{
    QSqlQuery query;
    const QueryFinisher finisher(query);
    if (Result read = db.run(query,
            QStringLiteral("SELECT id FROM aircraft_types WHERE name_key = ?"), {NameKey(name)});
        !read.ok())
        return read;
    if (query.next()) {
        id = query.value(0).toLongLong();
        return {};
    }
    if (Result next = nextId(QStringLiteral("type"), id); !next.ok())
        return next;
    if (Result made
        = db.run(QStringLiteral("INSERT INTO aircraft_types (id, name, name_key) VALUES (?, ?, ?)"),
            {id, name.trimmed(), NameKey(name)});
        !made.ok())
        return made;
    return setNextId(QStringLiteral("type"), id + 1);
}

AircraftResult Register::aircraft(const QString &registration)
{
    AircraftResult result;
    if (Result read = d->knownAircraft(registration, result.aircraft); !read.ok())
        return failed<AircraftResult>(read);
    return result;
}

namespace {
// What setAircraft refuses before it opens a transaction.
Result changeProblem(const AircraftChange &change)
{
    if (const QString problem
        = NameProblem(change.registration, QStringLiteral("registration"), 100);
        !problem.isEmpty())
        return Result(Result::Invalid, problem);
    if (change.type && !change.type->trimmed().isEmpty()) {
        if (const QString problem = NameProblem(*change.type, QStringLiteral("type"), 200);
            !problem.isEmpty())
            return Result(Result::Invalid, problem);
    }
    if (change.mode && *change.mode == CombineMode::NotGiven)
        return Result(Result::Invalid, CombineModeChoices);
    if (change.structure)
        return structureProblem(*change.structure);
    return Result();
}
} // namespace

Result Register::Private::insertAircraft(
    const AircraftChange &change, const QString &registration, const QString &now, qint64 &id)
{
    if (!change.mode)
        return Result(Result::Invalid,
            QStringLiteral("The aircraft \"%1\" is not in the register yet: say once how its "
                           "read-outs relate. %2")
                .arg(registration, CombineModeChoices));
    if (Result next = nextId(QStringLiteral("aircraft"), id); !next.ok())
        return next;
    Result result;
    QSqlQuery insert = db.prepare(QStringLiteral("INSERT INTO aircraft (id, registration, "
                                                 "registration_key, combine_mode, ")
            + StructureColumnList()
            + QStringLiteral(", created_at, changed_at) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, "
                             "?, ?, ?, ?, ?, ?, ?, ?)"),
        result);
    if (!result.ok())
        return result;
    int position = 0;
    insert.bindValue(position++, id);
    insert.bindValue(position++, registration);
    insert.bindValue(position++, NameKey(registration));
    insert.bindValue(position++, CombineModeName(*change.mode));
    for (const QVariant &value : StructureValues(change.structure.value_or(StructuralData())))
        insert.bindValue(position++, value);
    insert.bindValue(position++, now);
    insert.bindValue(position++, now);
    if (Result inserted = db.execute(insert); !inserted.ok())
        return inserted;
    return setNextId(QStringLiteral("aircraft"), id + 1);
}

Result Register::Private::updateAircraft(
    const AircraftChange &change, const AircraftInfo &current, const QString &now, bool &recomputed)
{
    const CombineMode mode = change.mode.value_or(current.mode);
    const StructuralData structure = change.structure.value_or(current.own);
    // The registration stays as it was first written, whatever case it is matched in.
    Result result;
    QSqlQuery update = db.prepare(QStringLiteral("UPDATE aircraft SET combine_mode = ?, "
                                                 "changed_at = ?, ")
            + Assignments(StructureColumnList()) + QStringLiteral(" WHERE id = ?"),
        result);
    if (!result.ok())
        return result;
    int position = 0;
    update.bindValue(position++, CombineModeName(mode));
    update.bindValue(position++, now);
    for (const QVariant &value : StructureValues(structure))
        update.bindValue(position++, value);
    update.bindValue(position++, current.id);
    if (Result updated = db.execute(update); !updated.ok())
        return updated;
    if (mode != current.mode) {
        if (Result derived = rebuildUsage(current.id, mode, QString(), 0, nullptr); !derived.ok())
            return derived;
        recomputed = true;
    }
    return Result();
}

Result Register::Private::linkType(const QString &typeName, qint64 id)
{
    QVariant type(QMetaType::fromType<qint64>());
    if (!typeName.trimmed().isEmpty()) {
        qint64 typeId = 0;
        if (Result made = findOrMakeType(typeName, typeId); !made.ok())
            return made;
        type = typeId;
    }
    return db.run(QStringLiteral("UPDATE aircraft SET type_id = ? WHERE id = ?"), {type, id});
}

AircraftResult Register::setAircraft(const AircraftChange &change)
{
    if (Result problem = changeProblem(change); !problem.ok())
        return failed<AircraftResult>(problem);

    RegisterDatabase &db = d->db;
    if (Result begun = db.beginWrite(); !begun.ok())
        return failed<AircraftResult>(begun);
    TransactionGuard guard(db);
    AircraftResult result;
    AircraftInfo current;
    bool found = false;
    if (Result read = d->findAircraft(change.registration, current, found); !read.ok())
        return failed<AircraftResult>(read);
    const QString now = UtcNow();
    const QString registration = change.registration.trimmed();
    qint64 id = current.id;
    if (!found) {
        if (Result made = d->insertAircraft(change, registration, now, id); !made.ok())
            return failed<AircraftResult>(made);
        result.created = true;
    } else if (Result updated = d->updateAircraft(change, current, now, result.periodsRecomputed);
               !updated.ok())
        return failed<AircraftResult>(updated);
    if (change.type) {
        if (Result linked = d->linkType(*change.type, id); !linked.ok())
            return failed<AircraftResult>(linked);
    }
    if (Result read = d->findAircraft(registration, result.aircraft, found); !read.ok())
        return failed<AircraftResult>(read);
    if (Result committed = guard.commit(); !committed.ok())
        return failed<AircraftResult>(committed);
    return result;
}

TypeResult Register::setType(const QString &name, const StructuralData &structure)
{
    if (const QString problem = NameProblem(name, QStringLiteral("type"), 200); !problem.isEmpty())
        return failed<TypeResult>(Result(Result::Invalid, problem));
    if (Result problem = structureProblem(structure); !problem.ok())
        return failed<TypeResult>(problem);
    RegisterDatabase &db = d->db;
    if (Result begun = db.beginWrite(); !begun.ok())
        return failed<TypeResult>(begun);
    TransactionGuard guard(db);
    TypeResult result;
    qint64 id = 0;
    if (Result made = d->findOrMakeType(name, id); !made.ok())
        return failed<TypeResult>(made);
    QSqlQuery update = db.prepare(QStringLiteral("UPDATE aircraft_types SET ")
            + Assignments(StructureColumnList()) + QStringLiteral(" WHERE id = ?"),
        result);
    if (!result.ok())
        return result;
    int position = 0;
    for (const QVariant &value : StructureValues(structure))
        update.bindValue(position++, value);
    update.bindValue(position++, id);
    if (Result updated = db.execute(update); !updated.ok())
        return failed<TypeResult>(updated);
    if (Result read = d->readType(id, result.type); !read.ok())
        return failed<TypeResult>(read);
    if (Result committed = guard.commit(); !committed.ok())
        return failed<TypeResult>(committed);
    return result;
}
