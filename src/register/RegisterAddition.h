#pragma once

#include "RegisterKnownRecords.h"
#include "RegisterPeriods.h"
#include "RegisterPrivate.h"

#include <QHash>

#include <optional>

struct AddInput;

// The records of one add and what they are checked against (internal to the register library):
// Register::add writes the new ones; Register::previewAdd, given `decisions`, notes what each
// record is instead, writes nothing and goes on past what an add refuses.
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
    // A preview's decisions, one a record in file order; none in an add, which writes instead.
    std::vector<AddDecision> *decisions = nullptr;
    qint64 firstNew = 0; // the first id this add gives
    AddProgress progress;
    qint64 bytesBefore = 0; // of the files read already
    qint64 bytesTotal = 0;

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
        size_t decision = 0; // previewing: its index in `decisions`
    };
    std::vector<Unchecked> m_unchecked;
    QSqlQuery m_lookup; // prepared for WordsPerLookup words
    bool m_lookupPrepared = false;
    std::vector<RecordValues> m_block;
    std::vector<QString> m_texts;
    std::vector<qint64> m_numbers;
    // Previewing: the decision of each record of the block, and the read-out of each record known.
    std::vector<size_t> m_blockDecisions;
    QHash<QString, qint64> m_knownIds;
    void decideBlock(const DerivedPeriods &derived, qint64 firstId);
    Result goOn(const AddInput &input) const;
};

// The read-out the new ones follow (the last one on or before `firstDate`), and whether any is
// kept after that date.
Result readoutBefore(
    RegisterDatabase &db, qint64 aircraft, const QString &firstDate, Addition &addition);
