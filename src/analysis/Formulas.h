#pragma once

#include "Damage.h"
#include "Exceedance.h"

#include <QString>
#include <QStringList>

// The formulas and assumptions behind every figure of the analysis, as short exact lines that
// the command line, its help and the report print beside the results, so that each figure can
// be worked again by hand.
namespace Formulas {
extern const QString Hours; // T from the two words of the active clock
extern const QString PerHour;
extern const QString Per1000h;
extern const QString Logarithm;
extern const QString Branches;
extern const QString Increment; // Δn
extern const QString Fraction; // a
extern const QString Interpolation; // reference spectra
extern const QString Ratio;
extern const QString FirstAbove;

extern const QString Consistent; // P′
extern const QString PeaksAndValleys;
extern const QString Pairing;
extern const QString UpperPairing;
extern const QString DeadBand;
extern const QString CountedPositions;
extern const QString UpperPositions;
extern const QString Stress;
extern const QString AmplitudeAndMean;
extern const QString Basquin;
extern const QString Elementary;
extern const QString Haibach;
extern const QString Original;
extern const QString Goodman;
extern const QString Miner;
extern const QString Overflow;
extern const QString DamagePer1000h;
extern const QString LifeUsed;
extern const QString HoursLeft;
extern const QString EquivalentHours;
extern const QString DesignLifeRate;
extern const QString DesignSampling; // a design spectrum at the levels
extern const QString DesignDamage;
extern const QString Severity; // against the design spectrum
} // namespace Formulas

// The lines behind an exceedance table on the axis chosen, with or without references.
QStringList ExceedanceFormulaLines(Axis axis, bool withReferences);

// The lines behind a damage result: only the S-N variant chosen, Goodman and the design-life
// lines only when their parameters are given.
QStringList DamageFormulaLines(const DamageParameters &parameters);
// The lines behind the severity against a design spectrum.
QStringList DesignFormulaLines();
