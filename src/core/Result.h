#pragma once

#include <QString>

// What an operation that can fail gives back: success, or a failure of some kind with the
// message the user is shown. The core returns these and shows nothing; the windows turn a
// failure into a box.
class Result
{
public:
    enum Failure {
        None,
        CannotOpen, // the input could not be opened: a missing file, a busy port
        Invalid, // the input was read but is not what it must be: a malformed record
        Failed, // anything else: a write, a copy, a device that would not take a byte
        Cancelled, // stopped on request: the user's Cancel, or the program ending
    };

    Result() = default; // success
    Result(Failure failure, const QString &message)
        : m_failure(failure)
        , m_message(message)
    { }

    void setFailure(Failure failure, const QString &message)
    {
        m_failure = failure;
        m_message = message;
    }

    bool ok() const { return m_failure == None; }
    Failure failure() const { return m_failure; }
    const QString &message() const { return m_message; }

private:
    Failure m_failure = None;
    QString m_message;
};

// A failure of one kind of result as a failure of another, with its message.
template<class Outcome> Outcome failed(const Result &result)
{
    Outcome outcome;
    outcome.setFailure(result.failure(), result.message());
    return outcome;
}
