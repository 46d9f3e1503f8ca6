#include "Register.h"

#include "RegisterAddInput.h"
#include "RegisterKnownRecords.h"
#include "RegisterPeriods.h"
#include "RegisterPrivate.h"

#include <algorithm>

// `register add`: the files read in date order, each record checked against the aircraft's own
// read-outs and every other aircraft's, and the new read-outs written with their periods.

const QString InconsistentFallHint
    = QStringLiteral(" If the recorder was reset there, add the files again declaring the reset "
                     "(register add --reset).");

namespace {
// Read-outs are derived and written a block at a time, so that a file of any size takes bounded
// memory.
constexpr int BlockRecords = 4096;
// Words looked up in other aircraft's read-outs per statement.
constexpr int WordsPerLookup = 128;
// One more than a recorder word holds.
constexpr std::int32_t WordLimit = 1 << 16;

CounterRecord wordsOf(const RecordValues &values)
{
    CounterRecord words {};
    std::copy(values.begin(), values.end(), words.begin());
    return words;
}

Result damagedReadout(const RegisterDatabase &db, qint64 readout)
{
    return Result(Result::Invalid,
        QStringLiteral("The register \"%1\" is damaged: read-out %2 holds no record.")
            .arg(db.location().text)
            .arg(readout));
}

void noteAlready(AddedFile &added, qint64 number)
{
    ++added.already;
    if (!added.alreadyRecords.empty() && added.alreadyRecords.back().second == number - 1)
        added.alreadyRecords.back().second = number;
    else
        added.alreadyRecords.emplace_back(number, number);
}

// The records of one add and what they are checked against.
class Addition
{
public:
    Addition(RegisterDatabase &db, const AircraftInfo &aircraft, AddResult &result)
        : m_db(db)
        , m_aircraft(aircraft)
        , m_result(result)
        , m_writer(db)
    { }

    bool declared = false;
    bool between = false; // read-outs kept after the first new date: usage is derived anew
    qint64 nextReadout = 0;
    std::optional<RecordValues> previous;
    QString previousLabel;
    UsageDays days;

    Result loadKnown();
    Result readFile(AddInput &input, qint64 addition, AddedFile &added);
    Result flush();

private:
    Result classify(
        const RecordValues &values, qint64 number, const AddInput &input, AddedFile &added);
    Result writeBlock(const AddInput &input, qint64 addition);
    Result checkOthers(bool all);

