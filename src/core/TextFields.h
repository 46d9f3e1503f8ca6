#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Numbers and texts as machine-readable output writes them: CSV fields (RFC 4180), JSON strings,
// and doubles in the shortest text that reads back as the same value.

// The shortest text that reads back as the same double, "null" where JSON has no number.
void AppendNumber(QByteArray &out, double value);
void AppendInteger(QByteArray &out, qint64 value);
// Shortest text that reads back as the same double (JSON and CSV), "null" for none.
QByteArray NumberText(double value);
QByteArray NumberText(const std::optional<double> &value);
// A number for people: six significant digits.
QString ShortNumber(double value);
// True for text a person wrote: valid UTF-8 without NUL bytes.
bool IsText(const QByteArray &bytes);
// Text that came from outside (a login name) as a terminal or a spreadsheet may be shown it:
// each control character as \xHH and a backslash doubled, so that nothing
// in it moves the cursor, changes colours or starts a new row.
QString VisibleControls(const QString &text);
// RFC 4180 field and JSON string.
QByteArray CsvField(const QString &text);
QByteArray JsonString(const QString &text);
