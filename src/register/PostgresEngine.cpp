#include "PostgresEngine.h"
#include "RegisterDatabase.h"

namespace {
// Every writer takes this lock first on PostgreSQL, where there is no lock of the whole database
// that both engines know; SQLite's BEGIN IMMEDIATE does the same there.
constexpr qint64 WriterLockKey = 0x7a656d7261726567; // "zemrareg"
} // namespace

Result PostgresEngine::open(RegisterDatabase &db, RegisterAccess) const
{
    const RegisterLocation &location = db.location();
    QSqlDatabase connection
        = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), db.connectionName());
    if (!connection.isValid())
        return Result(Result::CannotOpen,
            QStringLiteral("The register \"%1\" cannot be opened: the Qt PostgreSQL driver "
                           "(libqt6sql6-psql) is not installed.")
                .arg(location.text));
    connection.setDatabaseName(location.database);
    if (!location.host.isEmpty())
        connection.setHostName(location.host);
    if (location.port > 0)
        connection.setPort(location.port);
    if (!location.user.isEmpty())
        connection.setUserName(location.user);
    QStringList options;
    if (!location.sslMode.isEmpty())
        options << QStringLiteral("sslmode=%1").arg(location.sslMode);
    if (location.connectTimeout > 0)
        options << QStringLiteral("connect_timeout=%1").arg(location.connectTimeout);
    connection.setConnectOptions(options.join(QLatin1Char(';')));
    if (!connection.open())
        return db.failure(connection.lastError());
    if (Result set = db.run(QStringLiteral("SELECT set_config('lock_timeout', ?, false), "
                                           "set_config('client_min_messages', 'warning', false)"),
            {QString::number(db.options().waitMilliseconds)});
        !set.ok())
        return set;
    return {};
}

QStringList PostgresEngine::tables(RegisterDatabase &db) const
{
    QStringList names;
    QSqlQuery query(db.database());
    if (db.run(query,
              QStringLiteral("SELECT table_name FROM information_schema.tables "
                             "WHERE table_schema = current_schema()"))
            .ok()) {
        while (query.next())
            names << query.value(0).toString().toLower();
    }
    return names;
}

Result PostgresEngine::beginWrite(RegisterDatabase &db) const
{
    if (Result begun = db.begin(QStringLiteral("BEGIN")); !begun.ok())
        return begun;
    return db.run(QStringLiteral("SELECT pg_advisory_xact_lock(?)"), {WriterLockKey});
}

QString PostgresEngine::beginRead() const
{
    return QStringLiteral("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY");
}

// By the SQLSTATE or, without one, the text.
QString PostgresEngine::reason(const QSqlError &error, const QString &words, const QString &locked,
    Result::Failure &kind) const
{
    const QString state = error.nativeErrorCode();
    const auto has = [&words](const char *text) {
        return words.contains(QLatin1String(text), Qt::CaseInsensitive);
    };
    if (state == QLatin1String("55P03") || has("lock timeout"))
        return locked;
    // What keeps the register from being reached at all.
    kind = Result::CannotOpen;
    if (state == QLatin1String("3D000") || (has("database") && has("does not exist")))
        return QStringLiteral("cannot be opened: the server has no such database (%1)").arg(words);
    if (state == QLatin1String("28P01") || has("password authentication failed"))
        return QStringLiteral("cannot be opened: the server refused the password, which comes "
                              "from PGPASSWORD or ~/.pgpass (%1)")
            .arg(words);
    if (has("no password supplied") || has("fe_sendauth"))
        return QStringLiteral("cannot be opened: the server wants a password; give it in "
                              "PGPASSWORD or ~/.pgpass (%1)")
            .arg(words);
    if (state.startsWith(QLatin1String("28")) || (has("role") && has("does not exist")))
        return QStringLiteral("cannot be opened: the server does not let this user in (%1)")
            .arg(words);
    kind = error.type() == QSqlError::ConnectionError ? Result::CannotOpen : Result::Failed;
    if (state == QLatin1String("25006"))
        return QStringLiteral("takes no changes: the server is read-only (%1)").arg(words);
    if (state == QLatin1String("42501"))
        return QStringLiteral("may not be changed by this user (%1)").arg(words);
    if (state.startsWith(QLatin1String("53")))
        return QStringLiteral("cannot be written: the server is out of disk or memory (%1)")
            .arg(words);
    if (state.startsWith(QLatin1String("08")) || state.startsWith(QLatin1String("57P"))
        || has("could not connect") || has("connection to server") || has("connection refused")
        || has("no such file or directory") || has("server closed the connection")
        || has("could not translate host name") || has("timeout expired")) {
        kind = Result::CannotOpen;
        return QStringLiteral("cannot be reached: no PostgreSQL server answers there, or it "
                              "stopped (%1)")
            .arg(words);
    }
    return QStringLiteral("gave an error (%1)").arg(words);
}
