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
    + StructureColumnList(QStringLiteral("t."))
    + QStringLiteral(" FROM aircraft a LEFT JOIN aircraft_types t ON t.id = a.type_id");

// Rows per INSERT: fewer statements to run, well below both engines' limits on parameters.
constexpr int RowsPerInsert = 128;

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
    return mode.has_value() && ownValid && typeValid;
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

// --- Opening --------------------------------------------------------------------------------

Register::Register(std::unique_ptr<Private> d)
    : d(std::move(d))
{ }

Register::~Register() = default;

const RegisterLocation &Register::location() const
{
    return d->db.location();
}

Result Register::Private::damaged(const QString &what) const
{
    return Result(
        Result::Invalid, QStringLiteral("The register \"%1\" is damaged: %2.").arg(name(), what));
}

namespace {
Result readVersion(RegisterDatabase &db, int &version)
{
    QSqlQuery query;
    if (Result read = db.run(query, QStringLiteral("SELECT version FROM schema_version"));
        !read.ok())
        return read;
    if (!query.next())
        return Result(Result::Invalid,
            QStringLiteral("The register \"%1\" is damaged: its schema_version table is empty.")
                .arg(db.location().text));
    bool ok = false;
    version = query.value(0).toInt(&ok);
    if (!ok || version < 1 || query.next())
        return Result(Result::Invalid,
            QStringLiteral("The register \"%1\" is damaged: its schema_version table does not "
                           "hold one version.")
                .arg(db.location().text));
    return {};
}

Result refuseNewer(const RegisterDatabase &db, int version)
{
    return Result(Result::Invalid,
        QStringLiteral("The register \"%1\" has schema version %2, newer than version %3 that "
                       "this program knows: a newer version of the program made or upgraded it. "
                       "Use that version, or export the register with it and import the export "
                       "here. Nothing was changed.")
            .arg(db.location().text, QString::number(version),
                QString::number(RegisterSchemaVersion)));
}
} // namespace

OpenedRegister Register::open(
    const RegisterLocation &location, Access access, const RegisterOptions &options)
{
    OpenedRegister opened;
    auto d = std::make_unique<Private>(location, options);
    RegisterDatabase &db = d->db;
    if (Result connected = db.open(access); !connected.ok())
        return failed<OpenedRegister>(connected);

    QStringList tables = db.tables();
    if (tables.contains(QLatin1String("schema_version"))) {
        int version = 0;
        if (Result read = readVersion(db, version); !read.ok())
            return failed<OpenedRegister>(read);
        if (version > RegisterSchemaVersion)
            return failed<OpenedRegister>(refuseNewer(db, version));
        if (Result logged = db.keepWriteAheadLog(); !logged.ok())
            return failed<OpenedRegister>(logged);
        if (version < RegisterSchemaVersion) {
            // Under the writer's lock the version is read again: another command may have
            // upgraded it meanwhile.
            if (Result begun = db.beginWrite(); !begun.ok())
                return failed<OpenedRegister>(Result(begun.failure(),
                    begun.message()
                        + QStringLiteral(" It has schema version %1 and must be upgraded to "
                                         "version %2 before use.")
                              .arg(version)
                              .arg(RegisterSchemaVersion)));
            TransactionGuard guard(db);
            if (Result read = readVersion(db, version); !read.ok())
                return failed<OpenedRegister>(read);
            if (version < RegisterSchemaVersion) {
                if (Result upgraded = UpgradeSchema(db, version); !upgraded.ok())
                    return failed<OpenedRegister>(Result(upgraded.failure(),
                        upgraded.message()
                            + QStringLiteral(" The upgrade from schema version %1 was not made; "
                                             "the register is as it was.")
                                  .arg(version)));
                opened.upgradedFrom = version;
            }
            if (Result committed = guard.commit(); !committed.ok())
                return failed<OpenedRegister>(committed);
        }
    } else if (tables.isEmpty()) {
        if (access == Access::Read)
            return failed<OpenedRegister>(Result(Result::Invalid,
                QStringLiteral("The register \"%1\" holds no register yet: the first change "
                               "makes it.")
                    .arg(location.text)));
        if (Result logged = db.keepWriteAheadLog(); !logged.ok())
            return failed<OpenedRegister>(logged);
        if (Result begun = db.beginWrite(); !begun.ok())
            return failed<OpenedRegister>(begun);
        TransactionGuard guard(db);
        // Another command may have made it while this one waited for the lock.
        tables = db.tables();
        if (tables.isEmpty()) {
            if (Result made = CreateSchema(db); !made.ok())
                return failed<OpenedRegister>(made);
        } else if (!tables.contains(QLatin1String("schema_version"))) {
            return failed<OpenedRegister>(Result(Result::Invalid,
                QStringLiteral("The register \"%1\" is not a register: its database holds other "
                               "tables (%2).")
                    .arg(location.text, tables.join(QStringLiteral(", ")))));
        }
        if (Result committed = guard.commit(); !committed.ok())
            return failed<OpenedRegister>(committed);
        int version = 0;
        if (Result read = readVersion(db, version); !read.ok())
            return failed<OpenedRegister>(read);
        if (version != RegisterSchemaVersion)
            return failed<OpenedRegister>(version > RegisterSchemaVersion
                    ? refuseNewer(db, version)
                    : Result(Result::Invalid,
                        QStringLiteral("The register \"%1\" was just made with schema version "
                                       "%2 by an older program; open it again to upgrade it.")
                            .arg(location.text, QString::number(version))));
    } else {
        return failed<OpenedRegister>(Result(Result::Invalid,
            QStringLiteral("The register \"%1\" is not a register: its database holds other "
                           "tables (%2) and no schema_version.")
                .arg(location.text, tables.join(QStringLiteral(", ")))));
    }
    opened.reg.reset(new Register(std::move(d)));
    return opened;
}

