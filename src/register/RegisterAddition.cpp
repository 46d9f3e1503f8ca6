#include "RegisterAddition.h"

#include "RegisterAddInput.h"
#include "RegisterPeriods.h"

#include <algorithm>

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

} // namespace

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
        if (decisions)
            m_knownIds.insert(query.value(1).toString(), query.value(0).toLongLong());
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
            if (decisions) {
                AddDecision &decision = (*decisions)[m_unchecked[i].decision];
                decision.kind = AddClass::OtherAircraft;
                decision.readout = found->second.first;
                decision.otherAircraft = found->second.second;
                continue;
            }
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
            m_unchecked.push_back(
                {m_texts[i], m_numbers[i], input.name, decisions ? m_blockDecisions[i] : 0});
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
        between || decisions ? InconsistentFall::Keep : InconsistentFall::Refuse, label);
    if (!derived.ok())
        return Result(Result::Invalid, derived.message() + InconsistentFallHint);
    if (decisions)
        decideBlock(derived, firstId);
    const QString taken = DateText(input.taken);
    DayUsage &day = days[taken];
    const LocationsDamage damage = DamageOf(m_aircraft);
    for (size_t i = 0; i < m_block.size(); ++i) {
        day.add(derived.periods[i], damage);
        if (decisions) {
            ++nextReadout;
            continue;
        }
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
    m_blockDecisions.clear();
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
        if (decisions) {
            const qint64 readout = m_knownIds.value(WordsText(values));
            decisions->push_back(
                {input.name, number, AddClass::Already, readout, readout >= firstNew, {}, {}});
        }
        return {};
    }
    if (decisions) {
        // The id it would take, for a record that repeats it later in the add.
        m_knownIds.insert(WordsText(values), nextReadout + qint64(m_block.size()));
        m_blockDecisions.push_back(decisions->size());
        decisions->push_back({input.name, number, AddClass::New, 0, false, {}, {}});
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
            if (Result going = goOn(input); !going.ok())
                return going;
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

// A preview's block: each new record's class, found as the add finds it, and its would-be id.
void Addition::decideBlock(const DerivedPeriods &derived, qint64 firstId)
{
    for (size_t i = 0; i < m_blockDecisions.size(); ++i) {
        AddDecision &decision = (*decisions)[m_blockDecisions[i]];
        decision.readout = firstId + qint64(i);
        if (m_aircraft.mode == CombineMode::Separate || (i == 0 && !previous))
            continue;
        switch (derived.periods[i].kind) {
        case RunningKind::Running:
            decision.kind = AddClass::Running;
            break;
        case RunningKind::Wrap:
            decision.kind = AddClass::Wrap;
            break;
        case RunningKind::Reset:
            decision.kind = AddClass::Reset;
            break;
        case RunningKind::Inconsistent:
            decision.kind = AddClass::Inconsistent;
            break;
        }
    }
    for (const auto &[index, text] : derived.resets)
        (*decisions)[m_blockDecisions[size_t(index)]].text = text;
}

// Asks whoever follows the add whether to go on; a stop refuses the add, which is then undone.
Result Addition::goOn(const AddInput &input) const
{
    if (!progress || progress(bytesBefore + input.file->pos(), bytesTotal))
        return {};
    return Result(Result::Failed, QStringLiteral("The add was cancelled."));
}

bool AddPreviewResult::refused() const
{
    return std::any_of(decisions.begin(), decisions.end(), [](const AddDecision &decision) {
        return decision.kind == AddClass::OtherAircraft || decision.kind == AddClass::Inconsistent;
    });
}
