#pragma once

#include "Damage.h"
#include "DamageTables.h"
#include "Exceedance.h"
#include "ExceedanceTable.h"
#include "RecordTables.h"
#include "ReferenceSpectrum.h"
#include "TableText.h"
#include "TableWriters.h"
#include "TextFields.h"
#include "UsageAnalysis.h"

#include <QByteArray>
#include <QStringList>

#include <vector>

// Writes exceedance tables (ExceedanceLevelsTable) as text for people (aligned columns), CSV
// (RFC 4180, one row per level with the source and hours repeated, so each row stands alone) or
// JSON (an array of one object per table, the levels within it). Numbers in CSV and JSON are the
// shortest text that reads back as the same double; empty (CSV) or null (JSON) where there is none.
// Appended a table at a time, so that any number of records streams.
class ExceedanceWriter
{
public:
    // One run has one axis: the columns and the row writers are made once for all its tables.
    ExceedanceWriter(
        TableFormat format, Axis axis, const std::vector<ReferenceSpectrum> &references);
    void begin(QByteArray &out);
    void add(const ExceedanceAnalysis &analysis, QByteArray &out);
    void end(QByteArray &out);

private:
    void addJson(const ExceedanceAnalysis &analysis, const Table &levels, QByteArray &out);
    void addText(const ExceedanceAnalysis &analysis, const Table &levels, QByteArray &out) const;

    TableFormat m_format;
    const std::vector<ReferenceSpectrum> &m_references;
    Table m_levels; // refilled for each table
    CsvRowWriter m_csv;
    JsonRowWriter m_json;
    Table m_compared; // the references, their first levels above refilled for each table
    JsonRowWriter m_comparedJson;
    qint64 m_added = 0;
};

// The damage result in the same three formats: the summary with its inputs, the levels raised,
// and the cycle table of both estimates.
// With a design spectrum, its D per 1000 h and the severity of each estimate against it; the
// text for people says the design spectrum's own lines (DesignDamageLines) once, by the caller.
QByteArray DamageText(const UsagePeriod &period, const DamageParameters &parameters,
    const DamageResult &damage, TableFormat format, bool first,
    const DesignComparison *design = nullptr);

// The inputs as one line: "σ₁ = 100 MPa, k = 5, ...".
QString DamageInputsText(const DamageParameters &parameters);
// A level's comparison for people: the first level above the reference on each branch.
QString FirstAboveText(const ReferenceComparison &comparison);
