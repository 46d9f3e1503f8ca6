#include "Register.h"

#include "RegisterAddInput.h"
#include "RegisterAddition.h"
#include <algorithm>

// `register add`: the files read in date order, each record checked against the aircraft's own
// read-outs and every other aircraft's, and the new read-outs written with their periods.

const QString InconsistentFallHint
    = QStringLiteral(" If the recorder was reset there, add the files again declaring the reset "
                     "(register add --reset).");

namespace {
// One add under way, its phases in the order Register::add runs them. A template only so that
// it takes the register's private part without naming it.
template<class Private> class AddRun
{
public:
    AddRun(Private &d, AddResult &result, bool declaredReset)
        : d(d)
        , db(d.db)
        , result(result)
        , declared(declaredReset)
    { }

    Result read(const std::vector<AddFile> &files);
    Result startClassifying(const QString &registration);
    Result store();
    Result summarise();
    CombineMode mode() const { return aircraft.mode; }

    // Previewing: each record's decision is noted there, nothing is written, and an aircraft not
    // in the register is taken as new with `newMode`.
    std::vector<AddDecision> *decisions = nullptr;
    std::optional<CombineMode> newMode;
    bool newAircraft = false;
    AddProgress progress;
    // Adding: an aircraft not in the register is made by this change, in the add's transaction.
    std::optional<AircraftChange> create;

private:
    Result storeFile(AddInput &input, const QString &now);

    Private &d;
    RegisterDatabase &db;
    AddResult &result;
    const bool declared;
    std::vector<AddInput> inputs;
    std::optional<TransactionGuard> guard;
    AircraftInfo aircraft;
    std::optional<Addition> adding;
    qint64 nextAddition = 0;
    qint64 firstNew = 0;
    QString firstDate;
};

// Read: every file opened and dated, in date order.
template<class Private> Result AddRun<Private>::read(const std::vector<AddFile> &files)
{
    return OpenAddInputs(files, inputs);
}

// Classify, its start: inside the transaction, the aircraft, the ids the new rows take and what
// each record is then checked against as it is read: the read-out before the first new date and
// the aircraft's known records.
template<class Private> Result AddRun<Private>::startClassifying(const QString &registration)
{
    // A larger page cache and the statement journal in memory, where the engine has them.
    if (Result prepared = db.prepareLargeWrite(); !prepared.ok())
        return prepared;
    if (Result begun = db.beginWrite(); !begun.ok())
        return begun;
    guard.emplace(db);
    bool found = false;
    if (Result read = d.findAircraft(registration, aircraft, found); !read.ok())
        return read;
    if (!found && create && !decisions) {
        AircraftResult made;
        create->registration = registration;
        if (Result changed = d.changeAircraft(*create, made); !changed.ok())
            return changed;
        aircraft = made.aircraft;
        found = true;
    }
    if (!found && !(decisions && newMode))
        return d.unknownAircraft(registration);
    if (!found) {
        // No row: every other aircraft's read-out is another's, and nothing of its own is known.
        aircraft.id = -1, aircraft.registration = registration.trimmed(), aircraft.mode = *newMode;
        newAircraft = true;
    }
    result.registration = aircraft.registration;
    adding.emplace(db, aircraft, result);
    adding->declared = declared;
    adding->decisions = decisions;
    adding->progress = progress;
    if (Result next = d.nextId(QStringLiteral("readout"), adding->nextReadout); !next.ok())
        return next;
    if (Result next = d.nextId(QStringLiteral("addition"), nextAddition); !next.ok())
        return next;
    firstNew = adding->firstNew = adding->nextReadout;
    firstDate = DateText(inputs.front().taken);
    if (Result read = readoutBefore(db, aircraft.id, firstDate, *adding); !read.ok())
        return read;
    return adding->loadKnown();
}

// Store: each file's addition and its new read-outs, classified block by block as read, so that
// a file of any size takes bounded memory.
template<class Private> Result AddRun<Private>::store()
{
    const QString now = UtcNow();
    for (const AddInput &input : inputs)
        adding->bytesTotal += input.file->size();
    for (AddInput &input : inputs) {
        if (Result stored = storeFile(input, now); !stored.ok())
            return stored;
        adding->bytesBefore += input.file->size();
        if (progress && !progress(adding->bytesBefore, adding->bytesTotal))
            return Result(Result::Failed, QStringLiteral("The add was cancelled."));
    }
    return adding->flush();
}

// One file's addition row, kept only when the file adds a read-out.
template<class Private> Result AddRun<Private>::storeFile(AddInput &input, const QString &now)
{
    AddedFile added;
    added.fileName = input.name;
    added.taken = input.taken;
    const qint64 addition = nextAddition;
    if (decisions)
        return adding->readFile(input, addition, added);
    if (Result made = db.run(QStringLiteral("INSERT INTO additions (id, aircraft_id, file_name, "
                                            "added_at, added_by, declared_reset) VALUES (?, ?, ?, "
                                            "?, ?, ?)"),
            {addition, aircraft.id, input.name, now, d.user, declared ? 1 : 0});
        !made.ok())
        return made;
    if (Result read = adding->readFile(input, addition, added); !read.ok())
        return read;
    if (added.added == 0) {
        if (Result dropped
            = db.run(QStringLiteral("DELETE FROM additions WHERE id = ?"), {addition});
            !dropped.ok())
            return dropped;
    } else {
        ++nextAddition;
    }
    result.added += added.added;
    result.already += added.already;
    result.files.push_back(std::move(added));
    return {};
}

// Summarise: the usage by day (added to, or derived anew when read-outs are kept after the new
// ones), the next ids, and the commit.
template<class Private> Result AddRun<Private>::summarise()
{
    if (result.added > 0) {
        const Result usage = adding->between ? d.rebuildUsage(aircraft.id, aircraft.mode,
                                 DamageOf(aircraft), firstDate, firstNew, &result.resets)
                                             : AddUsage(db, aircraft.id, adding->days);
        if (!usage.ok())
            return usage;
    }
    if (Result counted = d.setNextId(QStringLiteral("readout"), adding->nextReadout); !counted.ok())
        return counted;
    if (Result counted = d.setNextId(QStringLiteral("addition"), nextAddition); !counted.ok())
        return counted;
    return guard->commit();
}
} // namespace

