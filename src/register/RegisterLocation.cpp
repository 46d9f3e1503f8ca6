#include "RegisterLocation.h"

#include <QByteArray>
#include <QDir>
#include <QStringList>

namespace {
LocationResult refused(const QString &text, const QString &reason)
{
    LocationResult result;
    result.setFailure(Result::Invalid,
        QStringLiteral("The register \"%1\" is not a usable PostgreSQL URL: %2.")
            .arg(text, reason));
    return result;
}

// Percent-decoding, refused when it would not give UTF-8 text.
bool decoded(const QString &part, QString &value)
{
    const QByteArray bytes = QByteArray::fromPercentEncoding(part.toUtf8());
    value = QString::fromUtf8(bytes);
    return value.toUtf8() == bytes;
}

bool toPort(const QString &text, int &port)
{
    bool ok = false;
    port = text.toInt(&ok);
    return ok && !text.startsWith(QLatin1Char('+')) && port >= 1 && port <= 65535;
}

const QString PasswordHint = QStringLiteral(
    "a password does not belong in the URL, where the command line and the process list show "
    "it; give it in PGPASSWORD or ~/.pgpass");
} // namespace

namespace {
// What is wrong with the "user@host:port" part, or a null text.
QString authorityProblem(QString authority, RegisterLocation &location)
{
    if (const qsizetype at = authority.lastIndexOf(QLatin1Char('@')); at >= 0) {
        const QString userInfo = authority.left(at);
        authority = authority.mid(at + 1);
        if (userInfo.contains(QLatin1Char(':')))
            return PasswordHint;
        if (!decoded(userInfo, location.user))
            return QStringLiteral("the user name is not UTF-8 text");
    }
    QString portText;
    if (authority.startsWith(QLatin1Char('['))) {
        const qsizetype close = authority.indexOf(QLatin1Char(']'));
        if (close < 0)
            return QStringLiteral("an IPv6 address without its closing \"]\"");
        location.host = authority.mid(1, close - 1);
        const QString after = authority.mid(close + 1);
        if (!after.isEmpty() && !after.startsWith(QLatin1Char(':')))
            return QStringLiteral("text after the IPv6 address");
        portText = after.mid(1);
    } else {
        const qsizetype colon = authority.lastIndexOf(QLatin1Char(':'));
        QString host = colon >= 0 ? authority.left(colon) : authority;
        if (colon >= 0)
            portText = authority.mid(colon + 1);
        if (!decoded(host, location.host))
            return QStringLiteral("the host is not UTF-8 text");
    }
    if (!portText.isEmpty() && !toPort(portText, location.port))
        return QStringLiteral("the port \"%1\" is not a number from 1 to 65535").arg(portText);
    return {};
}

// What is wrong with the "?key=value&..." part, or a null text.
QString queryProblem(const QString &query, RegisterLocation &location)
{
    for (const QString &pair : query.split(QLatin1Char('&'))) {
        const qsizetype equals = pair.indexOf(QLatin1Char('='));
        QString key;
        QString value;
        if (equals < 0 || !decoded(pair.left(equals), key) || !decoded(pair.mid(equals + 1), value))
            return QStringLiteral("\"%1\" is not KEY=VALUE").arg(pair);
        if (key == QLatin1String("host")) {
            location.host = value;
        } else if (key == QLatin1String("port")) {
            if (!toPort(value, location.port))
                return QStringLiteral("the port \"%1\" is not a number from 1 to 65535").arg(value);
        } else if (key == QLatin1String("user")) {
            location.user = value;
        } else if (key == QLatin1String("sslmode")) {
            static const QStringList modes {QStringLiteral("disable"), QStringLiteral("allow"),
                QStringLiteral("prefer"), QStringLiteral("require"), QStringLiteral("verify-ca"),
                QStringLiteral("verify-full")};
            if (!modes.contains(value))
                return QStringLiteral("sslmode is one of %1, not \"%2\"")
                    .arg(modes.join(QStringLiteral(", ")), value);
            location.sslMode = value;
        } else if (key == QLatin1String("connect_timeout")) {
            bool ok = false;
            location.connectTimeout = value.toInt(&ok);
            if (!ok || location.connectTimeout < 0 || value.startsWith(QLatin1Char('+')))
                return QStringLiteral("connect_timeout is a whole number of seconds, not \"%1\"")
                    .arg(value);
        } else if (key == QLatin1String("password")) {
            return PasswordHint;
        } else {
            return QStringLiteral("the key \"%1\" is not one this program passes on (host, port, "
                                  "user, sslmode, connect_timeout)")
                .arg(key);
        }
    }
    return {};
}

} // namespace

