#include "RegisterDatabase.h"

#include <QAtomicInt>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include <unistd.h>

namespace {
// Every writer takes this lock first on PostgreSQL, where there is no lock of the whole database
// that both engines know; SQLite's BEGIN IMMEDIATE does the same there.
constexpr qint64 WriterLockKey = 0x7a656d7261726567; // "zemrareg"

QString nextConnectionName()
{
    static QAtomicInt counter;
    return QStringLiteral("zemra-register-%1").arg(counter.fetchAndAddRelaxed(1));
}

QString driverWords(const QSqlError &error)
{
    QString words = error.databaseText();
    // PostgreSQL quotes the statement under its message; the message is what matters.
    if (const qsizetype at = words.indexOf(QLatin1String("\nLINE ")); at >= 0)
        words.truncate(at);
    words = words.simplified();
    if (words.isEmpty())
        words = error.driverText().simplified();
    while (words.endsWith(QLatin1Char('.')))
        words.chop(1);
    return words;
}
} // namespace

RegisterDatabase::RegisterDatabase(const RegisterLocation &location, const RegisterOptions &options)
    : m_location(location)
    , m_options(options)
    , m_connection(nextConnectionName())
{ }

RegisterDatabase::~RegisterDatabase()
{
    {
        QSqlDatabase connection = QSqlDatabase::database(m_connection, false);
        if (connection.isValid())
            connection.close();
    }
    QSqlDatabase::removeDatabase(m_connection);
}

QSqlDatabase RegisterDatabase::database() const
{
    return QSqlDatabase::database(m_connection, false);
}

Result RegisterDatabase::open(RegisterAccess access)
{
    return isSQLite() ? openSQLite(access) : openPostgreSQL();
}

Result RegisterDatabase::openSQLite(RegisterAccess access)
{
    const QString &path = m_location.path;
    const QFileInfo file(path);
    if (file.exists() && !file.isFile())
        return Result(Result::CannotOpen,
            QStringLiteral("The register \"%1\" is not a file.").arg(m_location.text));
    if (!file.exists()) {
        if (access == RegisterAccess::Read)
            return Result(Result::Invalid,
                QStringLiteral("There is no register \"%1\" yet: the first change makes it.")
                    .arg(m_location.text));
        // Only the default place is made on first use; a folder the user named must be there,
        // so that a mistyped path does not leave a register somewhere unexpected.
        if (!file.dir().exists()) {
            if (QFileInfo(path).absoluteFilePath()
                    != QFileInfo(DefaultRegisterPath()).absoluteFilePath()
                || !QDir().mkpath(file.absolutePath()))
                return Result(Result::CannotOpen,
                    QStringLiteral("The register \"%1\" cannot be made: there is no folder \"%2\".")
                        .arg(m_location.text, file.absolutePath()));
        }
    }
    // A file this user may not write is read only, so that looking at it still works.
    m_readOnly = file.exists() && ::access(QFile::encodeName(path).constData(), W_OK) != 0
        && access == RegisterAccess::Read;

    QSqlDatabase connection = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    if (!connection.isValid())
        return Result(Result::CannotOpen,
            QStringLiteral("The register \"%1\" cannot be opened: the Qt SQLite driver "
                           "(libqt6sql6-sqlite) is not installed.")
                .arg(m_location.text));
    connection.setDatabaseName(path);
    QString options = QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(m_options.waitMilliseconds);
    if (m_readOnly)
        options += QStringLiteral(";QSQLITE_OPEN_READONLY");
    connection.setConnectOptions(options);
    if (!connection.open())
        return failure(connection.lastError());

    // Reading the header tells a database from any other file before anything is written.
    Result read = run(QStringLiteral("SELECT COUNT(*) FROM sqlite_master"));
    if (!read.ok() && m_readOnly) {
        // A write-ahead log needs its index file beside the register, which this user cannot
        // make; with no log there, no command is writing the register, and it is read as it is.
        // A log left by a killed writer holds committed changes that only a user who may write
        // the folder can apply: reading past it would show the register without them.
        if (const QFileInfo log(path + QStringLiteral("-wal")); log.exists() && log.size() > 0)
            return Result(Result::Failed,
                QStringLiteral("The register \"%1\" cannot be read: its write-ahead log \"%2\" "
                               "holds changes that this user cannot apply, as it may not write "
                               "the folder \"%3\". Run any register command on it once as a "
                               "user who may write that folder.")
                    .arg(m_location.text, log.filePath(), file.absolutePath()));
        connection.close();
        connection.setDatabaseName(QStringLiteral("file:")
            + QString::fromLatin1(QUrl::toPercentEncoding(QFileInfo(path).absoluteFilePath(), "/"))
            + QStringLiteral("?immutable=1"));
        connection.setConnectOptions(options + QStringLiteral(";QSQLITE_OPEN_URI"));
        if (!connection.open())
            return failure(connection.lastError());
        read = run(QStringLiteral("SELECT COUNT(*) FROM sqlite_master"));
    }
    if (!read.ok())
        return read;
    return run(QStringLiteral("PRAGMA foreign_keys = ON"));
}

