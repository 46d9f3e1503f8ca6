#include "Register.h"

#include "RegisterPeriods.h"
#include "RegisterPrivate.h"
#include "RegisterSchema.h"

#include <QSet>

#include <algorithm>
#include <cmath>

namespace {
const QString AircraftSelect = QStringLiteral("SELECT a.id, a.registration, a.combine_mode, "
                                              "a.created_at, a.changed_at, t.name, ")
    + StructureColumnList(QStringLiteral("a.")) + QStringLiteral(", ")
    + StructureColumnList(QStringLiteral("t.")) + QStringLiteral(", ")
    + CheckColumnList(QStringLiteral("a.")) + QStringLiteral(", ")
    + CheckColumnList(QStringLiteral("t."))
    + QStringLiteral(", a.prior_hours, a.prior_severity, d.file_name, d.spectrum_text FROM "
                     "aircraft a LEFT JOIN aircraft_types t ON t.id = a.type_id LEFT JOIN "
                     "type_design_spectra d ON d.type_id = a.type_id");

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
    int column = 6 + 2 * StructureColumnCount;
    bool ownChecksValid = false;
    bool typeChecksValid = false;
    aircraft.ownChecks = ReadChecks(query, column, ownChecksValid);
    aircraft.typeChecks = ReadChecks(query, column + CheckColumnCount, typeChecksValid);
    column += 2 * CheckColumnCount;
    if (!query.isNull(column) && !query.isNull(column + 1)) {
        aircraft.priorHours = query.value(column).toDouble();
        aircraft.priorSeverity = query.value(column + 1).toDouble();
    }
    column += 2;
    return mode.has_value() && ownValid && typeValid && ownChecksValid && typeChecksValid
        && ReadStoredDesign(query.value(column), query.value(column + 1), aircraft.design);
}

// The prior hours and severity as their columns keep them: NULL for none or 0 hours.
std::vector<QVariant> PriorValues(const std::optional<AircraftChange::Prior> &prior)
{
    if (!prior || prior->hours == 0)
        return {QVariant(QMetaType::fromType<double>()), QVariant(QMetaType::fromType<double>())};
    return {prior->hours, prior->severity};
}

Result structureProblem(const StructuralData &structure)
{
    if (structure.damage) {
        if (Result checked = CheckDamageParameters(*structure.damage); !checked.ok())
            return checked;
    }
    if (Result checked = CheckStructuralLocations(structure.locations); !checked.ok())
        return checked;
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
    if (change.checks) {
        if (Result checked = CheckCheckSettings(*change.checks); !checked.ok())
            return checked;
    }
    if (change.prior
        && !(std::isfinite(change.prior->hours) && change.prior->hours >= 0
            && std::isfinite(change.prior->severity) && change.prior->severity >= 0))
        return Result(Result::Invalid,
            QStringLiteral("The hours before the recorder and their severity must be numbers of "
                           "at least 0."));
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
            + StructureColumnList() + QStringLiteral(", ") + CheckColumnList()
            + QStringLiteral(", prior_hours, prior_severity, created_at, changed_at) VALUES (")
            + QStringLiteral("?, ").repeated(7 + StructureColumnCount + CheckColumnCount)
            + QStringLiteral("?)"),
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
    for (const QVariant &value : CheckValues(change.checks.value_or(CheckSettings())))
        insert.bindValue(position++, value);
    for (const QVariant &value : PriorValues(change.prior))
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
    const CheckSettings checks = change.checks.value_or(current.ownChecks);
    // The registration stays as it was first written, whatever case it is matched in.
    Result result;
    QSqlQuery update = db.prepare(QStringLiteral("UPDATE aircraft SET combine_mode = ?, "
                                                 "changed_at = ?, ")
            + Assignments(StructureColumnList()) + QStringLiteral(", ")
            + Assignments(CheckColumnList())
            + QStringLiteral(", prior_hours = ?, prior_severity = ? WHERE id = ?"),
        result);
    if (!result.ok())
        return result;
    int position = 0;
    update.bindValue(position++, CombineModeName(mode));
    update.bindValue(position++, now);
    for (const QVariant &value : StructureValues(structure))
        update.bindValue(position++, value);
    for (const QVariant &value : CheckValues(checks))
        update.bindValue(position++, value);
    std::optional<AircraftChange::Prior> prior = change.prior;
    if (!prior && current.priorHours && current.priorSeverity)
        prior = AircraftChange::Prior {*current.priorHours, *current.priorSeverity};
    for (const QVariant &value : PriorValues(prior))
        update.bindValue(position++, value);
    update.bindValue(position++, current.id);
    if (Result updated = db.execute(update); !updated.ok())
        return updated;
    recomputed = mode != current.mode;
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
    RegisterDatabase &db = d->db;
    if (Result begun = db.beginWrite(); !begun.ok())
        return failed<AircraftResult>(begun);
    TransactionGuard guard(db);
    AircraftResult result;
    if (Result changed = d->changeAircraft(change, result); !changed.ok())
        return failed<AircraftResult>(changed);
    if (Result committed = guard.commit(); !committed.ok())
        return failed<AircraftResult>(committed);
    return result;
}

