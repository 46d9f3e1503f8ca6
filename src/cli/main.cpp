#include "Cli.h"
#include "CommandTable.h"

#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>

#include <csignal>
#include <cstdio>
#include <memory>

#include <fcntl.h>
#include <unistd.h>

namespace {
// The subcommand: the first argument that is not an option (the program's own options take no
// values).
const CommandEntry *findCommand(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        if (argv[i][0] != '-')
            return FindCommand(argv[i]);
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
    const CommandEntry *command = findCommand(argc, argv);
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
    // The commands' names, one a line, for the shell completion.
    const QCommandLineOption commands(QStringLiteral("commands"), QString());
    parser.addOption(help);
    parser.addOption(version);
    parser.addOption(commands);
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
            std::fputs(OverviewText().constData(), stdout);
            return ExitOk;
        }
        if (parser.isSet(commands)) {
            std::fputs(CommandNames().constData(), stdout);
            return FinishStandardOutput(ExitOk);
        }
        PrintMessage(QStringLiteral("no command given."));
        std::fputs(OverviewText().constData(), stderr);
        return ExitUsage;
    }
    if (!command) {
        PrintMessage(QStringLiteral("unknown command \"%1\".").arg(positional.first()));
        std::fputs("Try 'zemra-cli --help'.\n", stderr);
        return ExitUsage;
    }
    if (parser.isSet(help) || parser.isSet(version) || parser.isSet(commands)) {
        PrintMessage(QStringLiteral("--help and --version go after the command or alone."));
        return ExitUsage;
    }
    QStringList arguments = positional.mid(1);
    arguments.prepend(QCoreApplication::arguments().first());
    return FinishStandardOutput(command->run(arguments));
}
