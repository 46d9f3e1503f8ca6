#pragma once

#include <QByteArray>
#include <QJsonValue>
#include <QString>

class QIODevice;

// A JSON document read from a device a piece at a time (internal to the register library): the
// outer objects and arrays are walked token by token, and each value inside them is handed over
// whole, so that a document of any length is read without holding it. Once a call has failed,
// error() says why and where, and every later call fails.
class JsonStream
{
public:
    explicit JsonStream(QIODevice &in);

    // The next character that is not white space, not taken; 0 at the end or after a failure.
    char peek();
    // Takes `expected` as the next character that is not white space.
    bool take(char expected);
    // One whole value, parsed: a string, number, literal, or an object or array (read whole).
    bool value(QJsonValue &out);
    // A member's key and its colon.
    bool key(QString &out);
    // After a member or element: true and the separator taken when another follows, false when
    // `close` ends the container (taken) or on a failure (failed() says which).
    bool more(char close);
    // Nothing but white space is left.
    bool atEnd();

    bool failed() const { return !m_error.isEmpty(); }
    const QString &error() const { return m_error; }
    bool fail(const QString &what); // "… at byte N"; false

private:
    bool fill(); // more bytes into the buffer; false at the end or on a read error
    bool raw(QByteArray &out); // the text of one whole value

    QIODevice &m_in;
    QByteArray m_buffer;
    qsizetype m_at = 0; // in m_buffer
    qint64 m_consumed = 0; // bytes before m_buffer's start
    QString m_error;
};
