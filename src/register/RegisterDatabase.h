#pragma once

#include "RegisterEngine.h"
#include "RegisterLocation.h"
#include "RegisterTypes.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <initializer_list>

// The connection under a register (internal to the register library); what differs between
// engines is asked of its RegisterEngine, so that every other statement is one text for all.
class RegisterDatabase
{
public:
    RegisterDatabase(const RegisterLocation &location, const RegisterOptions &options);
    ~RegisterDatabase();
    RegisterDatabase(const RegisterDatabase &) = delete;
    RegisterDatabase &operator=(const RegisterDatabase &) = delete;

    // Connects and sets the connection up (the busy timeout, or the lock timeout). Nothing is
    // written: the file may be another program's.
    Result open(RegisterAccess access);
    // Switches a register known to be one (or being made one) to its durable journal where the
    // engine has one (SQLite's write-ahead log), outside any transaction; nothing for a
    // read-only file.
    Result keepWriteAheadLog();
    // Before a write of many rows: what makes it faster on the engine, results unchanged.
    Result prepareLargeWrite();
    const RegisterLocation &location() const { return m_location; }
    const RegisterOptions &options() const { return m_options; }
    QSqlDatabase database() const;
    // The Qt SQL connection's name, for the engine that makes it.
    const QString &connectionName() const { return m_connection; }
    // A file this user may not write is opened read only, so that looking at it still works.
    bool readOnly() const { return m_readOnly; }
    void setReadOnly(bool readOnly) { m_readOnly = readOnly; }

    // The tables of the register's schema that exist, lower case.
    QStringList tables();

    // A write transaction: the register to this connection alone until commit() or rollback()
    // (SQLite: BEGIN IMMEDIATE; PostgreSQL: an advisory lock that every writer takes first).
    Result beginWrite();
    // A read transaction: one consistent view of the register.
    Result beginRead();
    Result commit();
    void rollback(); // nothing outside a transaction
    // Runs the statement that begins a transaction and keeps that one is open.
    Result begin(const QString &statement);

    // A prepared statement with positional (?) parameters. A statement that fails in a
    // transaction rolls it back.
    QSqlQuery prepare(const QString &sql, Result &result);
    // Prepares and runs with `values` bound in order; the query is given back to read rows.
    Result run(QSqlQuery &query, const QString &sql, std::initializer_list<QVariant> values = {});
    Result run(QSqlQuery &query, const QString &sql, const QVariantList &values);
    Result run(const QString &sql, std::initializer_list<QVariant> values = {});
    Result execute(QSqlQuery &query); // runs a query prepared and bound by the caller

    // A failed statement in plain words: 'The register "X" is in use by another command …',
    // CannotOpen when the register cannot be reached or opened, Invalid when it is not a
    // database or damaged, Failed for the rest.
    Result failure(const QSqlError &error) const;

private:
    Result failed(const QSqlError &error);
    // The reason, starting with a verb ("is not an SQLite database"), and its kind.
    QString reason(const QSqlError &error, Result::Failure &kind) const;

    RegisterLocation m_location;
    const RegisterEngine &m_engine;
    RegisterOptions m_options;
    QString m_connection;
    bool m_readOnly = false;
    bool m_inTransaction = false;
};

// Finishes a query on every way out of its scope, so that a result left half read after an
// early return holds no statement open under the next one or the rollback.
class QueryFinisher
{
public:
    explicit QueryFinisher(QSqlQuery &query)
        : m_query(query)
    { }
    ~QueryFinisher() { m_query.finish(); }
    QueryFinisher(const QueryFinisher &) = delete;
    QueryFinisher &operator=(const QueryFinisher &) = delete;

private:
    QSqlQuery &m_query;
};

// Closes a transaction with a rollback unless it was committed.
class TransactionGuard
{
public:
    explicit TransactionGuard(RegisterDatabase &database)
        : m_database(database)
    { }
    ~TransactionGuard()
    {
        if (!m_done)
            m_database.rollback();
    }
    Result commit()
    {
        m_done = true;
        return m_database.commit();
    }

private:
    RegisterDatabase &m_database;
    bool m_done = false;
};