Result RegisterDatabase::keepWriteAheadLog()
{
    if (!isSQLite() || m_readOnly)
        return {};
    // Readers never wait for the writer and a killed writer leaves nothing half-done. Only a
    // file known to be a register is switched: the switch rewrites the file's header.
    QSqlQuery query;
    if (Result mode = run(query, QStringLiteral("PRAGMA journal_mode = WAL")); !mode.ok())
        return mode;
    if (!query.next()
        || query.value(0).toString().compare(QLatin1String("wal"), Qt::CaseInsensitive) != 0)
        return Result(Result::Failed,
            QStringLiteral("The register \"%1\" cannot keep a write-ahead log (journal mode "
                           "\"%2\"): is it on a network file system?")
                .arg(m_location.text, query.value(0).toString()));
    return {};
}

Result RegisterDatabase::openPostgreSQL()
{
    QSqlDatabase connection = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), m_connection);
    if (!connection.isValid())
        return Result(Result::CannotOpen,
            QStringLiteral("The register \"%1\" cannot be opened: the Qt PostgreSQL driver "
                           "(libqt6sql6-psql) is not installed.")
                .arg(m_location.text));
    connection.setDatabaseName(m_location.database);
    if (!m_location.host.isEmpty())
        connection.setHostName(m_location.host);
    if (m_location.port > 0)
        connection.setPort(m_location.port);
    if (!m_location.user.isEmpty())
        connection.setUserName(m_location.user);
    QStringList options;
    if (!m_location.sslMode.isEmpty())
        options << QStringLiteral("sslmode=%1").arg(m_location.sslMode);
    if (m_location.connectTimeout > 0)
        options << QStringLiteral("connect_timeout=%1").arg(m_location.connectTimeout);
    connection.setConnectOptions(options.join(QLatin1Char(';')));
    if (!connection.open())
        return failure(connection.lastError());
    if (Result set = run(QStringLiteral("SELECT set_config('lock_timeout', ?, false), "
                                        "set_config('client_min_messages', 'warning', false)"),
            {QString::number(m_options.waitMilliseconds)});
        !set.ok())
        return set;
    return {};
}

QStringList RegisterDatabase::tables()
{
    QStringList names;
    if (isSQLite()) {
        for (const QString &name : database().tables(QSql::Tables))
            names << name.toLower();
        return names;
    }
    QSqlQuery query(database());
    if (run(query,
            QStringLiteral("SELECT table_name FROM information_schema.tables "
                           "WHERE table_schema = current_schema()"))
            .ok()) {
        while (query.next())
            names << query.value(0).toString().toLower();
    }
    return names;
}

Result RegisterDatabase::begin(const QString &statement)
{
    if (Result begun = run(statement); !begun.ok())
        return begun;
    m_inTransaction = true;
    return {};
}

Result RegisterDatabase::beginWrite()
{
    if (m_readOnly)
        return Result(Result::Failed,
            QStringLiteral("The register \"%1\" is read-only: this user may not write the file.")
                .arg(m_location.text));
    if (isSQLite())
        return begin(QStringLiteral("BEGIN IMMEDIATE"));
    if (Result begun = begin(QStringLiteral("BEGIN")); !begun.ok())
        return begun;
    return run(QStringLiteral("SELECT pg_advisory_xact_lock(?)"), {WriterLockKey});
}

Result RegisterDatabase::beginRead()
{
    return begin(isSQLite() ? QStringLiteral("BEGIN")
                            : QStringLiteral("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY"));
}