// --- Aircraft and types ---------------------------------------------------------------------

Result Register::Private::findAircraft(
    const QString &registration, AircraftInfo &aircraft, bool &found)
{
    QSqlQuery query;
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

HistoryPeriod Register::Private::periodOf(const Walked &walked)
{
    HistoryPeriod period;
    period.readout = walked.id;
    period.taken = DateFromText(walked.taken);
    period.record = walked.record;
    period.fileName = walked.fileName;
    period.added = walked.added;
    period.addedBy = walked.addedBy;
    period.words = walked.words;
    period.afterReset = walked.period.afterReset;
    period.kind = walked.period.kind;
    period.declaredReset = walked.declaredReset;
    period.counts = walked.period.counts;
    period.seconds = walked.period.seconds;
    period.hours = double(walked.period.seconds) / 3600.0;
    return period;
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

AircraftResult Register::setAircraft(const AircraftChange &change)
{
    if (const QString problem
        = NameProblem(change.registration, QStringLiteral("registration"), 100);
        !problem.isEmpty())
        return failed<AircraftResult>(Result(Result::Invalid, problem));
    if (change.type && !change.type->trimmed().isEmpty()) {
        if (const QString problem = NameProblem(*change.type, QStringLiteral("type"), 200);
            !problem.isEmpty())
            return failed<AircraftResult>(Result(Result::Invalid, problem));
    }
    if (change.mode && *change.mode == CombineMode::NotGiven)
        return failed<AircraftResult>(Result(Result::Invalid, CombineModeChoices));
    if (change.structure) {
        if (Result problem = structureProblem(*change.structure); !problem.ok())
            return failed<AircraftResult>(problem);
    }

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
        if (!change.mode)
            return failed<AircraftResult>(Result(Result::Invalid,
                QStringLiteral("The aircraft \"%1\" is not in the register yet: say once how its "
                               "read-outs relate. %2")
                    .arg(registration, CombineModeChoices)));
        if (Result next = d->nextId(QStringLiteral("aircraft"), id); !next.ok())
            return failed<AircraftResult>(next);
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
            return failed<AircraftResult>(inserted);
        if (Result counted = d->setNextId(QStringLiteral("aircraft"), id + 1); !counted.ok())
            return failed<AircraftResult>(counted);
        result.created = true;
    } else {
        const CombineMode mode = change.mode.value_or(current.mode);
        const StructuralData structure = change.structure.value_or(current.own);
        // The registration stays as it was first written, whatever case it is matched in.
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
        update.bindValue(position++, id);
        if (Result updated = db.execute(update); !updated.ok())
            return failed<AircraftResult>(updated);
        if (mode != current.mode) {
            if (Result derived = d->rebuildUsage(id, mode, QString(), 0, nullptr); !derived.ok())
                return failed<AircraftResult>(derived);
            result.periodsRecomputed = true;
        }
    }
    if (change.type) {
        QVariant type(QMetaType::fromType<qint64>());
        if (!change.type->trimmed().isEmpty()) {
            qint64 typeId = 0;
            if (Result made = d->findOrMakeType(*change.type, typeId); !made.ok())
                return failed<AircraftResult>(made);
            type = typeId;
        }
        if (Result linked
            = db.run(QStringLiteral("UPDATE aircraft SET type_id = ? WHERE id = ?"), {type, id});
            !linked.ok())
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
    QSqlQuery query;
    if (Result read = db.run(query,
            QStringLiteral("SELECT t.name, COUNT(a.id) FROM aircraft_types t LEFT JOIN aircraft "
                           "a ON a.type_id = t.id WHERE t.id = ? GROUP BY t.id, t.name"),
            {id});
        !read.ok() || !query.next())
        return failed<TypeResult>(read.ok() ? d->damaged(QStringLiteral("a type vanished")) : read);
    result.type = {query.value(0).toString(), structure, query.value(1).toInt()};
    query.finish();
    if (Result committed = guard.commit(); !committed.ok())
        return failed<TypeResult>(committed);
    return result;
}

// --- Read-outs ---------------------------------------------------------------------------

void DayUsage::add(const StoredPeriod &period)
{
    ++readouts;
    resets += period.afterReset ? 1 : 0;
    for (int level = 0; level < LevelCount; ++level)
        counts[level] += period.counts[level];
    seconds += period.seconds;
}

Result AddUsage(RegisterDatabase &database, qint64 aircraft, const UsageDays &days)
{
    if (days.empty())
        return {};
    // The days kept already are added to; the others are written many rows to a statement, as
    // an addition of many files, each of its own day, makes many.
    QSqlQuery query;
    if (Result read = database.run(query,
            QStringLiteral("SELECT taken_on FROM usage_by_day WHERE aircraft_id = ? AND "
                           "taken_on >= ? AND taken_on <= ?"),
            {aircraft, days.begin()->first, days.rbegin()->first});
        !read.ok())
        return read;
    QSet<QString> kept;
    while (query.next())
        kept.insert(query.value(0).toString());
    query.finish();

    QStringList sums;
    for (int level = 0; level < LevelCount; ++level)
        sums << QStringLiteral("c%1 = c%1 + ?").arg(level);
    Result prepared;
    QSqlQuery update = database.prepare(QStringLiteral("UPDATE usage_by_day SET readouts = "
                                                       "readouts + ?, resets = resets + ?, ")
            + sums.join(QStringLiteral(", "))
            + QStringLiteral(", active_seconds = active_seconds + ? "
                             "WHERE aircraft_id = ? AND taken_on = ?"),
        prepared);
    if (!prepared.ok())
        return prepared;
    const auto bind = [aircraft](QSqlQuery &statement, int &position, const QString &day,
                          const DayUsage &usage) {
        statement.bindValue(position++, usage.readouts);
        statement.bindValue(position++, usage.resets);
        for (const std::int64_t count : usage.counts)
            statement.bindValue(position++, qint64(count));
        statement.bindValue(position++, qint64(usage.seconds));
        statement.bindValue(position++, aircraft);
        statement.bindValue(position++, day);
    };
    std::vector<std::pair<QString, DayUsage>> fresh;
    for (const auto &[day, usage] : days) {
        if (!kept.contains(day)) {
            fresh.emplace_back(day, usage);
            continue;
        }
        int position = 0;
        bind(update, position, day, usage);
        if (Result updated = database.execute(update); !updated.ok())
            return updated;
    }
    // Qt hands SQLite every placeholder by name, and SQLite looks names up one by one: a few
    // rows a statement, each statement prepared once.
    constexpr size_t DaysPerInsert = 16;
    const QString row
        = QLatin1Char('(') + QStringLiteral("?, ").repeated(LevelCount + 4) + QStringLiteral("?)");
    const auto insert = [&](size_t rows) {
        return database.prepare(QStringLiteral("INSERT INTO usage_by_day (readouts, resets, ")
                + CountColumns()
                + QStringLiteral(", active_seconds, aircraft_id, taken_on) VALUES ")
                + QStringList(qsizetype(rows), row).join(QStringLiteral(", ")),
            prepared);
    };
    QSqlQuery full;
    bool fullPrepared = false;
    for (size_t first = 0; first < fresh.size(); first += DaysPerInsert) {
        const size_t rows = std::min(fresh.size() - first, DaysPerInsert);
        QSqlQuery rest;
        if (rows < DaysPerInsert)
            rest = insert(rows);
        else if (!fullPrepared)
            full = insert(rows), fullPrepared = true;
        QSqlQuery &statement = rows == DaysPerInsert ? full : rest;
        if (!prepared.ok())
            return prepared;
        int position = 0;
        for (size_t i = first; i < first + rows; ++i)
            bind(statement, position, fresh[i].first, fresh[i].second);
        if (Result inserted = database.execute(statement); !inserted.ok())
            return inserted;
    }
    return {};
}

ReadoutWriter::ReadoutWriter(RegisterDatabase &database)
    : m_database(database)
{
    m_pending.reserve(RowsPerInsert);
}

namespace {
QString readoutInsert(int rows)
{
    QStringList all;
    for (int i = 0; i < rows; ++i)
        all << QStringLiteral("(?, ?, ?, ?, ?, ?)");
    return QStringLiteral("INSERT INTO readouts (id, aircraft_id, addition_id, record_number, "
                          "taken_on, words) VALUES ")
        + all.join(QStringLiteral(", "));
}
} // namespace

Result ReadoutWriter::add(ReadoutRow &&row)
{
    m_pending.push_back(std::move(row));
    if (int(m_pending.size()) < RowsPerInsert)
        return {};
    if (!m_prepared) {
        Result prepared;
        m_batch = m_database.prepare(readoutInsert(RowsPerInsert), prepared);
        if (!prepared.ok())
            return prepared;
        m_prepared = true;
    }
    return write(m_batch);
}

Result ReadoutWriter::flush()
{
    if (m_pending.empty())
        return {};
    Result prepared;
    QSqlQuery rest = m_database.prepare(readoutInsert(int(m_pending.size())), prepared);
    if (!prepared.ok())
        return prepared;
    return write(rest);
}

Result ReadoutWriter::write(QSqlQuery &query)
{
    int position = 0;
    for (const ReadoutRow &row : m_pending) {
        query.bindValue(position++, row.id);
        query.bindValue(position++, row.aircraft);
        query.bindValue(position++, row.addition);
        query.bindValue(position++, row.record);
        query.bindValue(position++, row.taken);
        query.bindValue(position++, row.words);
    }
    m_pending.clear();
    return m_database.execute(query);
}

Result Register::Private::walkReadouts(qint64 aircraft, CombineMode mode, const QString &from,
    const std::function<Result(const std::vector<Walked> &)> &take)
{
    std::optional<RecordValues> previous;
    qint64 previousId = 0;
    QSqlQuery query;
    if (!from.isEmpty()) {
        if (Result read = db.run(query,
                QStringLiteral("SELECT id, words FROM readouts WHERE aircraft_id = ? AND "
                               "taken_on < ? ORDER BY taken_on DESC, id DESC LIMIT 1"),
                {aircraft, from});
            !read.ok())
            return read;
        if (query.next()) {
            previousId = query.value(0).toLongLong();
            RecordValues words {};
            if (!WordsFromText(query.value(1).toString(), words))
                return damaged(QStringLiteral("read-out %1 holds no record").arg(previousId));
            previous = words;
        }
    }
    // A block at a time, each starting after the last one read, in bounded memory. (An empty
    // text, not a null one: that would be NULL, which no date follows.)
    QString afterDate = from.isEmpty() ? QStringLiteral("") : from;
    qint64 afterId = 0;
    for (;;) {
        if (Result read = db.run(query,
                QStringLiteral(
                    "SELECT r.id, r.taken_on, r.words, r.record_number, a.file_name, "
                    "a.added_at, a.added_by, a.declared_reset FROM readouts r JOIN additions a ON "
                    "a.id = r.addition_id WHERE r.aircraft_id = ? AND (r.taken_on > ? "
                    "OR (r.taken_on = ? AND r.id > ?)) ORDER BY r.taken_on, r.id "
                    "LIMIT 4096"),
                {aircraft, afterDate, afterDate, afterId});
            !read.ok())
            return read;
        std::vector<Walked> block;
        std::vector<RecordValues> words;
        std::vector<bool> declared;
        while (query.next()) {
            Walked walked;
            walked.id = query.value(0).toLongLong();
            walked.taken = query.value(1).toString();
            if (!WordsFromText(query.value(2).toString(), walked.words))
                return damaged(QStringLiteral("read-out %1 holds no record").arg(walked.id));
            walked.record = query.value(3).toLongLong();
            walked.fileName = query.value(4).toString();
            walked.added = query.value(5).toString();
            walked.addedBy = query.value(6).toString();
            walked.declaredReset = query.value(7).toInt() != 0;
            words.push_back(walked.words);
            declared.push_back(walked.declaredReset);
            block.push_back(std::move(walked));
        }
        query.finish();
        if (block.empty())
            return {};
        // What is kept is never refused: a fall that nothing explains counts as after a reset
        // and the history says it is inconsistent.
        const DerivedPeriods derived = DerivePeriods(
            mode, previous, words, declared, InconsistentFall::Keep, [&](int index) {
                return QStringLiteral("read-out %1").arg(index < 0 ? previousId : block[index].id);
            });
        for (size_t i = 0; i < block.size(); ++i) {
            block[i].period = derived.periods[i];
            block[i].previousId = i > 0 ? block[i - 1].id : previousId;
            if (i > 0 || previous)
                block[i].previousWords = i > 0 ? block[i - 1].words : *previous;
        }
        for (const auto &[index, text] : derived.resets)
            block[index].reset = text;
        if (Result taken = take(block); !taken.ok())
            return taken;
        previous = block.back().words;
        previousId = afterId = block.back().id;
        afterDate = block.back().taken;
    }
}

Result Register::Private::rebuildUsage(qint64 aircraft, CombineMode mode, const QString &from,
    qint64 firstNew, std::vector<ResetFound> *resets)
{
    if (Result cleared = db.run(QStringLiteral("DELETE FROM usage_by_day WHERE aircraft_id = ? "
                                               "AND taken_on >= ?"),
            {aircraft, from.isEmpty() ? QStringLiteral("") : from});
        !cleared.ok())
        return cleared;
    UsageDays days;
    if (Result walked = walkReadouts(aircraft, mode, from,
            [&](const std::vector<Walked> &block) {
                for (const Walked &readout : block) {
                    days[readout.taken].add(readout.period);
                    const bool changed = readout.id >= firstNew || readout.previousId >= firstNew;
                    // An addition that lands between kept read-outs is refused as any other.
                    if (resets && changed && readout.period.kind == RunningKind::Inconsistent)
                        return Result(Result::Invalid,
                            InconsistentFallText(
                                ClassifyRunning(readout.previousWords, readout.words),
                                QStringLiteral("read-out %1").arg(readout.previousId),
                                QStringLiteral("read-out %1").arg(readout.id))
                                + InconsistentFallHint);
                    if (resets && changed && !readout.reset.isEmpty())
                        resets->push_back({readout.id, readout.reset});
                }
                return Result();
            });
        !walked.ok())
        return walked;
    return AddUsage(db, aircraft, days);
}

RemoveResult Register::remove(const QString &registration, qint64 readout)
{
    RegisterDatabase &db = d->db;
    const auto refused = [](const Result &why) {
        return failed<RemoveResult>(
            Result(why.failure(), why.message() + QStringLiteral(" Nothing was removed.")));
    };
    if (Result begun = db.beginWrite(); !begun.ok())
        return refused(begun);
    TransactionGuard guard(db);
    AircraftInfo aircraft;
    if (Result read = d->knownAircraft(registration, aircraft); !read.ok())
        return refused(read);
    QSqlQuery query;
    if (Result read = db.run(query,
            QStringLiteral("SELECT taken_on, addition_id FROM readouts WHERE id = ? AND "
                           "aircraft_id = ?"),
            {readout, aircraft.id});
        !read.ok())
        return refused(read);
    if (!query.next())
        return refused(Result(Result::Invalid,
            QStringLiteral("The aircraft \"%1\" has no read-out %2 in the register \"%3\" (its "
                           "history lists its read-outs).")
                .arg(aircraft.registration, QString::number(readout), d->name())));
    const QString taken = query.value(0).toString();
    const qint64 addition = query.value(1).toLongLong();
    query.finish();

    // The read-out as it was, with its period.
    RemoveResult result;
    if (Result walked = d->walkReadouts(aircraft.id, aircraft.mode, taken,
            [&](const std::vector<Private::Walked> &block) {
                for (const Private::Walked &walked : block) {
                    if (walked.id != readout)
                        continue;
                    result.removed = Private::periodOf(walked);
                    return Result(Result::Cancelled, QString());
                }
                return Result();
            });
        !walked.ok() && walked.failure() != Result::Cancelled)
        return refused(walked);

    if (Result deleted = db.run(QStringLiteral("DELETE FROM readouts WHERE id = ?"), {readout});
        !deleted.ok())
        return refused(deleted);
    if (Result deleted = db.run(QStringLiteral("DELETE FROM additions WHERE id = ? AND NOT EXISTS "
                                               "(SELECT 1 FROM readouts WHERE addition_id = ?)"),
            {addition, addition});
        !deleted.ok())
        return refused(deleted);
    if (Result usage = d->rebuildUsage(aircraft.id, aircraft.mode, taken, 0, nullptr); !usage.ok())
        return refused(usage);
    if (Result committed = guard.commit(); !committed.ok())
        return refused(committed);
    return result;
}
