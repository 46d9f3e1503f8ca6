#pragma once

// The register as the input of a usage command: one aircraft's read-outs (--aircraft REG) or
// every aircraft's (--fleet), taken from --since to --until, in place of data files.

#include "Cli.h"
#include "RegisterTypes.h"
#include "UsageAnalysis.h"

#include <QCommandLineParser>

#include <functional>

void AddRegisterInputOptions(QCommandLineParser &parser);
// The files of the register the options name, that no output may replace; none when the
// register input is not given or names no register (opening it will say why).
QStringList RegisterInputFiles(const QCommandLineParser &parser);
// --aircraft or --fleet was given.
bool RegisterInputGiven(const QCommandLineParser &parser);

// --since and --until, each when given; ExitUsage (after saying why) for a date that is not one,
// or an end before its start.
Stop ReadRegisterWindow(
    const CommandLine &commandLine, std::optional<QDate> &since, std::optional<QDate> &until);

// Hands `take` one period an aircraft: its read-outs in the window summed, with the aircraft.
// ExitUsage (after saying why) for options that do not go together (a FILE, --record, --all or
// --combine beside the register; --since after --until); ExitRefused when the register or the
// aircraft cannot be read, or the one aircraft asked for has no read-outs or hours in the
// window. With --fleet an aircraft without them is passed over, and standard error says so.
ExitStatus ForEachRegisterPeriod(const CommandLine &commandLine,
    const std::function<void(const UsagePeriod &, const AircraftInfo &)> &take);
