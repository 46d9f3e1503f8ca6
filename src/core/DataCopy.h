#pragma once

#include "CounterRecord.h"
#include "DataFile.h"
#include "Result.h"

// The data copy's transaction. FileOpen creates (or empties) the data file and holds it; a copy
// then appends the read-out to "dane.txt" and writes all of "dane.txt" into the data file, which
// is let go once complete. A copy that fails takes its read-out back out of "dane.txt", so every
// data file holds the read-outs of the copies that succeeded, and leaves the data file as
// FileOpen left it, held for another try.
class DataCopy
{
public:
    // True while a FileOpen has created a data file that no copy has written yet.
    bool hasDataFile() const { return m_dataFile.isOpen(); }
    QString dataFileName() const { return m_dataFile.fileName(); }

    // An earlier data file that no copy filled is let go first.
    Result openDataFile(const QString &name);
    void closeDataFile();

    // `progress` is asked before each piece of the copy and may stop it.
    Result copy(const CounterRecord &record, const CopyProgress &progress);

private:
    DataFile m_dataFile; // open (and locked) from FileOpen until the copy that fills it
};

// The note a copy keeps in the working folder from just before its append until the data file is
// whole or the append taken back, so that a copy the program did not live to finish is known.
inline const QString CopyJournalName = QStringLiteral(".zemra-copy.journal");

// What a start made of a copy that a kill interrupted.
enum class InterruptedCopy {
    None, // no copy was under way
    TakenBack, // its read-out was taken back out of "dane.txt": a retry appends it once
    Finished, // its data file was already whole: the read-out stays
    // "dane.txt" does not end in the copy's read-out (never appended, or changed since):
    // nothing was touched
    LeftAlone,
};

// Run at start, with the working folder locked: a copy cut short between its append and its data
// file's rename has its read-out taken back, as a failed copy does.
InterruptedCopy RecoverInterruptedCopy();
