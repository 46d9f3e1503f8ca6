#include "SqliteEngine.h"
#include "RegisterDatabase.h"
#include "RegisterEngine.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include <unistd.h>

Result SqliteEngine::open(RegisterDatabase &db, RegisterAccess access) const
{
    const RegisterLocation &location = db.location();
    const QString &path = location.path;
    const QFileInfo file(path);
    if (file.exists() && !file.isFile())
        return Result(Result::CannotOpen,
            QStringLiteral("The register \"%1\" is not a file.").arg(location.text));
    if (!file.exists()) {
        if (access == RegisterAccess::Read)
            return Result(Result::Invalid,
                QStringLiteral("There is no register \"%1\" yet: the first change makes it.")
                    .arg(location.text));
        // Only the default place is made on first use; a folder the user named must be there,
        // so that a mistyped path does not leave a register somewhere unexpected.
        if (!file.dir().exists()) {
            if (QFileInfo(path).absoluteFilePath()
                    != QFileInfo(DefaultRegisterPath()).absoluteFilePath()
                || !QDir().mkpath(file.absolutePath()))
                return Result(Result::CannotOpen,
                    QStringLiteral("The register \"%1\" cannot be made: there is no folder \"%2\".")
                        .arg(location.text, file.absolutePath()));
        }
    }
    // A file this user may not write is read only, so that looking at it still works.
    db.setReadOnly(file.exists() && ::access(QFile::encodeName(path).constData(), W_OK) != 0
        && access == RegisterAccess::Read);

    QSqlDatabase connection
        = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), db.connectionName());
    if (!connection.isValid())
        return Result(Result::CannotOpen,
            QStringLiteral("The register \"%1\" cannot be opened: the Qt SQLite driver "
                           "(libqt6sql6-sqlite) is not installed.")
                .arg(location.text));
    connection.setDatabaseName(path);
    QString options = QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(db.options().waitMilliseconds);
    if (db.readOnly())
        options += QStringLiteral(";QSQLITE_OPEN_READONLY");
    connection.setConnectOptions(options);
    if (!connection.open())
        return db.failure(connection.lastError());

    // Reading the header tells a database from any other file before anything is written.
    Result read = db.run(QStringLiteral("SELECT COUNT(*) FROM sqlite_master"));
    if (!read.ok() && db.readOnly()) {
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
                    .arg(location.text, log.filePath(), file.absolutePath()));
        connection.close();
        connection.setDatabaseName(QStringLiteral("file:")
            + QString::fromLatin1(QUrl::toPercentEncoding(QFileInfo(path).absoluteFilePath(), "/"))
            + QStringLiteral("?immutable=1"));
        connection.setConnectOptions(options + QStringLiteral(";QSQLITE_OPEN_URI"));
        if (!connection.open())
            return db.failure(connection.lastError());
        read = db.run(QStringLiteral("SELECT COUNT(*) FROM sqlite_master"));
    }
    if (!read.ok())
        return read;
    return db.run(QStringLiteral("PRAGMA foreign_keys = ON"));
}

Result SqliteEngine::keepWriteAheadLog(RegisterDatabase &db) const
{
    const RegisterLocation &location = db.location();
    if (db.readOnly())
        return {};
    // Readers never wait for the writer and a killed writer leaves nothing half-done. Only a
    // file known to be a register is switched: the switch rewrites the file's header.
    QSqlQuery query;
    if (Result mode = db.run(query, QStringLiteral("PRAGMA journal_mode = WAL")); !mode.ok())
        return mode;
    if (!query.next()
        || query.value(0).toString().compare(QLatin1String("wal"), Qt::CaseInsensitive) != 0)
        return Result(Result::Failed,
            QStringLiteral("The register \"%1\" cannot keep a write-ahead log (journal mode "
                           "\"%2\"): is it on a network file system?")
                .arg(location.text, query.value(0).toString()));
    return {};
}

Result SqliteEngine::prepareLargeWrite(RegisterDatabase &db) const
{
    // The default 2 MB page cache spills the words index to the file page by page as a large
    // file goes in; a larger cache for this connection only changes when pages are written,
    // not the commit's durability. The statement journal of the many-row inserts is kept in
    // memory too: it only undoes a failed statement, and the transaction is undone whole on
    // failure anyway.
    if (Result cached = db.run(QStringLiteral("PRAGMA cache_size = -65536")); !cached.ok())
        return cached;
    return db.run(QStringLiteral("PRAGMA temp_store = MEMORY"));
}

QStringList SqliteEngine::tables(RegisterDatabase &db) const
{
    QStringList names;
    for (const QString &name : db.database().tables(QSql::Tables))
        names << name.toLower();
    return names;
}

Result SqliteEngine::beginWrite(RegisterDatabase &db) const
{
    return db.begin(QStringLiteral("BEGIN IMMEDIATE"));
}

QString SqliteEngine::beginRead() const
{
    return QStringLiteral("BEGIN");
}

// By the primary result code.
QString SqliteEngine::reason(const QSqlError &error, const QString &words, const QString &locked,
    Result::Failure &kind) const
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
