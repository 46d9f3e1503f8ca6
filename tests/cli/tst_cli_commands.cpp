// The table of commands against what the user sees of it: the overview of --help, the names
// the shell completion offers, the manual's synopsis, and each command's own --help.
#include "CliRun.h"

#include <QRegularExpression>
#include <QSet>
#include <QTest>

namespace {
QByteArray readSource(const QString &relative)
{
    QFile file(QStringLiteral(ZEMRA_SOURCE_DIR "/") + relative);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QSet<QString> linesOf(const QByteArray &text)
{
    QSet<QString> set;
    for (const QByteArray &line : text.split('\n')) {
        if (!line.isEmpty())
            set.insert(QString::fromUtf8(line));
    }
    return set;
}

// The commands the manual's synopsis shows: ".B zemra-cli NAME".
QSet<QString> manualCommands()
{
    QSet<QString> names;
    const QByteArray page = readSource(QStringLiteral("docs/man/zemra-cli.1"));
    const qsizetype from = page.indexOf(".SH SYNOPSIS"), to = page.indexOf(".SH", from + 1);
    static const QRegularExpression entry(
        QStringLiteral("^\\.B zemra-cli (\\w+)"), QRegularExpression::MultilineOption);
    auto matches = entry.globalMatch(QString::fromUtf8(page.mid(from, to - from)));
    while (matches.hasNext())
        names.insert(matches.next().captured(1));
    return names;
}

// The commands the overview lists: lines "  NAME ..." between "Commands:" and "Options:".
QSet<QString> overviewCommands(const QByteArray &overview)
{
    QSet<QString> names;
    const qsizetype from = overview.indexOf("Commands:\n"), to = overview.indexOf("\nOptions:");
    static const QRegularExpression entry(
        QStringLiteral("^  ([a-z]+)\\b"), QRegularExpression::MultilineOption);
    auto matches = entry.globalMatch(QString::fromUtf8(overview.mid(from, to - from)));
    while (matches.hasNext())
        names.insert(matches.next().captured(1));
    return names;
}

// What the bash completion offers for the first word, run in a bash of its own.
QSet<QString> completedCommands()
{
    QProcess bash;
    const QString script = QStringLiteral(ZEMRA_SOURCE_DIR "/resources/linux/zemra-cli.bash");
    bash.start(QStringLiteral("bash"),
        {QStringLiteral("-c"),
            QStringLiteral("source \"$1\"; COMP_WORDS=(\"$2\" \"\"); COMP_CWORD=1; _zemra_cli; "
                           "printf '%s\\n' \"${COMPREPLY[@]}\""),
            QStringLiteral("bash"), script, QStringLiteral(ZEMRA_CLI)});
    if (!bash.waitForFinished(30000))
        return {};
    QSet<QString> names = linesOf(bash.readAllStandardOutput());
    names.remove(QStringLiteral("--help"));
    names.remove(QStringLiteral("--version"));
    return names;
}
} // namespace

class TestCliCommands : public QObject
{
    Q_OBJECT

private slots:
    void everyViewAgrees_data();
    void everyViewAgrees();
    void commandHelp_data();
    void commandHelp();
};

void TestCliCommands::everyViewAgrees_data()
{
    QTest::addColumn<QSet<QString>>("shown");
    const CliRun help = RunCli({"--help"});
    QTest::newRow("overview of --help") << overviewCommands(help.out);
    QTest::newRow("overview of a missing command") << overviewCommands(RunCli({}).err);
    QTest::newRow("manual's synopsis") << manualCommands();
    QTest::newRow("bash completion") << completedCommands();
}

// Each view names every command of the table and no other.
void TestCliCommands::everyViewAgrees()
{
    QFETCH(QSet<QString>, shown);
    const CliRun names = RunCli({"--commands"});
    QCOMPARE(names.exitCode, 0);
    const QSet<QString> table = linesOf(names.out);
    QCOMPARE(table.size(), 12);
    QCOMPARE(shown, table);
}

void TestCliCommands::commandHelp_data()
{
    QTest::addColumn<QString>("command");
    for (const QString &name : linesOf(RunCli({"--commands"}).out))
        QTest::newRow(qPrintable(name)) << name;
}

// Every name the table gives reaches a handler: its own --help, not "unknown command".
void TestCliCommands::commandHelp()
{
    QFETCH(QString, command);
    const CliRun run = RunCli({command, "--help"});
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.out.startsWith("Usage: zemra-cli " + command.toUtf8()), run.out.left(200));
}

QTEST_GUILESS_MAIN(TestCliCommands)
#include "tst_cli_commands.moc"