    RegisterDatabase &m_db;
    const AircraftInfo &m_aircraft;
    AddResult &m_result;
    ReadoutWriter m_writer;
    // The aircraft's records, 44 bytes each, so that even a large file is checked without
    // asking the register record by record.
    KnownRecords m_known;
    bool m_others = false; // other aircraft have read-outs
    // The new records not yet looked up in other aircraft's read-outs, many to a statement
    // (an add of many one-record files makes one block a file).
    struct Unchecked
    {
        QString words;
        qint64 number = 0;
        QString fileName;
    };
    std::vector<Unchecked> m_unchecked;
    QSqlQuery m_lookup; // prepared for WordsPerLookup words
    bool m_lookupPrepared = false;
    std::vector<RecordValues> m_block;
    std::vector<QString> m_texts;
    std::vector<qint64> m_numbers;
};

Result Addition::loadKnown()
{
    QSqlQuery query;
    if (Result read
        = m_db.run(query, QStringLiteral("SELECT id, words FROM readouts WHERE aircraft_id = ?"),
            {m_aircraft.id});
        !read.ok())
        return read;
    while (query.next()) {
        RecordValues words {};
        if (!WordsFromText(query.value(1).toString(), words))
            return damagedReadout(m_db, query.value(0).toLongLong());
        m_known.insert(wordsOf(words));
    }
    query.finish();
    if (Result read
        = m_db.run(query, QStringLiteral("SELECT id FROM readouts WHERE aircraft_id <> ? LIMIT 1"),
            {m_aircraft.id});
        !read.ok())
        return read;
    m_others = query.next();
    query.finish();
    return {};
}

// A record of another aircraft is refused: a session file that holds it was copied from that
// aircraft's recorder. Looked up a full statement at a time, and the rest when `all`.
Result Addition::checkOthers(bool all)
{
    while (m_others
        && (m_unchecked.size() >= size_t(WordsPerLookup) || (all && !m_unchecked.empty()))) {
        const size_t count = std::min(m_unchecked.size(), size_t(WordsPerLookup));
        const auto select = [&](size_t words, Result &prepared) {
            return m_db.prepare(
                QStringLiteral("SELECT r.words, r.id, a.registration FROM readouts r JOIN "
                               "aircraft a ON a.id = r.aircraft_id WHERE r.aircraft_id <> ? AND "
                               "r.words IN (")
                    + QStringList(qsizetype(words), QStringLiteral("?")).join(QLatin1Char(','))
                    + QLatin1Char(')'),
                prepared);
        };
        Result prepared;
        QSqlQuery rest;
        if (count < size_t(WordsPerLookup))
            rest = select(count, prepared);
        else if (!m_lookupPrepared)
            m_lookup = select(count, prepared), m_lookupPrepared = true;
        if (!prepared.ok())
            return prepared;
        QSqlQuery &query = count < size_t(WordsPerLookup) ? rest : m_lookup;
        int position = 0;
        query.bindValue(position++, m_aircraft.id);
        for (size_t i = 0; i < count; ++i)
            query.bindValue(position++, m_unchecked[i].words);
        if (Result read = m_db.execute(query); !read.ok())
            return read;
        std::map<QString, std::pair<qint64, QString>> held;
        while (query.next())
            held.emplace(query.value(0).toString(),
                std::pair {query.value(1).toLongLong(), query.value(2).toString()});
        query.finish();
        for (size_t i = 0; i < count; ++i) {
            const auto found = held.find(m_unchecked[i].words);
            if (found == held.end())
                continue;
            return Result(Result::Invalid,
                QStringLiteral("Record %1 of \"%2\" is read-out %3 of the aircraft \"%4\": a file "
                               "that holds another aircraft's read-out is not added to \"%5\".")
                    .arg(QString::number(m_unchecked[i].number), m_unchecked[i].fileName,
                        QString::number(found->second.first), found->second.second,
                        m_aircraft.registration));
        }
        m_unchecked.erase(m_unchecked.begin(), m_unchecked.begin() + qsizetype(count));
    }
    return {};
}

Result Addition::flush()
{
    if (Result checked = checkOthers(true); !checked.ok())
        return checked;
    return m_writer.flush();
}

Result Addition::writeBlock(const AddInput &input, qint64 addition)
{
    if (m_others) {
        for (size_t i = 0; i < m_block.size(); ++i)
            m_unchecked.push_back({m_texts[i], m_numbers[i], input.name});
    }
    if (Result checked = checkOthers(false); !checked.ok())
        return checked;
    const qint64 firstId = nextReadout;
    const auto label = [&](int index) {
        if (index < 0)
            return previousLabel;
        return QStringLiteral("read-out %1 (\"%2\" record %3)")
            .arg(QString::number(firstId + index), input.name, QString::number(m_numbers[index]));
    };
    // With read-outs kept after these, the one before each is known only once all are in: the
    // periods are then derived anew, and refused there.
    const DerivedPeriods derived = DerivePeriods(m_aircraft.mode, previous, m_block,
        std::vector<bool>(m_block.size(), declared),
        between ? InconsistentFall::Keep : InconsistentFall::Refuse, label);
    if (!derived.ok())
        return Result(Result::Invalid, derived.message() + InconsistentFallHint);
    const QString taken = DateText(input.taken);
    DayUsage &day = days[taken];
    const LocationsDamage damage = DamageOf(m_aircraft);
    for (size_t i = 0; i < m_block.size(); ++i) {
        day.add(derived.periods[i], damage);
        if (Result written = m_writer.add({nextReadout++, m_aircraft.id, addition, m_numbers[i],
                taken, std::move(m_texts[i])});
            !written.ok())
            return written;
    }
    if (!between) {
        for (const auto &[index, text] : derived.resets)
            m_result.resets.push_back({firstId + index, text});
    }
    previous = m_block.back();
    previousLabel = label(int(m_block.size()) - 1);
    m_block.clear();
    m_texts.clear();
    m_numbers.clear();
    return {};
}

// Classify one record: refused (a word above 16 bits), already there (in the register, or
// earlier in this add), or new and queued for its block, where another aircraft's records and
// the falls (a wrap, a reset) are found.
Result Addition::classify(
    const RecordValues &values, qint64 number, const AddInput &input, AddedFile &added)
{
    // The label is made only for a record that is refused.
    if (std::any_of(values.begin(), values.end(), [](std::int32_t v) { return v >= WordLimit; }))
        return Result(Result::Invalid,
            WordAbove16Bits(
                values, QStringLiteral("\"%1\" record %2").arg(input.name).arg(number)));
    if (!m_known.insert(wordsOf(values))) {
        noteAlready(added, number);
        return {};
    }
    m_block.push_back(values);
    m_texts.push_back(WordsText(values));
    m_numbers.push_back(number);
    return {};
}

// Reads one file, a block of new records at a time.
Result Addition::readFile(AddInput &input, qint64 addition, AddedFile &added)
{
    RecordReader reader(*input.file, input.name);
    added.firstReadout = nextReadout;
    // Room for the file's records at once (132 bytes each as written), so that a large file
    // does not rehash the known records again and again.
    m_known.reserve(m_known.size() + size_t(input.file->size() / 132) + 1);
    m_block.reserve(BlockRecords);
    m_texts.reserve(BlockRecords);
    m_numbers.reserve(BlockRecords);
    for (;;) {
        const qint64 number = reader.nextRecord();
        // The first record is always read: a file without one is refused.
        if (number > 1 && reader.atEnd())
            break;
        const ReadResult record = reader.next();
        if (!record.ok())
            return record;
        ++added.records;
        if (Result taken = classify(record.values, number, input, added); !taken.ok())
            return taken;
        if (int(m_block.size()) == BlockRecords) {
            if (Result written = writeBlock(input, addition); !written.ok())
                return written;
        }
    }
    if (!m_block.empty()) {
        if (Result written = writeBlock(input, addition); !written.ok())
            return written;
    }
    added.added = added.records - added.already;
    added.lastReadout = nextReadout - 1;
    if (added.added == 0)
        added.firstReadout = added.lastReadout = 0;
    return {};
}

// The read-out the new ones follow (the last one on or before `firstDate`), and whether any is
// kept after that date.
Result readoutBefore(
    RegisterDatabase &db, qint64 aircraft, const QString &firstDate, Addition &addition)
{
    QSqlQuery query;
    if (Result read = db.run(query,
            QStringLiteral("SELECT COUNT(*) FROM readouts WHERE aircraft_id = ? AND taken_on > ?"),
            {aircraft, firstDate});
        !read.ok())
        return read;
    addition.between = query.next() && query.value(0).toLongLong() > 0;
    if (Result read = db.run(query,
            QStringLiteral("SELECT id, words FROM readouts WHERE aircraft_id = ? AND taken_on <= ? "
                           "ORDER BY taken_on DESC, id DESC LIMIT 1"),
            {aircraft, firstDate});
        !read.ok())
        return read;
    if (query.next()) {
        RecordValues words {};
        if (!WordsFromText(query.value(1).toString(), words))
            return damagedReadout(db, query.value(0).toLongLong());
        addition.previous = words;
        addition.previousLabel = QStringLiteral("read-out %1").arg(query.value(0).toLongLong());
    }
    query.finish();
    return {};
}

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
    if (Result read = d.knownAircraft(registration, aircraft); !read.ok())
        return read;
    result.registration = aircraft.registration;
    adding.emplace(db, aircraft, result);
    adding->declared = declared;
    if (Result next = d.nextId(QStringLiteral("readout"), adding->nextReadout); !next.ok())
        return next;
    if (Result next = d.nextId(QStringLiteral("addition"), nextAddition); !next.ok())
        return next;
    firstNew = adding->nextReadout;
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
    for (AddInput &input : inputs) {
        if (Result stored = storeFile(input, now); !stored.ok())
            return stored;
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

AddResult Register::add(
    const QString &registration, const std::vector<AddFile> &files, bool declaredReset)
{
    AddResult result;
    result.registration = registration.trimmed();
    AddRun run(*d, result, declaredReset);
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
