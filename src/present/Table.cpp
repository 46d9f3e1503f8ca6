#include "Table.h"

#include "TextFields.h"

namespace {
QStringList words(const QString &name)
{
    return name.split(QLatin1Char(' '), Qt::SkipEmptyParts);
}
} // namespace

QString CsvKey(const TableColumn &column)
{
    if (!column.csvKey.isEmpty())
        return column.csvKey;
    QStringList parts = words(column.name);
    if (!column.unit.isEmpty())
        parts << column.unit.toLower();
    return parts.join(QLatin1Char('_'));
}

QString JsonKey(const TableColumn &column)
{
    QString key;
    for (const QString &word : words(column.name))
        key += key.isEmpty() ? word : word.left(1).toUpper() + word.mid(1);
    return key;
}

QString PeopleText(const TableCell &cell)
{
    if (cell.text)
        return *cell.text;
    const CellValue &value = cell.value;
    if (const auto *text = std::get_if<QString>(&value))
        return *text;
    if (const auto *integer = std::get_if<qint64>(&value))
        return QString::number(*integer);
    if (const auto *number = std::get_if<double>(&value))
        return ShortNumber(*number);
    if (const auto *flag = std::get_if<bool>(&value))
        return *flag ? QStringLiteral("yes") : QStringLiteral("no");
    if (const auto *date = std::get_if<QDate>(&value))
        return date->toString(Qt::ISODate);
    return {};
}

QStringList PeopleTexts(const TableColumn &column, const TableCell &cell, qsizetype elements)
{
    if (column.kind != CellKind::Counts)
        return {PeopleText(cell)};
    QStringList texts;
    if (const auto *counts = std::get_if<QList<qint64>>(&cell.value)) {
        for (const qint64 count : *counts)
            texts << QString::number(count);
    }
    while (texts.size() < elements)
        texts << QString();
    return texts;
}
