#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <variant>
#include <vector>

// A table as data, before it is written: columns with their names, units and kinds, rows of typed
// cells. The writers (TableWriters.h) turn one table into text for people, CSV, JSON or a report
// table by the same rules for every table, and know nothing of what the numbers mean.
//
// Keys: a column's name is lower-case words ("added by", "per 1000h"); its CSV key is the words
// joined by "_" with the unit after them ("added_by", "valley_g"), its JSON key the words in
// camelCase without the unit ("addedBy", "valley").

enum class CellKind {
    Text,
    Integer,
    Number, // double: the shortest text that reads back as the same value
    Flag, // yes/no: JSON true/false; CSV the column's own key for yes and empty for no
    Date, // YYYY-MM-DD
    Counts, // one integer per element of the table's elementNames; in CSV a column each
    Decimal, // a number given as its text ("-2.0", a level's name): bare in CSV and JSON
};

// Where a column is written.
enum TableFormatMask : unsigned {
    ForText = 1, // text for people and the report table
    ForCsv = 2,
    ForJson = 4,
    ForAll = ForText | ForCsv | ForJson,
};

struct TableColumn
{
    QString name; // lower-case words, for the keys
    CellKind kind = CellKind::Text;
    QString heading; // for people; a Counts column is headed by its element names
    QString unit; // "g", "MPa": the CSV key's last word
    QString element; // Counts: the CSV keys are element_<element name>
    unsigned formats = ForAll;
    std::optional<bool> leftAligned; // for people; by default text and dates left, numbers right
    // Text that came from outside (a login name): CSV shows its control characters escaped
    // (VisibleControls), as a spreadsheet or terminal would act on them; JSON escapes them.
    bool outsideText = false;
    // The CSV key when it cannot be made from the name (it holds a reference's own name).
    QString csvKey;
    // A column of a group (Table::groups): JSON writes a group as one array of objects, one
    // per member, each holding the group's columns of that member; CSV and text write the
    // columns where they stand.
    int group = -1;
    int member = 0;
    // An empty cell takes the value of the one above it, so that a value the same on every row
    // (the source of a stream's table) is held once and still written on every CSV row.
    bool repeatedDown = false;

    TableColumn(QString columnName, CellKind columnKind, QString columnHeading = {})
        : name(std::move(columnName))
        , kind(columnKind)
        , heading(std::move(columnHeading))
    { }
    TableColumn &in(unsigned where)
    {
        formats = where;
        return *this;
    }
    TableColumn &withUnit(QString text)
    {
        unit = std::move(text);
        return *this;
    }
    TableColumn &ofElements(QString text)
    {
        element = std::move(text);
        return *this;
    }
    TableColumn &alignedLeft(bool left)
    {
        leftAligned = left;
        return *this;
    }
    TableColumn &fromOutside()
    {
        outsideText = true;
        return *this;
    }
    TableColumn &keyedInCsv(QString key)
    {
        csvKey = std::move(key);
        return *this;
    }
    TableColumn &repeatingDown()
    {
        repeatedDown = true;
        return *this;
    }
    TableColumn &inGroup(int index, int memberIndex)
    {
        group = index;
        member = memberIndex;
        return *this;
    }
};

// The CSV writer switches on the index: keep the order.
using CellValue = std::variant<std::monostate, QString, qint64, double, bool, QDate, QList<qint64>>;

struct TableCell
{
    CellValue value; // none: empty in CSV, null in JSON
    std::optional<QString> text; // for people, when not the value's own text ("—", "2.3 %")

    TableCell() = default;
    TableCell(CellValue v)
        : value(std::move(v))
    { }
    TableCell(CellValue v, QString people)
        : value(std::move(v))
        , text(std::move(people))
    { }
    // No value; people see `people` ("–").
    static TableCell empty(const QString &people)
    {
        TableCell cell;
        cell.text = people;
        return cell;
    }
};

struct Table
{
    QList<TableColumn> columns;
    std::vector<QList<TableCell>> rows; // a cell per column
    // Rows for people only (a total at the foot); empty cells where a column has no total.
    std::vector<QList<TableCell>> footer;
    QStringList elementNames; // of the Counts columns
    QStringList groups; // the JSON keys of the column groups, written after the other columns

    void add(TableColumn column) { columns << std::move(column); }
    // The index of the column named `name`; -1 when there is none.
    qsizetype columnNamed(const QString &name) const
    {
        for (qsizetype i = 0; i < columns.size(); ++i) {
            if (columns[i].name == name)
                return i;
        }
        return -1;
    }
};

// What people see where a cell has no value.
inline const QString Dash = QStringLiteral("–");

QString CsvKey(const TableColumn &column);
QString JsonKey(const TableColumn &column);
// The cell as people read it: its text when given, else the value's own (numbers as short as
// they read clearly); a Counts cell gives its elements.
QStringList PeopleTexts(const TableColumn &column, const TableCell &cell, qsizetype elements);
// The same for a cell of one text (not a Counts cell).
QString PeopleText(const TableCell &cell);
