#pragma once

// What the register's subcommands share: their options, the register opened, the texts of
// figures. Each subcommand has a file of its own (AircraftCommand.cpp, AddCommand.cpp,
// UsageListCommand.cpp, HistoryCommand.cpp, RegisterCommands.cpp).

#include "Cli.h"
#include "Register.h"
#include "Table.h"

#include <QByteArray>
#include <QDate>
#include <QString>

#include <optional>
#include <utility>
#include <vector>

namespace RegisterCli {

// --register and --wait.
void addRegisterOptions(QCommandLineParser &parser);
Stop readDate(const CommandLine &commandLine, const QString &option, QDate &date);
// Opens the register the options name. None and `opened` holding it, or the exit status after
// saying why not.
Stop openRegister(const CommandLine &commandLine, Register::Access access, OpenedRegister &opened);

// --location NAME: the named structural location whose figures an aircraft's history, trend
// chart or report gives (default: the one of the largest life used).
void addLocationOption(QCommandLineParser &parser);

// --rate-window DAYS, the days of the forecast's rates: whole days from 1 to 36500 (365).
void addRateWindowOption(QCommandLineParser &parser);
Stop readRateWindow(const CommandLine &commandLine, int &days);

// The check settings (--thresholds, --inspection-hours, --inspection-days, --battery-days,
// each also a key of --parameters) and --no-checks.
void addCheckOptions(QCommandLineParser &parser);
Stop readCheckSettings(const CommandLine &commandLine, CheckSettings &settings, bool &given);
QString checksText(const CheckSettings &settings); // empty when none is set
// fleet --check: a line for each aircraft whose status is not ok; ExitAttention when any.
ExitStatus fleetCheck(const UsageListResult &fleet, const QDate &today);

QString dateText(const QDate &date);
QString structureText(const StructuralData &structure);
QString aircraftText(const AircraftInfo &aircraft);
// "design spectrum \"...\" (file.csv): source, table, page, axis n", or that there is none.
QString designText(const std::optional<StoredDesignSpectrum> &design);

ExitStatus runAircraft(const QStringList &arguments);
ExitStatus runAdd(const QStringList &arguments);
ExitStatus runUsageList(const QStringList &arguments, bool fleet);
ExitStatus runHistory(const QStringList &arguments);
ExitStatus runRemove(const QStringList &arguments);
ExitStatus runInspection(const QStringList &arguments);
} // namespace RegisterCli