Result Register::Private::changeAircraft(const AircraftChange &change, AircraftResult &result)
{
    if (Result problem = changeProblem(change); !problem.ok())
        return problem;
    AircraftInfo current;
    bool found = false;
    if (Result read = findAircraft(change.registration, current, found); !read.ok())
        return read;
    const QString now = UtcNow();
    const QString registration = change.registration.trimmed();
    qint64 id = current.id;
    if (!found) {
        if (Result made = insertAircraft(change, registration, now, id); !made.ok())
            return made;
        result.created = true;
    } else if (Result updated = updateAircraft(change, current, now, result.periodsRecomputed);
               !updated.ok())
        return updated;
    if (change.type) {
        if (Result linked = linkType(*change.type, id); !linked.ok())
            return linked;
    }
    if (Result read = findAircraft(registration, result.aircraft, found); !read.ok())
        return read;
    // The periods follow the mode, and the damage kept with them the structural data taken.
    if (!result.created && (result.periodsRecomputed || change.structure || change.type)) {
        const AircraftInfo &now = result.aircraft;
        if (Result derived = rebuildUsage(now.id, now.mode, DamageOf(now), QString(), 0, nullptr);
            !derived.ok())
            return derived;
    }
    return {};
}

TypeResult Register::setType(const QString &name, const std::optional<StructuralData> &structure,
    const std::optional<CheckSettings> &checks)
{
    if (const QString problem = NameProblem(name, QStringLiteral("type"), 200); !problem.isEmpty())
        return failed<TypeResult>(Result(Result::Invalid, problem));
    if (structure) {
        if (Result problem = structureProblem(*structure); !problem.ok())
            return failed<TypeResult>(problem);
    }
    if (checks) {
        if (Result problem = CheckCheckSettings(*checks); !problem.ok())
            return failed<TypeResult>(problem);
    }
    RegisterDatabase &db = d->db;
    if (Result begun = db.beginWrite(); !begun.ok())
        return failed<TypeResult>(begun);
    TransactionGuard guard(db);
    TypeResult result;
    qint64 id = 0;
    if (Result made = d->findOrMakeType(name, id); !made.ok())
        return failed<TypeResult>(made);
    if (structure) {
        if (Result set = d->setTypeColumns(id, StructureColumnList(), StructureValues(*structure));
            !set.ok())
            return failed<TypeResult>(set);
    }
    if (checks) {
        if (Result set = d->setTypeColumns(id, CheckColumnList(), CheckValues(*checks)); !set.ok())
            return failed<TypeResult>(set);
    }
    if (Result read = d->readType(id, result.type); !read.ok())
        return failed<TypeResult>(read);
    // The damage kept with the days follows the structural data its aircraft take.
    if (structure) {
        if (Result derived = d->rebuildAllUsage(id); !derived.ok())
            return failed<TypeResult>(derived);
    }
    if (Result committed = guard.commit(); !committed.ok())
        return failed<TypeResult>(committed);
    return result;
}

Result Register::Private::setTypeColumns(
    qint64 type, const QString &columns, const std::vector<QVariant> &values)
{
    Result result;
    QSqlQuery update = db.prepare(QStringLiteral("UPDATE aircraft_types SET ")
            + Assignments(columns) + QStringLiteral(" WHERE id = ?"),
        result);
    if (!result.ok())
        return result;
    int position = 0;
    for (const QVariant &value : values)
        update.bindValue(position++, value);
    update.bindValue(position++, type);
    return db.execute(update);
}
