#pragma once

#include "Cli.h"

#include <QByteArray>
#include <QByteArrayView>

#include <array>

// One way to call a subcommand as the overview shows it: the synopsis (continuation lines carry
// their own indent) and what it does (one or more lines).
struct CommandForm
{
    const char *synopsis = nullptr;
    const char *description = nullptr;
};

// One subcommand, as git registers its builtins: the overview, `--commands` (the shell
// completion's list) and the dispatch in main() all read this one entry.
struct CommandEntry
{
    const char *name;
    ExitStatus (*run)(const QStringList &);
    bool needsGui; // draws: a QGuiApplication, off-screen
    std::array<CommandForm, 2> forms; // the second form may be empty
};

// The entry of that name, or none.
const CommandEntry *FindCommand(QByteArrayView name);
// `zemra-cli --help`: usage, the commands with their synopses, the options, the exit statuses.
QByteArray OverviewText();
// The commands' names, one a line.
QByteArray CommandNames();
