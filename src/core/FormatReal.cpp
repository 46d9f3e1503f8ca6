#include "FormatReal.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace {
QString g_separator = QStringLiteral(".");
}

void SetDecimalSeparator(const QString &separator)
{
    g_separator = separator.isEmpty() ? QStringLiteral(".") : separator;
}

QString DecimalSeparator()
{
    return g_separator;
}

QString FormatReal(double value)
{
    return FormatReal(value, g_separator);
}

QString FormatReal(double value, const QString &separator)
{
    char chars[FormatRealMaxChars];
    const int length = FormatRealTo(value, chars);
    QString text = QString::fromLatin1(chars, length);
    if (separator != QLatin1String("."))
        text.replace(QLatin1Char('.'), separator);
    return text;
}

int FormatRealTo(double value, char *out)
{
    char *o = out;
    const auto put = [&o](const char *from, int count) {
        std::memcpy(o, from, count);
        o += count;
    };
    const auto zeros = [&o](int count) {
        std::memset(o, '0', count);
        o += count;
    };
    if (std::isnan(value)) {
        put("NAN", 3);
        return 3;
    }
    if (std::isinf(value)) {
        if (value < 0)
            *o++ = '-';
        put("INF", 3);
        return int(o - out);
    }
    if (value == 0) {
        *out = '0';
        return 1;
    }

    // Exact decimal rounding to 15 significant digits: "d.dddddddddddddde[+-]X".
    char scientific[32];
    const auto converted = std::to_chars(scientific, scientific + sizeof scientific,
        std::fabs(value), std::chars_format::scientific, 14);
    char digits[16];
    int count = 0;
    const char *p = scientific;
    for (; *p != 'e'; ++p) {
        if (*p != '.')
            digits[count++] = *p;
    }
    int exponent = 0;
    const bool negativeExponent = p[1] == '-';
    for (const char *e = p + 2; e < converted.ptr; ++e)
        exponent = exponent * 10 + (*e - '0');
    if (negativeExponent)
        exponent = -exponent;
    while (count > 1 && digits[count - 1] == '0')
        --count;

    // The value is 0.d1 d2 ... dk x 10^X.
    const int X = exponent + 1;
    if (value < 0)
        *o++ = '-';
    if (X >= -3 && X <= 15) {
        if (X <= 0) {
            put("0.", 2);
            zeros(-X);
            put(digits, count);
        } else if (count <= X) {
            put(digits, count);
            zeros(X - count);
        } else {
            put(digits, X);
            *o++ = '.';
            put(digits + X, count - X);
        }
    } else {
        *o++ = digits[0];
        if (count > 1) {
            *o++ = '.';
            put(digits + 1, count - 1);
        }
        *o++ = 'E';
        o = std::to_chars(o, out + FormatRealMaxChars, X - 1).ptr;
    }
    return int(o - out);
}
