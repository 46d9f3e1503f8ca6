#include "Register.h"

#include "RegisterPeriods.h"
#include "RegisterPrivate.h"
#include "RegisterSchema.h"

#include <QSet>

#include <algorithm>

// --- Opening --------------------------------------------------------------------------------

Register::Register(std::unique_ptr<Private> d)
    : d(std::move(d))
{ }

Register::~Register() = default;

const RegisterLocation &Register::location() const
{
    return d->db.location();
}

Result Register::Private::damaged(const QString &what) const
{
    return Result(
        Result::Invalid, QStringLiteral("The register \"%1\" is damaged: %2.").arg(name(), what));
}

namespace {
Result readVersion(RegisterDatabase &db, int &version)
{
    QSqlQuery query;
    if (Result read = db.run(query, QStringLiteral("SELECT version FROM schema_version"));
        !read.ok())
        return read;
    if (!query.next())
        return Result(Result::Invalid,
            QStringLiteral("The register \"%1\" is damaged: its schema_version table is empty.")
                .arg(db.location().text));
    bool ok = false;
    version = query.value(0).toInt(&ok);
    if (!ok || version < 1 || query.next())
        return Result(Result::Invalid,
            QStringLiteral("The register \"%1\" is damaged: its schema_version table does not "
                           "hold one version.")
                .arg(db.location().text));
    return {};
}

Result refuseNewer(const RegisterDatabase &db, int version)
{
    return Result(Result::Invalid,
        QStringLiteral("The register \"%1\" has schema version %2, newer than version %3 that "
                       "this program knows: a newer version of the program made or upgraded it. "
                       "Use that version, or export the register with it and import the export "
                       "here. Nothing was changed.")
            .arg(db.location().text, QString::number(version),
                QString::number(RegisterSchemaVersion)));
}
} // namespace

namespace {
// A register with a schema: refused when newer, upgraded in one transaction when older.
Result openExisting(RegisterDatabase &db, std::optional<int> &upgradedFrom,
    const std::function<Result(int from)> &derive)
{
    int version = 0;
    if (Result read = readVersion(db, version); !read.ok())
        return read;
    if (version > RegisterSchemaVersion)
        return refuseNewer(db, version);
    if (Result logged = db.keepWriteAheadLog(); !logged.ok())
        return logged;
    if (version >= RegisterSchemaVersion)
        return {};
    // Under the writer's lock the version is read again: another command may have upgraded it
    // meanwhile.
    if (Result begun = db.beginWrite(); !begun.ok())
        return Result(begun.failure(),
            begun.message()
                + QStringLiteral(" It has schema version %1 and must be upgraded to "
                                 "version %2 before use.")
                      .arg(version)
                      .arg(RegisterSchemaVersion));
    TransactionGuard guard(db);
    if (Result read = readVersion(db, version); !read.ok())
        return read;
    if (version < RegisterSchemaVersion) {
        Result upgraded = UpgradeSchema(db, version);
        if (upgraded.ok())
            upgraded = derive(version);
        if (!upgraded.ok())
            return Result(upgraded.failure(),
                upgraded.message()
                    + QStringLiteral(" The upgrade from schema version %1 was not made; "
                                     "the register is as it was.")
                          .arg(version));
        upgradedFrom = version;
    }
    return guard.commit();
}

// An empty database: the schema made in it, unless another command made it meanwhile.
Result makeSchema(RegisterDatabase &db, const RegisterLocation &location)
{
    if (Result logged = db.keepWriteAheadLog(); !logged.ok())
        return logged;
    if (Result begun = db.beginWrite(); !begun.ok())
        return begun;
    TransactionGuard guard(db);
    // Another command may have made it while this one waited for the lock.
    const QStringList tables = db.tables();
    if (tables.isEmpty()) {
        if (Result made = CreateSchema(db); !made.ok())
            return made;
    } else if (!tables.contains(QLatin1String("schema_version"))) {
        return Result(Result::Invalid,
            QStringLiteral("The register \"%1\" is not a register: its database holds other "
                           "tables (%2).")
                .arg(location.text, tables.join(QStringLiteral(", "))));
    }
    if (Result committed = guard.commit(); !committed.ok())
        return committed;
    int version = 0;
    if (Result read = readVersion(db, version); !read.ok())
        return read;
    if (version != RegisterSchemaVersion)
        return version > RegisterSchemaVersion
            ? refuseNewer(db, version)
            : Result(Result::Invalid,
                QStringLiteral("The register \"%1\" was just made with schema version "
                               "%2 by an older program; open it again to upgrade it.")
                    .arg(location.text, QString::number(version)));
    return {};
}
} // namespace

OpenedRegister Register::open(
    const RegisterLocation &location, Access access, const RegisterOptions &options)
{
    OpenedRegister opened;
    auto d = std::make_unique<Private>(location, options);
    RegisterDatabase &db = d->db;
    if (Result connected = db.open(access); !connected.ok())
        return failed<OpenedRegister>(connected);

    const QStringList tables = db.tables();
    if (tables.contains(QLatin1String("schema_version"))) {
        // What a newer schema keeps beside the read-outs is derived from them in the upgrade.
        Private &p = *d;
        const auto derive = [&p](int from) { return from < 4 ? p.rebuildAllUsage() : Result(); };
        if (Result existing = openExisting(db, opened.upgradedFrom, derive); !existing.ok())
            return failed<OpenedRegister>(existing);
    } else if (tables.isEmpty()) {
        if (access == Access::Read)
            return failed<OpenedRegister>(Result(Result::Invalid,
                QStringLiteral("The register \"%1\" holds no register yet: the first change "
                               "makes it.")
                    .arg(location.text)));
        if (Result made = makeSchema(db, location); !made.ok())
            return failed<OpenedRegister>(made);
    } else {
        return failed<OpenedRegister>(Result(Result::Invalid,
            QStringLiteral("The register \"%1\" is not a register: its database holds other "
                           "tables (%2) and no schema_version.")
                .arg(location.text, tables.join(QStringLiteral(", ")))));
    }
    opened.reg.reset(new Register(std::move(d)));
    return opened;
}
