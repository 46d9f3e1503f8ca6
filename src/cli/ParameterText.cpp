#include "ParameterText.h"

#include "TextFields.h"

#include <QHash>

#include <optional>

namespace {
// "[location wing root]": the name; none for another section.
std::optional<QString> locationName(const QString &section)
{
    const QString word = QStringLiteral("location");
    if (section.compare(word, Qt::CaseInsensitive) == 0)
        return QString();
    if (!section.startsWith(word, Qt::CaseInsensitive) || !section[word.size()].isSpace())
        return std::nullopt;
    return section.mid(word.size()).trimmed();
}

// A key=value line of a location section, into it.
QString locationLine(LocationSection &location, const QStringList &locationKeys, const QString &key,
    const QString &value, int number)
{
    if (!locationKeys.contains(key))
        return QStringLiteral("the location \"%1\" has the key \"%2\" (line %3); a location "
                              "takes %4, the rest is every location's")
            .arg(MessageValue(location.name), MessageValue(key))
            .arg(number)
            .arg(locationKeys.join(QStringLiteral(", ")));
    if (location.values.contains(key))
        return QStringLiteral("the location \"%1\" gives the key \"%2\" twice (line %3)")
            .arg(MessageValue(location.name), key)
            .arg(number);
    location.values.insert(key, value);
    return {};
}
} // namespace

QString ParseParameterText(const QByteArray &bytes, const QStringList &keys,
    QMap<QString, QString> &values, const QStringList &locationKeys,
    std::vector<LocationSection> *locations)
{
    QString text = QString::fromUtf8(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    const QStringList lines = text.split(QLatin1Char('\n'));
    QHash<QString, int> lineOfKey;
    QString section;
    bool inLocation = false;
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
            inLocation = false;
            if (const std::optional<QString> name = locationName(section); name && locations) {
                if (name->isEmpty())
                    return QStringLiteral("line %1 names no location").arg(number);
                locations->push_back({*name, number, {}});
                inLocation = true;
            }
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals <= 0)
            return QStringLiteral("line %1 is neither a section nor key=value (\"%2\")")
                .arg(number)
                .arg(MessageValue(line));
        const QString key = line.left(equals).trimmed();
        QString value = line.mid(equals + 1).trimmed();
        if (value.size() >= 2 && value.startsWith(QLatin1Char('"'))
            && value.endsWith(QLatin1Char('"')))
            value = value.mid(1, value.size() - 2);
        if (inLocation) {
            if (const QString wrong
                = locationLine(locations->back(), locationKeys, key, value, number);
                !wrong.isEmpty())
                return wrong;
            continue;
        }
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
        values.insert(key, value);
    }
    return {};
}