Result RegisterDatabase::commit()
{
    Result committed = run(QStringLiteral("COMMIT"));
    m_inTransaction = false;
    return committed;
}

void RegisterDatabase::rollback()
{
    if (!m_inTransaction)
        return;
    m_inTransaction = false;
    QSqlQuery query(database());
    query.exec(QStringLiteral("ROLLBACK"));
}

QSqlQuery RegisterDatabase::prepare(const QString &sql, Result &result)
{
    QSqlQuery query(database());
    query.setForwardOnly(true);
    if (!query.prepare(sql))
        result = failed(query.lastError());
    return query;
}

Result RegisterDatabase::run(
    QSqlQuery &query, const QString &sql, std::initializer_list<QVariant> values)
{
    query = QSqlQuery(database());
    query.setForwardOnly(true);
    // A statement without parameters runs as it is: PostgreSQL cannot prepare BEGIN or COMMIT.
    if (values.size() == 0) {
        if (m_options.beforeStatement)
            m_options.beforeStatement();
        if (!query.exec(sql))
            return failed(query.lastError());
        return {};
    }
    if (!query.prepare(sql))
        return failed(query.lastError());
    int position = 0;
    for (const QVariant &value : values)
        query.bindValue(position++, value);
    return execute(query);
}

Result RegisterDatabase::run(const QString &sql, std::initializer_list<QVariant> values)
{
    QSqlQuery query;
    return run(query, sql, values);
}

Result RegisterDatabase::execute(QSqlQuery &query)
{
    if (m_options.beforeStatement)
        m_options.beforeStatement();
    if (!query.exec())
        return failed(query.lastError());
    return {};
}

Result RegisterDatabase::failed(const QSqlError &error)
{
    // A failed statement ends the transaction at once, before the statements prepared in it are
    // let go: PostgreSQL refuses to free them in a transaction that failed, and Qt would say so.
    rollback();
    return failure(error);
}

Result RegisterDatabase::failure(const QSqlError &error) const
{
    Result::Failure kind = Result::Failed;
    const QString text = reason(error, kind);
    return Result(kind, QStringLiteral("The register \"%1\" %2.").arg(m_location.text, text));
}

namespace {
// An SQLite error in plain words, by its primary result code.
QString sqliteReason(
    const QSqlError &error, const QString &words, const QString &locked, Result::Failure &kind)
{
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok) & 0xff;
    if (!ok)
        return QStringLiteral("cannot be used: %1").arg(words);
    switch (code) {
    case 5: // SQLITE_BUSY
    case 6: // SQLITE_LOCKED
        return locked;
    case 8: // SQLITE_READONLY
        return QStringLiteral("is read-only: this user may not write the file or its folder (%1)")
            .arg(words);
    case 13: // SQLITE_FULL
        return QStringLiteral("cannot be written: the disk is full (%1)").arg(words);
    case 26: // SQLITE_NOTADB
        kind = Result::Invalid;
        return QStringLiteral("is not an SQLite database (%1)").arg(words);
    case 11: // SQLITE_CORRUPT
        kind = Result::Invalid;
        return QStringLiteral("is damaged (%1)").arg(words);
    case 14: // SQLITE_CANTOPEN
        kind = Result::CannotOpen;
        return QStringLiteral("cannot be opened (%1)").arg(words);
    case 10: // SQLITE_IOERR
        return QStringLiteral("cannot be read or written (%1)").arg(words);
    case 19: // SQLITE_CONSTRAINT
        return QStringLiteral("refused a change that would break its rules (%1)").arg(words);
    default:
        return QStringLiteral("gave an error (%1)").arg(words);
    }
}

// A PostgreSQL error in plain words, by its SQLSTATE or, without one, its text.
QString postgresReason(
    const QSqlError &error, const QString &words, const QString &locked, Result::Failure &kind)
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
} // namespace

QString RegisterDatabase::reason(const QSqlError &error, Result::Failure &kind) const
{
    kind = Result::Failed;
    const QString words = driverWords(error);
    const QString seconds = QString::number(m_options.waitMilliseconds / 1000.0);
    const QString locked = QStringLiteral(
        "is in use by another command, which held it for longer than the %1 s this one waits "
        "(%2); try again when it has finished")
                               .arg(seconds, words);
    return isSQLite() ? sqliteReason(error, words, locked, kind)
                      : postgresReason(error, words, locked, kind);
}
