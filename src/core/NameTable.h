#pragma once

#include <QString>
#include <QStringList>

#include <cstddef>
#include <optional>

// One row of an enum's names table: the value, its name on the command line and in files, and
// what it means, for help texts. A table lists every value that has a name, so that a new value
// is one new row: the parser, the list of choices and the help all read the table.
template<typename E> struct NamedValue
{
    E value;
    const char *name;
    const char *help = nullptr; // none: the name says it
};

template<typename E, std::size_t N>
std::optional<E> ValueNamed(const NamedValue<E> (&table)[N], const QString &name)
{
    for (const NamedValue<E> &row : table) {
        if (name == QLatin1String(row.name))
            return row.value;
    }
    return std::nullopt;
}

// Empty for a value the table has no name for.
template<typename E, std::size_t N> QString NameOf(const NamedValue<E> (&table)[N], E value)
{
    for (const NamedValue<E> &row : table) {
        if (row.value == value)
            return QString::fromLatin1(row.name);
    }
    return {};
}

// "a, b or c", or with `last` ", " "a, b, c".
inline QString JoinChoices(const QStringList &items, const QString &last)
{
    if (items.size() < 2)
        return items.join(QString());
    return items.mid(0, items.size() - 1).join(QStringLiteral(", ")) + last + items.back();
}

template<typename E, std::size_t N>
QString NameChoices(const NamedValue<E> (&table)[N], const QString &last = QStringLiteral(" or "))
{
    QStringList names;
    for (const NamedValue<E> &row : table)
        names << QString::fromLatin1(row.name);
    return JoinChoices(names, last);
}

// "a (what a is, default), b (what b is) or c": each name with its meaning, the default marked.
template<typename E, std::size_t N>
QString NameChoicesHelp(const NamedValue<E> (&table)[N], std::optional<E> byDefault = std::nullopt)
{
    QStringList items;
    for (const NamedValue<E> &row : table) {
        QStringList words;
        if (row.help)
            words << QString::fromUtf8(row.help);
        if (byDefault == row.value)
            words << QStringLiteral("default");
        QString item = QString::fromLatin1(row.name);
        if (!words.isEmpty())
            item += QStringLiteral(" (%1)").arg(words.join(QStringLiteral(", ")));
        items << item;
    }
    return JoinChoices(items, QStringLiteral(" or "));
}
