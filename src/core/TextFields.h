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
// A value from a file or the command line as a message quotes it: C0 and C1 controls and DEL
// as \xNN (so that no byte of a file reaches the terminal as a control sequence) and, past
// `maxCharacters`, cut with "…" and its full length said.
QString MessageValue(const QString &value, qsizetype maxCharacters = 200);
// The same escaping for a whole message, which keeps its own line ends.
QString EscapeControls(const QString &text, bool keepLineEnds);
// Text that came from outside (a login name) as a table shows it: escaped so, and a backslash
// doubled, so that an escape in the text itself is told from one made here.
QString VisibleControls(const QString &text);
// RFC 4180 field and JSON string.
QByteArray CsvField(const QString &text);
QByteArray JsonString(const QString &text);
