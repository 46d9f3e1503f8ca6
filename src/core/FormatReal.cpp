#include "FormatReal.h"

#include <charconv>
#include <cmath>

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
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    if (value == 0)
        return QStringLiteral("0");

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
    QString text;
    text.reserve(24);
    if (value < 0)
        text += QLatin1Char('-');
    if (X >= -3 && X <= 15) {
        if (X <= 0) {
            text += QLatin1Char('0');
            text += separator;
            text += QString(-X, QLatin1Char('0'));
            text += QLatin1String(digits, count);
        } else if (count <= X) {
            text += QLatin1String(digits, count);
            text += QString(X - count, QLatin1Char('0'));
        } else {
            text += QLatin1String(digits, X);
            text += separator;
            text += QLatin1String(digits + X, count - X);
        }
    } else {
        text += QLatin1Char(digits[0]);
        if (count > 1) {
            text += separator;
            text += QLatin1String(digits + 1, count - 1);
        }
        text += QLatin1Char('E');
        text += QString::number(X - 1);
    }
    return text;
}
