#include "TextFields.h"

#include <QStringDecoder>

#include <charconv>
#include <cmath>
#include <cstdio>

void AppendNumber(QByteArray &out, double value)
{
    if (!std::isfinite(value)) {
        out += "null";
        return;
    }
    char text[32];
    out.append(text, std::to_chars(text, text + sizeof text, value).ptr - text);
}

void AppendInteger(QByteArray &out, qint64 value)
{
    char text[24];
    out.append(text, std::to_chars(text, text + sizeof text, value).ptr - text);
}

QByteArray NumberText(double value)
{
    if (!std::isfinite(value))
        return QByteArrayLiteral("null");
    char text[32];
    return QByteArray(text, std::to_chars(text, text + sizeof text, value).ptr - text);
}

QByteArray NumberText(const std::optional<double> &value)
{
    return value ? NumberText(*value) : QByteArrayLiteral("null");
}

QString ShortNumber(double value)
{
    if (!std::isfinite(value))
        return QStringLiteral("–");
    return QString::number(value, 'g', 6);
}

bool IsText(const QByteArray &bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8);
    (void)decoder.decode(bytes);
    return !bytes.contains('\0') && !decoder.hasError();
}

QString EscapeControls(const QString &text, bool keepLineEnds)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const char16_t code = c.unicode();
        const bool control = code < 0x20 || (code >= 0x7f && code <= 0x9f);
        if (!control || (keepLineEnds && code == '\n'))
            out += c;
        else
            out += QStringLiteral("\\x%1").arg(int(code), 2, 16, QLatin1Char('0'));
    }
    return out;
}

QString VisibleControls(const QString &text)
{
    return EscapeControls(QString(text).replace(QLatin1Char('\\'), QStringLiteral("\\\\")), false);
}

QString MessageValue(const QString &value, qsizetype maxCharacters)
{
    if (value.size() <= maxCharacters)
        return EscapeControls(value, false);
    // Not inside a surrogate pair.
    qsizetype cut = maxCharacters;
    if (value.at(cut - 1).isHighSurrogate())
        --cut;
    return EscapeControls(value.left(cut), false)
        + QStringLiteral("… (%1 characters in all)").arg(value.size());
}

QByteArray CsvField(const QString &text)
{
    QByteArray bytes = text.toUtf8();
    if (!bytes.contains(',') && !bytes.contains('"') && !bytes.contains('\n')
        && !bytes.contains('\r'))
        return bytes;
    bytes.replace("\"", "\"\"");
    return '"' + bytes + '"';
}

QByteArray JsonString(const QString &text)
{
    QByteArray out("\"");
    for (const char c : text.toUtf8()) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                out += escaped;
            } else {
                out += c;
            }
        }
    }
    return out + '"';
}
