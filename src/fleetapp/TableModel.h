#pragma once

#include "Table.h"

#include <QAbstractTableModel>

// A table of the presentation library in a view: the columns people are shown (those written
// as text), a Counts column as a column per element, each cell's text as the text writer gives
// it, and its value for sorting, so that numbers sort as numbers and dates as dates. The footer
// (a total) follows the rows.
class TableModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    // The cell's value: a number, a date, a text; none for an empty cell, which sorts last.
    static constexpr int SortRole = Qt::UserRole + 1;

    explicit TableModel(QObject *parent = nullptr);

    void setTable(Table table);
    const Table &table() const { return m_table; }
    // The view's column showing the table's column `name`, -1 when none does (the first of a
    // Counts column's).
    int viewColumn(const QString &name) const;
    // The rows of the table proper (the footer after them).
    int tableRows() const { return int(m_table.rows.size()); }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(
        int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

protected:
    // The table's cell behind a view's cell (an empty one where a row is short).
    const TableCell &cellAt(int row, int column) const;
    const TableColumn &columnAt(int column) const;

private:
    struct Shown
    {
        qsizetype column = 0; // in the table
        int element = -1; // of a Counts column; -1 for the others
    };
    QString text(int row, int column) const;
    QVariant sortValue(int row, int column) const;

    Table m_table;
    QList<Shown> m_shown;
};