AddResult Register::add(const QString &registration, const std::vector<AddFile> &files,
    bool declaredReset, const AddProgress &progress,
    const std::optional<AircraftChange> &newAircraft)
{
    AddResult result;
    result.registration = registration.trimmed();
    AddRun run(*d, result, declaredReset);
    run.progress = progress;
    run.create = newAircraft;
    Result done = run.read(files);
    if (done.ok())
        done = run.startClassifying(registration);
    if (done.ok())
        done = run.store();
    if (done.ok())
        done = run.summarise();
    if (!done.ok())
        return failed<AddResult>(Result(done.failure(),
            done.message() + QStringLiteral(" Nothing was added to the register.")));
    return result;
}

AddPreviewResult Register::previewAdd(const QString &registration,
    const std::vector<AddFile> &files, bool declaredReset, std::optional<CombineMode> newMode)
{
    AddPreviewResult preview;
    AddResult counted;
    AddRun run(*d, counted, declaredReset);
    run.decisions = &preview.decisions;
    run.newMode = newMode;
    Result done = run.read(files);
    if (done.ok())
        done = run.startClassifying(registration);
    if (done.ok())
        done = run.store();
    // Never committed: the run's guard rolls the transaction back when the run ends.
    if (!done.ok())
        return failed<AddPreviewResult>(done);
    preview.registration = counted.registration;
    preview.mode = run.mode();
    preview.newAircraft = run.newAircraft;
    return preview;
}
