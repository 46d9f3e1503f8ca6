#pragma once

#include "Cli.h"
#include "OutputFile.h"
#include "RecordTables.h"

#include <QCommandLineParser>

// --format text|csv|json (default text) for the commands that print tables.
void AddTableFormatOption(QCommandLineParser &parser);
// ExitUsage after saying why for an unknown format, none otherwise.
Stop ReadTableFormat(const CommandLine &commandLine, TableFormat &format);
// Writes what is left of the output; ExitRefused when standard output failed, else `status`.
ExitStatus FinishOutput(Output &output, ExitStatus status);
