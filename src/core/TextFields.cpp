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

QString VisibleControls(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c == QLatin1Char('\\'))
            out += QStringLiteral("\\\\");
        else if (c.category() != QChar::Other_Control) // all of them below U+00A0
            out += c;
        else
            out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
    }
    return out;
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