LocationResult ParseRegisterLocation(const QString &text)
{
    LocationResult result;
    RegisterLocation &location = result.location;
    location.text = text;
    QString rest;
    for (const QLatin1String scheme :
        {QLatin1String("postgresql://"), QLatin1String("postgres://")}) {
        if (text.startsWith(scheme, Qt::CaseInsensitive))
            rest = text.mid(scheme.size());
    }
    if (rest.isNull()) {
        if (text.isEmpty()) {
            result.setFailure(
                Result::Invalid, QStringLiteral("The register's file name is empty."));
            return result;
        }
        location.engine = RegisterLocation::Engine::SQLite;
        location.path = text;
        return result;
    }

    location.engine = RegisterLocation::Engine::PostgreSQL;
    QString query;
    if (const qsizetype mark = rest.indexOf(QLatin1Char('?')); mark >= 0) {
        query = rest.mid(mark + 1);
        rest.truncate(mark);
    }
    const qsizetype slash = rest.indexOf(QLatin1Char('/'));
    if (slash < 0 || slash == rest.size() - 1)
        return refused(text, QStringLiteral("it names no database (\"…/DATABASE\" at its end)"));
    if (!decoded(rest.mid(slash + 1), location.database) || location.database.contains('/'))
        return refused(text, QStringLiteral("the database name is not one name"));
    if (const QString problem = authorityProblem(rest.left(slash), location); !problem.isNull())
        return refused(text, problem);
    if (query.isEmpty())
        return result;
    if (const QString problem = queryProblem(query, location); !problem.isNull())
        return refused(text, problem);
    return result;
}

QStringList RegisterFiles(const RegisterLocation &location)
{
    if (location.engine != RegisterLocation::Engine::SQLite)
        return {};
    const QString &path = location.path;
    return {path, path + QStringLiteral("-wal"), path + QStringLiteral("-shm"),
        path + QStringLiteral("-journal")};
}

QString DefaultRegisterPath()
{
    QString data = qEnvironmentVariable("XDG_DATA_HOME");
    if (!QDir::isAbsolutePath(data)) {
        const QString home = qEnvironmentVariable("HOME");
        if (!QDir::isAbsolutePath(home))
            return {};
        data = home + QStringLiteral("/.local/share");
    }
    return data + QStringLiteral("/zemra/register.sqlite");
}

LocationResult ChooseRegisterLocation(const std::optional<QString> &given)
{
    LocationResult result;
    if (given) {
        if (given->isEmpty()) {
            result.setFailure(Result::Invalid,
                QStringLiteral("--register is given but empty: it names no register. Name one, "
                               "or leave the option out for the default."));
            return result;
        }
        return ParseRegisterLocation(*given);
    }
    if (qEnvironmentVariableIsSet("ZEMRA_REGISTER")) {
        const QString environment = qEnvironmentVariable("ZEMRA_REGISTER");
        if (!environment.isEmpty())
            return ParseRegisterLocation(environment);
        result.setFailure(Result::CannotOpen,
            QStringLiteral("The environment variable ZEMRA_REGISTER is set but empty: it names "
                           "no register. Unset it or name a register."));
        return result;
    }
    const QString path = DefaultRegisterPath();
    if (path.isEmpty()) {
        result.setFailure(Result::CannotOpen,
            QStringLiteral("There is no default register: neither XDG_DATA_HOME nor HOME names "
                           "an absolute folder. Set HOME (or XDG_DATA_HOME to an absolute "
                           "folder), set ZEMRA_REGISTER, or give --register."));
        return result;
    }
    return ParseRegisterLocation(path);
}
