#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// A real PostgreSQL server of the test's own: initdb into a fresh temporary folder, listening on a
// Unix socket in that folder only (no TCP port), started at construction and stopped
// (pg_ctl stop -m fast) and removed at destruction. As root it runs as the unprivileged user
// "postgres", as PostgreSQL insists; otherwise as the user running the test. It also ends with the
// test process, should the test die first.
//
// Anyone on the socket is trusted, except the role PasswordRole, which must give PasswordRoleSecret
// (so that a refused password can be tested).
class PostgresServer
{
public:
    PostgresServer();
    ~PostgresServer();
    PostgresServer(const PostgresServer &) = delete;
    PostgresServer &operator=(const PostgresServer &) = delete;

    // False when the server could not be made or started; reason() says why.
    bool ready() const { return m_reason.isEmpty(); }
    QString reason() const { return m_reason; }

    QString socketFolder() const { return m_dir.filePath(QStringLiteral("socket")); }
    // A fresh empty database, named after `hint` and a counter; empty on failure (see reason()).
    QString createDatabase(const QString &hint = QStringLiteral("register"));
    // postgresql://postgres@/DATABASE?host=SOCKETFOLDER
    QString url(const QString &database, const QString &user = QStringLiteral("postgres")) const;
    // Runs SQL through psql as the superuser; the output, or an empty string and reason() set.
    bool runSql(const QString &database, const QString &sql, QString *output = nullptr);

    static const QString PasswordRole;
    static const QString PasswordRoleSecret;

private:
    bool runTool(const QString &tool, const QStringList &arguments, QString *output = nullptr);

    QTemporaryDir m_dir;
    QString m_reason;
    QProcess m_server;
    int m_databases = 0;
};
