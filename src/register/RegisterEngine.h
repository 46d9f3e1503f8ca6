#pragma once

#include "RegisterLocation.h"
#include "RegisterTypes.h"

#include <QSqlError>
#include <QString>
#include <QStringList>

class RegisterDatabase;

// What differs between the engines a register lives on (internal to the register library):
// connecting, the write lock, the catalogue, and the words of an error. Every other statement is
// one text for all engines. One subclass a file; a new engine is one more file, one more entry
// in EngineFor() and one more fixture in the tests.
class RegisterEngine
{
public:
    virtual ~RegisterEngine() = default;

    // Connects `db`'s connection and sets it up (busy or lock timeout). Nothing is written: the
    // file may be another program's.
    virtual Result open(RegisterDatabase &db, RegisterAccess access) const = 0;
    // Switches a register known to be one (or being made one) to its durable journal mode,
    // outside any transaction; nothing where the engine has no such choice.
    virtual Result keepWriteAheadLog(RegisterDatabase &) const { return {}; }
    // Sets the connection up for a write of many rows (a larger page cache); results unchanged.
    virtual Result prepareLargeWrite(RegisterDatabase &) const { return {}; }
    // The register's tables that exist, lower case.
    virtual QStringList tables(RegisterDatabase &db) const = 0;
    // Begins a transaction that holds the register for this connection alone until its end.
    virtual Result beginWrite(RegisterDatabase &db) const = 0;
    // The statement that begins one consistent read-only view.
    virtual QString beginRead() const = 0;
    // The reason of a failed statement, starting with a verb ("is not an SQLite database"),
    // and its kind; `locked` is the words for a register another command holds.
    virtual QString reason(const QSqlError &error, const QString &words, const QString &locked,
        Result::Failure &kind) const = 0;
};

const RegisterEngine &EngineFor(RegisterLocation::Engine engine);
