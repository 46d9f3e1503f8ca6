#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSettings>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

// One run of the real zemra-cli.
struct CliRun
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// Runs zemra-cli with `arguments`, in an environment where the settings folder is a fresh
// temporary one and COM1 and COM2 name paths that do not exist, so that no run can reach the
// machine's own serial ports; `environment` adds to or overrides that, and the variables named in
// `unset` are taken away. Gives up after 30 s.
// The settings folder (XDG_CONFIG_HOME) every run gets: zemra/zemra.conf in it is the
// settings file the runs read.
inline QString CliSettingsHome()
{
    static QTemporaryDir home;
    return home.path();
}

// zemra-cli copied into a folder of its own that every user may enter, for runs as another user
// (a checkout under /root, or in a folder of mode 0700, is out of their reach). The build links
// the program's libraries statically; Qt and its plugins are the system's.
inline QString ReachableCli()
{
    static QTemporaryDir folder;
    static const QString path = [] {
        const QString copy = folder.filePath(QStringLiteral("zemra-cli"));
        const QFileDevice::Permissions open = QFileDevice::ReadOwner | QFileDevice::WriteOwner
            | QFileDevice::ExeOwner | QFileDevice::ReadGroup | QFileDevice::ExeGroup
            | QFileDevice::ReadOther | QFileDevice::ExeOther;
        if (!folder.isValid() || !QFile::setPermissions(folder.path(), open)
            || !QFile::copy(QStringLiteral(ZEMRA_CLI), copy) || !QFile::setPermissions(copy, open))
            qFatal("cannot copy zemra-cli where every user may run it");
        return copy;
    }();
    return path;
}

// The environment for a run of ReachableCli() as another user: a leak checker's suppressions
// file, which lies in the checkout too, is copied beside it, since a sanitizer that cannot read
// it ends the program.
inline QProcessEnvironment ReachableEnvironment(QProcessEnvironment environment)
{
    QStringList options = environment.value(QStringLiteral("LSAN_OPTIONS"))
                              .split(QLatin1Char(':'), Qt::SkipEmptyParts);
    for (QString &option : options) {
        if (!option.startsWith(QLatin1String("suppressions=")))
            continue;
        const QString copy = QFileInfo(ReachableCli()).dir().filePath(QStringLiteral("lsan.supp"));
        if (!QFile::exists(copy)
            && (!QFile::copy(option.section(QLatin1Char('='), 1), copy)
                || !QFile::setPermissions(copy,
                    QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther)))
            qFatal("cannot copy the leak checker's suppressions where every user may read them");
        option = QStringLiteral("suppressions=") + copy;
    }
    if (!options.isEmpty())
        environment.insert(QStringLiteral("LSAN_OPTIONS"), options.join(QLatin1Char(':')));
    return environment;
}

// `seconds`: how long before a run is taken for hung and killed.
inline CliRun RunCli(const QStringList &arguments,
    const QProcessEnvironment &environment = QProcessEnvironment(),
    const QStringList &unset = QStringList(), int seconds = 30)
{
    QProcessEnvironment full = QProcessEnvironment::systemEnvironment();
    full.insert(QStringLiteral("XDG_CONFIG_HOME"), CliSettingsHome());
    // A runtime folder of its own (made private), so that Qt has nothing to warn about.
    static QTemporaryDir runtime;
    full.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    full.insert(QStringLiteral("ZEMRA_COM1"), CliSettingsHome() + QStringLiteral("/no-com1"));
    full.insert(QStringLiteral("ZEMRA_COM2"), CliSettingsHome() + QStringLiteral("/no-com2"));
    full.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    full.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    for (const QString &name : environment.keys())
        full.insert(name, environment.value(name));
    for (const QString &name : unset)
        full.remove(name);

    // Never the machine's own serial ports: a reset runs only when both ports, as the program
    // will map them, are known to be something else.
    if (arguments.value(0) == QLatin1String("reset")
        && !arguments.contains(QLatin1String("--help"))) {
        QSettings settings(
            CliSettingsHome() + QStringLiteral("/zemra/zemra.conf"), QSettings::IniFormat);
        QStringList devices;
        for (const QString &port : {QStringLiteral("COM1"), QStringLiteral("COM2")}) {
            const QString mapped = full.value(QStringLiteral("ZEMRA_") + port);
            devices << (mapped.isEmpty()
                    ? settings.value(QStringLiteral("ports/") + port).toString()
                    : mapped);
        }
        const qsizetype port = arguments.indexOf(QLatin1String("--port"));
        if (port > 0 && port + 1 < arguments.size())
            devices << arguments.value(port + 1);
        for (const QString &device : devices) {
            if (device.isEmpty() || device.startsWith(QLatin1String("/dev/ttyS"))) {
                qWarning(
                    "RunCli: refused to run a reset that could reach \"%s\"", qPrintable(device));
                return CliRun();
            }
        }
    }

    QProcess process;
    process.setProcessEnvironment(full);
    process.start(QStringLiteral(ZEMRA_CLI), arguments);
    CliRun run;
    if (!process.waitForFinished(seconds * 1000)) {
        process.kill();
        process.waitForFinished();
        qWarning("zemra-cli %s did not end within %d s", qPrintable(arguments.join(' ')), seconds);
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

// The text of a PDF as pdftotext lays it out, for what a report says.
inline QString PdfText(const QString &pdf)
{
    QProcess process;
    process.start(
        QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput());
}
