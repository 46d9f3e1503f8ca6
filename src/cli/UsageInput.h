#pragma once

#include "Cli.h"
#include "CombineRecords.h"
#include "Damage.h"
#include "Exceedance.h"
#include "ReferenceSpectrum.h"
#include "TextFields.h"
#include "UsageAnalysis.h"

#include <QCommandLineParser>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

// What the usage commands (exceedance, damage, chart --kind exceedance, report) read, and how:
// the records of one or more files, one at a time or combined, the axis, the reference spectra
// and the S-N data, from the options and from a parameters file.

struct UsageSelection
{
    QStringList files;
    RecordChoice choice;
    CombineMode mode = CombineMode::NotGiven;
};

void AddSelectionOptions(QCommandLineParser &parser);
void AddAxisOptions(QCommandLineParser &parser); // --axis and the limit loads
void AddLimitLoadOptions(QCommandLineParser &parser); // --category, --limit-loads
void AddReferenceOption(QCommandLineParser &parser);
void AddDamageOptions(QCommandLineParser &parser);
// --parameters FILE: any of the axis and damage options as keys of an INI file.
void AddParametersOption(QCommandLineParser &parser);

// Each gives ExitUsage (after saying why) when the options make no sense, none otherwise.
// `onePeriod`: the command shows one analysis, so several records need --combine.
Stop ReadSelection(const CommandLine &commandLine, bool onePeriod, UsageSelection &selection);
Stop ReadAxis(const CommandLine &commandLine, AxisChoice &axis);
// The limit loads of --category or --limit-loads (or the parameters file), none when neither.
Stop ReadLimitLoads(const CommandLine &commandLine, std::optional<LimitLoads> &limits);
// `given` tells whether any S-N input was given at all (options or a parameters file); when
// `required`, none is a usage error naming what is missing. A parameters file with
// "[location NAME]" sections gives each location's S-N data into `locations` (the first's as
// `parameters`), and is a usage error for a command that passes none.
Stop ReadDamageParameters(const CommandLine &commandLine, bool required,
    DamageParameters &parameters, bool &given,
    std::vector<StructuralLocation> *locations = nullptr);

// ExitRefused (after saying which file, line and why) when a reference file cannot be read or
// is malformed; ExitUsage, naming the file, for a reference on the fraction axis when `axis`
// has no limit loads to place the levels on it; none otherwise.
Stop ReadReferences(const CommandLine &commandLine, const AxisChoice &axis,
    std::vector<ReferenceSpectrum> &references);

// The option's value, else the --parameters file's key of that name, else none.
Stop ReadOptionOrParameter(
    const CommandLine &commandLine, const QString &name, std::optional<QString> &value);
// --design-spectrum FILE: read as a reference spectrum, the same refusals as ReadReferences;
// none when not given.
void AddDesignSpectrumOption(QCommandLineParser &parser);
Stop ReadDesignSpectrum(const CommandLine &commandLine, const std::optional<LimitLoads> &limits,
    std::optional<ReferenceSpectrum> &design);

// Every file the usage options name: the data files, the parameters file, the references.
QStringList UsageInputFiles(const CommandLine &commandLine);

// Reads a whole input file by the rules for every file the program opens (only a regular file,
// opened without waiting, the length it had when opened). False, with the message to print,
// when it cannot be read or is larger than `maxBytes`.
bool ReadInputFile(const QString &name, qint64 maxBytes, QByteArray &bytes, QString &error);
// Hand-written inputs (parameters, reference spectra) are small; a larger file is not one.
constexpr qint64 MaxTextInputBytes = 16 * 1024 * 1024;

// Reads the chosen records and hands `take` one period each: every record on its own without a
// mode, their combination with one. Resets and wraps found in running totals are said on
// standard error. ExitOk, or ExitRefused after saying why (a file or record refused, a word above
// 16 bits, a fall of running totals that neither a wrap nor a reset explains, T = 0).
ExitStatus ForEachPeriod(
    const UsageSelection &selection, const std::function<void(const UsagePeriod &)> &take);
