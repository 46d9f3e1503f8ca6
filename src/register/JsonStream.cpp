#include "JsonStream.h"

#include <QIODevice>
#include <QJsonArray>
#include <QJsonDocument>

namespace {
constexpr qint64 ChunkBytes = 256 * 1024;
// A value held whole (one type, aircraft or read-out) is small; one larger is no export's.
constexpr qsizetype MaxValueBytes = 16 * 1024 * 1024;

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}
} // namespace

JsonStream::JsonStream(QIODevice &in)
    : m_in(in)
{ }

bool JsonStream::fail(const QString &what)
{
    if (m_error.isEmpty())
        m_error = QStringLiteral("%1 at byte %2").arg(what).arg(m_consumed + m_at);
    return false;
}

bool JsonStream::fill()
{
    if (failed())
        return false;
    // What is taken already is let go first, so that the buffer holds one chunk and the value
    // being read.
    m_buffer.remove(0, m_at);
    m_consumed += m_at;
    m_at = 0;
    const qsizetype had = m_buffer.size();
    m_buffer.resize(had + ChunkBytes);
    const qint64 got = m_in.read(m_buffer.data() + had, ChunkBytes);
    m_buffer.resize(had + std::max<qint64>(got, 0));
    if (got < 0) {
        m_at = m_buffer.size();
        return fail(QStringLiteral("cannot be read (%1)").arg(m_in.errorString()));
    }
    return got > 0;
}

char JsonStream::peek()
{
    for (;;) {
        while (m_at < m_buffer.size() && isSpace(m_buffer.at(m_at)))
            ++m_at;
        if (m_at < m_buffer.size())
            return failed() ? 0 : m_buffer.at(m_at);
        if (!fill())
            return 0;
    }
}

bool JsonStream::take(char expected)
{
    const char c = peek();
    if (c == expected) {
        ++m_at;
        return true;
    }
    if (failed())
        return false;
    return fail(c ? QStringLiteral("'%1' where '%2' belongs")
                        .arg(QChar::fromLatin1(c))
                        .arg(QChar::fromLatin1(expected))
                  : QStringLiteral("the end where '%1' belongs").arg(QLatin1Char(expected)));
}

bool JsonStream::raw(QByteArray &out)
{
    const char first = peek();
    if (!first)
        return failed() ? false : fail(QStringLiteral("the end where a value belongs"));
    // m_at stays at the value's first byte until it is taken, so that a fill keeps all of it.
    int depth = 0;
    bool inString = false;
    bool escaped = false;
    qsizetype at = m_at;
    for (;;) {
        if (at == m_buffer.size()) {
            if (at - m_at > MaxValueBytes)
                return fail(QStringLiteral("a value longer than %1 bytes").arg(MaxValueBytes));
            const qsizetype offset = at - m_at;
            if (!fill()) {
                at = m_at + offset;
                if (failed())
                    return false;
                // A number or literal may end with the document.
                if (depth == 0 && !inString && first != '"')
                    break;
                m_at = at;
                return fail(QStringLiteral("the end inside a value"));
            }
            at = m_at + offset;
            continue;
        }
        const char c = m_buffer.at(at);
        if (inString) {
            if (escaped)
                escaped = false;
            else if (c == '\\')
                escaped = true;
            else if (c == '"') {
                inString = false;
                if (depth == 0) {
                    ++at;
                    break;
                }
            }
        } else if (c == '"') {
            inString = true;
        } else if (c == '{' || c == '[') {
            ++depth;
        } else if (c == '}' || c == ']') {
            if (depth == 0)
                break;
            if (--depth == 0) {
                ++at;
                break;
            }
        } else if (depth == 0 && (c == ',' || c == ':' || isSpace(c))) {
            break;
        }
        ++at;
    }
    out = m_buffer.mid(m_at, at - m_at);
    m_at = at;
    return true;
}

bool JsonStream::value(QJsonValue &out)
{
    const qint64 start = m_consumed + m_at;
    QByteArray text;
    if (!raw(text))
        return false;
    // Wrapped in an array, so that Qt's parser takes a scalar too.
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson('[' + text + ']', &error);
    if (error.error != QJsonParseError::NoError || document.array().size() != 1) {
        m_error
            = QStringLiteral("%1 at byte %2")
                  .arg(error.error != QJsonParseError::NoError ? error.errorString()
                                                               : QStringLiteral("not one value"))
                  .arg(start + std::max(error.offset - 1, 0));
        return false;
    }
    out = document.array().first();
    return true;
}

bool JsonStream::key(QString &out)
{
    if (peek() != '"')
        return failed() ? false : fail(QStringLiteral("no key where a key belongs"));
    QJsonValue name;
    if (!value(name))
        return false;
    out = name.toString();
    return take(':');
}

bool JsonStream::more(char close)
{
    const char c = peek();
    if (c == ',' || c == close) {
        ++m_at;
        return c == ',';
    }
    if (!failed())
        fail(c ? QStringLiteral("'%1' where ',' or '%2' belongs")
                     .arg(QChar::fromLatin1(c))
                     .arg(QChar::fromLatin1(close))
               : QStringLiteral("the end where '%1' belongs").arg(QLatin1Char(close)));
    return false;
}

bool JsonStream::atEnd()
{
    if (peek() == 0)
        return !failed();
    return fail(QStringLiteral("more after the end of the document"));
}
