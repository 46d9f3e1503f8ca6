#include "PostgresServer.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QThread>
#include <QVersionNumber>

#include <csignal>

#include <grp.h>
#include <pwd.h>
#include <sys/prctl.h>
#include <unistd.h>

const QString PostgresServer::PasswordRole = QStringLiteral("zemra_secret");
const QString PostgresServer::PasswordRoleSecret = QStringLiteral("right-secret");

namespace {
// The newest of Debian's PostgreSQL installations.
QString binaryFolder()
{
    QString best;
    QVersionNumber bestVersion;
    const QDir root(QStringLiteral("/usr/lib/postgresql"));
    for (const QString &version : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QVersionNumber number = QVersionNumber::fromString(version);
        if (QFile::exists(root.filePath(version + QStringLiteral("/bin/initdb")))
            && number > bestVersion) {
            bestVersion = number;
            best = root.filePath(version + QStringLiteral("/bin"));
        }
    }
    return best;
}

// The user the server's programs run as: "postgres" for root (they refuse to run as root),
// else the user running the test.
struct ServerUser
{
    uid_t uid = ::geteuid();
    gid_t gid = ::getegid();
    bool change = false;
};

ServerUser serverUser()
{
    ServerUser user;
    if (::geteuid() != 0)
        return user;
    if (const passwd *entry = ::getpwnam("postgres")) {
        user.uid = entry->pw_uid;
        user.gid = entry->pw_gid;
        user.change = true;
    }
    return user;
}

// Runs the child as the server's user, and ends it with the test process.
void prepareChild(QProcess &process, const ServerUser &user)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    environment.remove(QStringLiteral("PGPASSWORD"));
    environment.remove(QStringLiteral("PGDATA"));
    process.setProcessEnvironment(environment);
    process.setChildProcessModifier([user] {
        if (user.change
            && (::setgroups(0, nullptr) != 0 || ::setgid(user.gid) != 0 || ::setuid(user.uid) != 0))
            ::_exit(126);
        ::prctl(PR_SET_PDEATHSIG, SIGINT);
    });
}
} // namespace

PostgresServer::PostgresServer()
{
    const QString bin = binaryFolder();
    if (bin.isEmpty()) {
        m_reason = QStringLiteral("PostgreSQL is not installed (/usr/lib/postgresql/*/bin/initdb): "
                                  "scripts/install-deps installs it");
        return;
    }
    if (!m_dir.isValid()) {
        m_reason = QStringLiteral("no temporary folder for the server");
        return;
    }
    const ServerUser user = serverUser();
    const QString data = m_dir.filePath(QStringLiteral("data"));
    QDir().mkpath(socketFolder());
    for (const QString &path : {m_dir.path(), socketFolder()}) {
        if (::chown(QFile::encodeName(path).constData(), user.uid, user.gid) != 0) {
            m_reason = QStringLiteral("cannot give %1 to the server's user").arg(path);
            return;
        }
    }
    if (!runTool(bin + QStringLiteral("/initdb"),
            {QStringLiteral("-D"), data, QStringLiteral("-A"), QStringLiteral("trust"),
                QStringLiteral("-U"), QStringLiteral("postgres"), QStringLiteral("-E"),
                QStringLiteral("UTF8"), QStringLiteral("--locale=C"), QStringLiteral("--no-sync"),
                QStringLiteral("--no-instructions")}))
        return;
    {
        QFile access(data + QStringLiteral("/pg_hba.conf"));
        if (!access.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            m_reason = QStringLiteral("cannot write pg_hba.conf");
            return;
        }
        access.write("local all " + PasswordRole.toUtf8()
            + " scram-sha-256\n"
              "local all all trust\n");
    }

    prepareChild(m_server, serverUser());
    m_server.setStandardOutputFile(m_dir.filePath(QStringLiteral("server.log")));
    m_server.setStandardErrorFile(m_dir.filePath(QStringLiteral("server.log")), QIODevice::Append);
    m_server.start(bin + QStringLiteral("/postgres"),
        {QStringLiteral("-D"), data, QStringLiteral("-k"), socketFolder(), QStringLiteral("-c"),
            QStringLiteral("listen_addresses="), QStringLiteral("-c"), QStringLiteral("fsync=off"),
            QStringLiteral("-c"), QStringLiteral("full_page_writes=off")});
    // Ready once the server says so in its pid file, as pg_ctl -w waits for it.
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        QFile pid(data + QStringLiteral("/postmaster.pid"));
        if (pid.open(QIODevice::ReadOnly) && pid.readAll().contains("\nready"))
            break;
        if (m_server.state() == QProcess::NotRunning || waited.elapsed() > 30000) {
            QFile log(m_dir.filePath(QStringLiteral("server.log")));
            log.open(QIODevice::ReadOnly);
            m_reason = QStringLiteral("the server did not start: %1")
                           .arg(QString::fromLocal8Bit(log.readAll()).right(2000));
            return;
        }
        m_server.waitForFinished(50);
    }
    runSql(QStringLiteral("postgres"),
        QStringLiteral("CREATE ROLE %1 LOGIN PASSWORD '%2'").arg(PasswordRole, PasswordRoleSecret));
}

PostgresServer::~PostgresServer()
{
    if (m_server.state() != QProcess::NotRunning) {
        const QString bin = binaryFolder();
        runTool(bin + QStringLiteral("/pg_ctl"),
            {QStringLiteral("stop"), QStringLiteral("-D"), m_dir.filePath(QStringLiteral("data")),
                QStringLiteral("-m"), QStringLiteral("fast"), QStringLiteral("-w")});
        if (!m_server.waitForFinished(30000)) {
            m_server.kill();
            m_server.waitForFinished();
        }
    }
}

bool PostgresServer::runTool(const QString &tool, const QStringList &arguments, QString *output)
{
    QProcess process;
    prepareChild(process, serverUser());
    process.setWorkingDirectory(m_dir.path());
    process.start(tool, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit
        || process.exitCode() != 0) {
        process.kill();
        m_reason = QStringLiteral("%1 failed: %2%3")
                       .arg(QFileInfo(tool).fileName(),
                           QString::fromLocal8Bit(process.readAllStandardError()),
                           process.errorString());
        return false;
    }
    if (output)
        *output = QString::fromUtf8(process.readAllStandardOutput());
    return true;
}

bool PostgresServer::runSql(const QString &database, const QString &sql, QString *output)
{
    return runTool(binaryFolder() + QStringLiteral("/psql"),
        {QStringLiteral("-X"), QStringLiteral("-q"), QStringLiteral("-A"), QStringLiteral("-t"),
            QStringLiteral("-v"), QStringLiteral("ON_ERROR_STOP=1"), QStringLiteral("-h"),
            socketFolder(), QStringLiteral("-U"), QStringLiteral("postgres"), QStringLiteral("-d"),
            database, QStringLiteral("-c"), sql},
        output);
}

QString PostgresServer::createDatabase(const QString &hint)
{
    QString name = hint.toLower();
    name.replace(QRegularExpression(QStringLiteral("[^a-z0-9]+")), QStringLiteral("_"));
    name = QStringLiteral("t%1_%2").arg(++m_databases).arg(name.left(40));
    if (!runSql(QStringLiteral("postgres"), QStringLiteral("CREATE DATABASE %1").arg(name)))
        return {};
    return name;
}

QString PostgresServer::url(const QString &database, const QString &user) const
{
    return QStringLiteral("postgresql://%1@/%2?host=%3").arg(user, database, socketFolder());
}
