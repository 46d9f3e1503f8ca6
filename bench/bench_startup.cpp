#include "Bench.h"
#include "Register.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>

// Whole processes, started alternately so that a busy moment of the machine hits both alike:
// the bare dialog, the program's start-up with all fourteen windows, and the main window
// alone; and zemra-fleet up to its table of an empty register. Each process ends as soon as its
// first paint has reached the screen; it is timed from its start to its exit, and it reports its
// own time spent from main() on.
namespace {
constexpr int Warmup = 3;
constexpr int Runs = 40;
// The program's start-up against a bare dialog's, under each platform.
constexpr double OffscreenTarget = 1.3;
constexpr double XvfbTarget = 1.15;
// zemra-fleet's start-up up to its (empty) fleet's table against the same bare dialog.
constexpr double FleetTarget = 1.2;

struct Probe
{
    const char *name;
    QString program;
    QStringList arguments;
    std::vector<double> total;
    std::vector<double> inMain;
};

bool runOnce(Probe &probe, const QProcessEnvironment &environment, bool keep)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::SeparateChannels);
    process.setStandardErrorFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    process.start(probe.program, probe.arguments);
    if (!process.waitForFinished(20000)) {
        process.kill();
        process.waitForFinished();
        return false;
    }
    const double elapsed = double(timer.nsecsElapsed());
    bool ok = false;
    const double inMain = process.readAllStandardOutput().trimmed().toDouble(&ok);
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0 || !ok)
        return false;
    if (keep) {
        probe.total.push_back(elapsed);
        probe.inMain.push_back(inMain);
    }
    return true;
}

// Starts an Xvfb of our own; null when there is none to start.
std::unique_ptr<QProcess> startXvfb(QString *display)
{
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    if (xvfb.isEmpty())
        return {};
    auto server = std::make_unique<QProcess>();
    server->setStandardErrorFile(QProcess::nullDevice());
    // -displayfd 1: the server picks a free display and writes its number to our pipe.
    server->start(xvfb,
        {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
            QStringLiteral("0"), QStringLiteral("1024x768x24"), QStringLiteral("-nolisten"),
            QStringLiteral("tcp")});
    QByteArray number;
    while (!number.contains('\n') && server->waitForReadyRead(10000))
        number += server->readAllStandardOutput();
    if (!number.contains('\n')) {
        server->kill();
        server->waitForFinished();
        return {};
    }
    *display = QStringLiteral(":") + QString::fromLatin1(number.trimmed());
    return server;
}

// The program's probe against the bare dialog's, both started Warmup + Runs times; reported as
// `title` (platform). The probes `alongside` are started in turn with them and said against the
// same dialog, for information.
void measurePlatform(const QString &title, const QString &platform,
    const QProcessEnvironment &environment, double target, Probe program,
    std::vector<Probe> alongside = {})
{
    Probe bare {"bare dialog", QStringLiteral(ZEMRA_PROBE_BARE), {}, {}, {}};
    std::vector<Probe *> probes {&bare, &program};
    for (Probe &probe : alongside)
        probes.push_back(&probe);
    for (int i = 0; i < Warmup + Runs; ++i) {
        for (Probe *probe : probes) {
            if (!runOnce(*probe, environment, i >= Warmup)) {
                bench::Report(QStringLiteral("%1 (%2)").arg(title, platform),
                    QStringLiteral("%1 did not start, paint and end")
                        .arg(QLatin1String(probe->name)),
                    QStringLiteral("at most %1x the bare dialog").arg(target), false);
                return;
            }
        }
    }
    for (Probe *probe : probes) {
        const bench::Stats inMain = bench::Summarise(probe->inMain);
        std::printf("  %-32s whole process %s; main() to paint median %s\n", probe->name,
            qPrintable(bench::Describe(bench::Summarise(probe->total))),
            qPrintable(bench::FormatDuration(inMain.median)));
    }
    const double bareMedian = bench::Summarise(bare.total).median;
    for (const Probe &probe : alongside) {
        std::printf("  %-32s %.2fx the bare dialog (information)\n", probe.name,
            bench::Summarise(probe.total).median / bareMedian);
    }
    const bench::Stats programStats = bench::Summarise(program.total);
    const double ratio = programStats.median / bareMedian;
    bench::Report(QStringLiteral("%1 (%2)").arg(title, platform),
        QStringLiteral("%1 against %2: ratio %3")
            .arg(bench::FormatDuration(programStats.median), bench::FormatDuration(bareMedian))
            .arg(ratio, 0, 'f', 2),
        QStringLiteral("at most %1x the bare dialog").arg(target), ratio <= target);
}

// Both probes write their runtime folder warning otherwise; give them one of their own.
QProcessEnvironment probeEnvironment(const QTemporaryDir &runtime)
{
    QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    return environment;
}

// The program's probe against the bare dialog offscreen, then under an Xvfb of our own.
void measure(const QString &title, const Probe &program, double offscreenTarget, double xvfbTarget,
    const std::vector<Probe> &alongside = {})
{
    QTemporaryDir runtime;
    QProcessEnvironment environment = probeEnvironment(runtime);
    measurePlatform(
        title, QStringLiteral("offscreen"), environment, offscreenTarget, program, alongside);

    QString display;
    const std::unique_ptr<QProcess> server = startXvfb(&display);
    if (!server) {
        std::printf("  Xvfb not found: the start-up under X is not measured\n");
        return;
    }
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    environment.insert(QStringLiteral("DISPLAY"), display);
    measurePlatform(title, QStringLiteral("Xvfb"), environment, xvfbTarget, program, alongside);
    server->terminate();
    server->waitForFinished();
}
} // namespace

ZEMRA_BENCHMARK(startup)
{
    measure(QStringLiteral("Start-up"),
        {"program (main window)", QStringLiteral(ZEMRA_PROBE_ZEMRA), {}, {}, {}}, OffscreenTarget,
        XvfbTarget);
}

// zemra-fleet up to the first paint of its table with an empty register in it, the register
// read on the worker as the program does.
ZEMRA_BENCHMARK(fleetStartup)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("empty.sqlite"));
    {
        const OpenedRegister made
            = Register::open(ParseRegisterLocation(path).location, Register::Access::Write);
        if (!made.ok()) {
            std::printf("  the empty register: %s\n", qPrintable(made.message()));
            return;
        }
    }
    const QStringList arguments {QStringLiteral("--register"), path, QStringLiteral("--settings"),
        folder.filePath(QStringLiteral("settings.ini"))};
    // The floor under it: a plain Qt main window of the same parts and size.
    measure(QStringLiteral("zemra-fleet start-up, empty register"),
        {"zemra-fleet (empty register)", QStringLiteral(ZEMRA_PROBE_FLEET), arguments, {}, {}},
        FleetTarget, FleetTarget,
        {{"plain Qt main window, same parts", QStringLiteral(ZEMRA_PROBE_MAINWINDOW), {}, {}, {}}});

    // Where the time goes (information): the same process ended at the window's own first paint,
    // before the worker has read the register.
    QTemporaryDir runtime;
    Probe window {"zemra-fleet (window alone)", QStringLiteral(ZEMRA_PROBE_FLEET),
        arguments + QStringList {QStringLiteral("--window")}, {}, {}};
    for (int i = 0; i < Warmup + Runs; ++i) {
        if (!runOnce(window, probeEnvironment(runtime), i >= Warmup))
            return;
    }
    std::printf("  %-32s whole process %s; main() to paint median %s (offscreen)\n", window.name,
        qPrintable(bench::Describe(bench::Summarise(window.total))),
        qPrintable(bench::FormatDuration(bench::Summarise(window.inMain).median)));
}
