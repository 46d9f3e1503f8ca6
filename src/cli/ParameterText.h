#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>

#include <vector>

// A section "[location NAME]": a named location's own keys.
struct LocationSection
{
    QString name;
    int line = 0; // of its heading
    QMap<QString, QString> values;
};

// The text of a parameters file: INI lines "key=value", in sections "[name]" or before any,
// blank lines and lines starting with ";" or "#" skipped, a value in double quotes taken
// without them. A key stands for the option of its name whatever its section, so it may be
// given once in the whole file; except in a section "[location NAME]", whose keys (of
// `locationKeys` only, each once) are that location's own, in `locations` in file order.
// Empty when the text was read into `values` (by key); otherwise what is wrong, naming the
// line(s), for a message about the file.
QString ParseParameterText(const QByteArray &bytes, const QStringList &keys,
    QMap<QString, QString> &values, const QStringList &locationKeys = {},
    std::vector<LocationSection> *locations = nullptr);
