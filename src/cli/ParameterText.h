#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>

// The text of a parameters file: INI lines "key=value", in sections "[name]" or before any,
// blank lines and lines starting with ";" or "#" skipped, a value in double quotes taken
// without them. A key stands for the option of its name whatever its section, so it may be
// given once in the whole file.
// Empty when the text was read into `values` (by key); otherwise what is wrong, naming the
// line(s), for a message about the file.
QString ParseParameterText(
    const QByteArray &bytes, const QStringList &keys, QMap<QString, QString> &values);
