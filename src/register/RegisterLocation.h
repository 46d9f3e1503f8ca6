#pragma once

#include "Result.h"

#include <QString>
#include <QStringList>

#include <optional>

// Where a register lives: an SQLite file, or a PostgreSQL database named by a URL.
struct RegisterLocation
{
    enum class Engine { SQLite, PostgreSQL };
    Engine engine = Engine::SQLite;
    QString text; // as the user gave it (or the default path), for messages
    QString path; // SQLite: the file

    // PostgreSQL, as libpq is given it; empty (or -1, 0) for libpq's own defaults. There is no
    // password here: libpq reads PGPASSWORD or ~/.pgpass itself, so it never appears on a
    // command line or in a process listing.
    QString user;
    QString host; // a name, an address, or the folder of the server's Unix socket
    int port = -1;
    QString database;
    QString sslMode;
    int connectTimeout = 0; // seconds
};

struct LocationResult : Result
{
    RegisterLocation location;
};

// A PostgreSQL URL, "postgresql://[user@][host][:port]/database[?key=value&...]" (or
// "postgres://"), where the host may also be a percent-encoded socket folder ("%2Frun%2Fpg")
// and the keys are host (a socket folder: "?host=/run/postgresql"), port, user, sslmode and
// connect_timeout; anything that does not start with such a scheme is the path of an SQLite
// file. Refused (Invalid) with the reason: a URL with a password in it, without a database, with
// an unknown key, a port that is not 1-65535, an empty path.
LocationResult ParseRegisterLocation(const QString &text);

// The files an SQLite register is kept in (the database, its write-ahead log, shared memory and
// journal); none for PostgreSQL.
QStringList RegisterFiles(const RegisterLocation &location);

// $XDG_DATA_HOME/zemra/register.sqlite, with $HOME/.local/share for an unset, empty or relative
// XDG_DATA_HOME (which the XDG rules say to ignore); empty when neither gives an absolute folder,
// so that no register is guessed at "/.local/share" or in the current folder.
QString DefaultRegisterPath();

// The register the user means: `given` (from --register) when given, else $ZEMRA_REGISTER when
// set, else the default file. An empty --register is refused (Invalid), as an empty
// ZEMRA_REGISTER or no default file is (CannotOpen, saying which variable to set).
LocationResult ChooseRegisterLocation(const std::optional<QString> &given);
