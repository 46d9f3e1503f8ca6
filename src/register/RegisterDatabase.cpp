#include "RegisterDatabase.h"

#include "PostgresEngine.h"
#include "SqliteEngine.h"

#include <QAtomicInt>

namespace {
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
    , m_engine(EngineFor(location.engine))
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
    return m_engine.open(*this, access);
}

Result RegisterDatabase::keepWriteAheadLog()
{
    return m_engine.keepWriteAheadLog(*this);
}

Result RegisterDatabase::prepareLargeWrite()
{
    return m_engine.prepareLargeWrite(*this);
}

QStringList RegisterDatabase::tables()
{
    return m_engine.tables(*this);
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
    return m_engine.beginWrite(*this);
}

Result RegisterDatabase::beginRead()
{
    return begin(m_engine.beginRead());
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
    return run(query, sql, QVariantList(values));
}

Result RegisterDatabase::run(QSqlQuery &query, const QString &sql, const QVariantList &values)
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

QString RegisterDatabase::reason(const QSqlError &error, Result::Failure &kind) const
{
    kind = Result::Failed;
    const QString words = driverWords(error);
    const QString seconds = QString::number(m_options.waitMilliseconds / 1000.0);
    const QString locked = QStringLiteral(
        "is in use by another command, which held it for longer than the %1 s this one waits "
        "(%2); try again when it has finished")
                               .arg(seconds, words);
    return m_engine.reason(error, words, locked, kind);
}

const RegisterEngine &EngineFor(RegisterLocation::Engine engine)
{
    static const SqliteEngine sqlite;
    static const PostgresEngine postgres;
    switch (engine) {
    case RegisterLocation::Engine::SQLite:
        break;
    case RegisterLocation::Engine::PostgreSQL:
        return postgres;
    }
    return sqlite;
}
