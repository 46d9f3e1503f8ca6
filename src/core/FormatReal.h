#pragma once

#include <QString>

// The decimal symbol of the user's regional settings, read once at program start;
// a full stop until then.
void SetDecimalSeparator(const QString &separator);
QString DecimalSeparator();

// General format with 15 significant digits: plain notation for 0.0001 <= |value| < 10^15,
// scientific ("1.5E-5", "1E15") otherwise; "INF", "-INF", "NAN"; digits never grouped.
QString FormatReal(double value);
QString FormatReal(double value, const QString &separator);

// FormatReal with a full stop as the decimal separator, written to `out` (at least
// FormatRealMaxChars long, not terminated) for callers that format many values; returns the
// number of characters.
constexpr int FormatRealMaxChars = 32;
int FormatRealTo(double value, char *out);
