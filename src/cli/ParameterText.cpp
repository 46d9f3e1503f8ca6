#include "ParameterText.h"

#include "TextFields.h"

#include <QHash>

QString ParseParameterText(
    const QByteArray &bytes, const QStringList &keys, QMap<QString, QString> &values)
{
    QString text = QString::fromUtf8(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    const QStringList lines = text.split(QLatin1Char('\n'));
    QHash<QString, int> lineOfKey;
    QString section;
    for (int i = 0; i < lines.size(); ++i) {
        const int number = i + 1;
        const QString line = lines[i].trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';'))
            || line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('['))) {
            if (!line.endsWith(QLatin1Char(']')))
                return QStringLiteral("line %1 is not in the INI format (\"%2\")")
                    .arg(number)
                    .arg(MessageValue(line));
            section = line.mid(1, line.size() - 2).trimmed();
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals <= 0)
            return QStringLiteral("line %1 is neither a section nor key=value (\"%2\")")
                .arg(number)
                .arg(MessageValue(line));
        const QString key = line.left(equals).trimmed();
        if (!keys.contains(key)) {
            const QString shown = section.isEmpty() ? key : section + QLatin1Char('/') + key;
            return QStringLiteral("it has the unknown key \"%1\" (line %2); the keys are %3")
                .arg(MessageValue(shown))
                .arg(number)
                .arg(keys.join(QStringLiteral(", ")));
        }
        // Sections only group: [damage] k= and [aircraft] k= would be one option given twice.
        if (const auto first = lineOfKey.constFind(key); first != lineOfKey.constEnd())
            return QStringLiteral("it gives the key \"%1\" twice, on line %2 and on line %3")
                .arg(key)
                .arg(*first)
                .arg(number);
        lineOfKey.insert(key, number);
        QString value = line.mid(equals + 1).trimmed();
        if (value.size() >= 2 && value.startsWith(QLatin1Char('"'))
            && value.endsWith(QLatin1Char('"')))
            value = value.mid(1, value.size() - 2);
        values.insert(key, value);
    }
    return {};
}
