#pragma once

#include "DesignSpectrum.h"
#include "ReferenceSpectrum.h"
#include "Table.h"

#include <QByteArray>
#include <QStringList>

// A design spectrum beside a damage result: its provenance, its damage per 1000 h and the
// severity of the measured damage against it, in the damage output's three formats.
struct DesignComparison
{
    const ReferenceSpectrum &spectrum;
    const DesignDamage &damage;
};

// The columns the damage tables add with a design spectrum; the JSON writer takes its keys from
// the same columns.
TableColumn DesignDamageColumn(); // "design damage per 1000h"
TableColumn SeverityColumn(); // "severity"
TableColumn DesignLifeRateColumn(); // "design life rate": SF D L / T, kept apart from severity

// "\"Example trainer spectrum\" (design.csv): Example handbook, Table 9, page 12, axis n"
QString DesignProvenanceText(const ReferenceSpectrum &spectrum);

// The design spectrum's lines for people: provenance, levels outside its range, levels raised,
// D per 1000 h of each estimate (or why not).
QStringList DesignDamageLines(const DesignComparison &design);

// The severity cell of one estimate: the number, or a dash (people) and null (files).
TableCell SeverityCell(const SeverityFigure &figure);
// A line per estimate without a severity, saying why; none when both have one.
QStringList SeverityNotes(const Severity &severity);

// The design spectrum as a JSON object (after its key): provenance, the levels outside its
// range and raised, and the damage per 1000 h of each estimate.
QByteArray DesignJson(const DesignComparison &design);
