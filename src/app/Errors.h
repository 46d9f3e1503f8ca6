#pragma once

#include <QString>

#include <stdexcept>

// The program's base error type: an error that escapes an event handler reaches the
// standard error box through ZemraApplication::notify.
class EZemraError : public std::runtime_error
{
public:
    explicit EZemraError(const QString &message)
        : std::runtime_error(message.toStdString())
    { }
    QString message() const { return QString::fromStdString(what()); }
};

// Ends a handler silently: the error box does not show it.
class EAbort : public EZemraError
{
public:
    EAbort()
        : EZemraError(QString())
    { }
};
