#include "Cli.h"

#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <memory>

#include <fcntl.h>
#include <unistd.h>

namespace {
const char Overview[] = R"(Usage: zemra-cli [--help] [--version] COMMAND [OPTIONS] [ARGUMENTS]

Data files of the ZEMRA fatigue-loads recorder from the command line.

Commands:
  check FILE...             Read every record of each file; say how many it holds.
  spectrum [--record N | --all] [--format text|csv|json] FILE
                            The spectrum table: Nc, E and log E per level.
  timers [--record N | --all] [--format text|csv|json] FILE
                            Active work hours and battery days left.
  chart [--record N] [--size WxH] -o OUT FILE
                            The graphic spectrum as PNG, PDF or SVG (by OUT's extension).
  reset [--port DEVICE]     Send the recorder its counter reset (COM1, else COM2).
  exceedance [--record N | --all] [--combine MODE] [--axis n|dn|a] [--reference REF]...
             [--format text|csv|json] FILE...
                            Exceedances per 1000 h per level, beside reference spectra.
  damage [--record N | --all] [--combine MODE] --sigma1 MPA --k K --sd MPA --nd N
         [--parameters INI] [--format text|csv|json] FILE...
                            Fatigue damage (Miner) from the counts: two estimates, life used.
  chart --kind exceedance [...] -o OUT FILE...
                            The exceedance chart with its references, PNG, PDF or SVG.
  report [...] -o OUT.pdf FILE...
                            An A4 PDF usage report: what was read, chart, table, damage.
  register aircraft|add|list|history|remove [...]
                            The register of every read-out of every aircraft (SQLite, or
                            PostgreSQL with --register postgresql://...).
  fleet [--since YYYY-MM-DD] [--format text|csv|json]
                            Every aircraft of the register ranked by life used.
  export [-o FILE]          The whole register as one JSON document.
  import FILE               An exported register into an empty one.

Options:
  -h, --help                This help; 'zemra-cli COMMAND --help' for a command's own.
  -v, --version             The program's version.

Exit status: 0 success, 1 a data file refused, an output not written (or one that
would replace an input, or a closed standard output), a device failure or the
register refused or out of reach, 2 wrong usage.
)";

struct Command
{
    const char *name;
    int (*run)(const QStringList &);
    bool needsGui;
};

const Command Commands[] = {
    {"check", RunCheck, false},
    {"spectrum", RunSpectrum, false},
    {"timers", RunTimers, false},
    {"chart", RunChart, true},
    {"reset", RunReset, false},
    {"exceedance", RunExceedance, false},
    {"damage", RunDamage, false},
    {"report", RunReport, true},
    {"register", RunRegister, false},
    {"fleet", RunFleet, false},
    {"export", RunExport, false},
    {"import", RunImport, false},
};

// The subcommand: the first argument that is not an option (the program's own options take no
// values).
const Command *findCommand(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        if (argv[i][0] == '-')
            continue;
        for (const Command &command : Commands) {
            if (std::strcmp(argv[i], command.name) == 0)
                return &command;
        }
        return nullptr;
    }
    return nullptr;
}
// A name as printable ASCII, every other byte as \xNN, so the message itself is valid text.
QByteArray escaped(const QByteArray &bytes)
{
    QByteArray text;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7f && byte != '\\')
            text += c;
        else
            text += "\\x" + QByteArray::number(byte, 16).rightJustified(2, '0');
    }
    return text;
}
} // namespace

namespace {
// Standard input, output and error always open, so that no file the command opens takes their
// place (and receives its output). A closed standard output becomes a pipe nobody reads, whose
// first write fails as a closed one should.
void fillClosedStandardFiles()
{
    for (const int fd : {STDIN_FILENO, STDERR_FILENO, STDOUT_FILENO}) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF)
            continue;
        int ends[2] = {-1, -1};
        if (fd == STDOUT_FILENO && ::pipe(ends) == 0) {
            // pipe() may itself have taken the free number for its reading end.
            if (ends[1] != fd) {
                ::dup2(ends[1], fd);
                ::close(ends[1]);
            }
            if (ends[0] != fd)
                ::close(ends[0]);
            continue;
        }
        const int null = ::open("/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY);
        if (null >= 0 && null != fd) {
            ::dup2(null, fd);
            ::close(null);
        }
    }
}
} // namespace

int main(int argc, char **argv)
{
    fillClosedStandardFiles();
    // A reader that goes away (`| head`) is a failed write, not a signal that kills mid-way.
    std::signal(SIGPIPE, SIG_IGN);
    // Qt turns bytes that are not UTF-8 into U+FFFD, after which two different names read the
    // same and the program could open another file than the one named: refuse such a name.
    for (int i = 1; i < argc; ++i) {
        const QByteArray bytes(argv[i]);
        if (QFile::encodeName(QFile::decodeName(bytes)) != bytes) {
            std::fprintf(stderr,
                "zemra-cli: argument %d is not valid UTF-8 text (\"%s\"); zemra-cli takes file "
                "names in UTF-8 only, so it would open another file than the one named. Rename "
                "the file, or give it through a link whose name is UTF-8.\n",
                i, escaped(bytes).constData());
            return ExitUsage;
        }
    }
    const Command *command = findCommand(argc, argv);
    std::unique_ptr<QCoreApplication> app;
    if (command && command->needsGui) {
        // Drawn off-screen: no display is needed, and the result does not depend on one.
        if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    QCoreApplication::setApplicationName(QStringLiteral("zemra-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ZEMRA_VERSION));

    QCommandLineParser parser;
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QString());
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")}, QString());
    parser.addOption(help);
    parser.addOption(version);
    if (!parser.parse(QCoreApplication::arguments())) {
        PrintMessage(parser.errorText());
        std::fputs("Try 'zemra-cli --help'.\n", stderr);
        return ExitUsage;
    }
    const QStringList positional = parser.positionalArguments();
    if (positional.isEmpty()) {
        if (parser.isSet(version)) {
            std::printf("zemra-cli %s\n", ZEMRA_VERSION);
            return ExitOk;
        }
        if (parser.isSet(help)) {
            std::fputs(Overview, stdout);
            return ExitOk;
        }
        PrintMessage(QStringLiteral("no command given."));
        std::fputs(Overview, stderr);
        return ExitUsage;
    }
    if (!command) {
        PrintMessage(QStringLiteral("unknown command \"%1\".").arg(positional.first()));
        std::fputs("Try 'zemra-cli --help'.\n", stderr);
        return ExitUsage;
    }
    if (parser.isSet(help) || parser.isSet(version)) {
        PrintMessage(QStringLiteral("--help and --version go after the command or alone."));
        return ExitUsage;
    }
    QStringList arguments = positional.mid(1);
    arguments.prepend(QCoreApplication::arguments().first());
    return FinishStandardOutput(command->run(arguments));
}
