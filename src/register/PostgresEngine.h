#pragma once

#include "RegisterEngine.h"

// A register on PostgreSQL.
class PostgresEngine final : public RegisterEngine
{
public:
    Result open(RegisterDatabase &db, RegisterAccess access) const override;
    QStringList tables(RegisterDatabase &db) const override;
    Result beginWrite(RegisterDatabase &db) const override;
    QString beginRead() const override;
    QString reason(const QSqlError &error, const QString &words, const QString &locked,
        Result::Failure &kind) const override;
};
