#pragma once

#include "RegisterEngine.h"

// A register on SQLite.
class SqliteEngine final : public RegisterEngine
{
public:
    Result open(RegisterDatabase &db, RegisterAccess access) const override;
    // The write-ahead log: readers never wait for the writer, a killed writer leaves nothing
    // half-done.
    Result keepWriteAheadLog(RegisterDatabase &db) const override;
    Result prepareLargeWrite(RegisterDatabase &db) const override;
    QStringList tables(RegisterDatabase &db) const override;
    Result beginWrite(RegisterDatabase &db) const override;
    QString beginRead() const override;
    QString reason(const QSqlError &error, const QString &words, const QString &locked,
        Result::Failure &kind) const override;
};
