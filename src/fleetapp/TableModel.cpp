#include "TableModel.h"

namespace {
const TableCell NoCell;

QVariant valueOf(const CellValue &value, int element)
{
    switch (value.index()) {
    case 1:
        return std::get<QString>(value);
    case 2:
        return qlonglong(std::get<qint64>(value));
    case 3:
        return std::get<double>(value);
    case 4:
        return std::get<bool>(value);
    case 5:
        return std::get<QDate>(value);
    case 6: {
        const QList<qint64> &counts = std::get<QList<qint64>>(value);
        return element >= 0 && element < counts.size() ? QVariant(qlonglong(counts[element]))
                                                       : QVariant();
    }
    default:
        return {};
    }
}

// As the text writer aligns them: text and dates left, numbers right, unless the column says.
bool alignedLeft(const TableColumn &column)
{
    if (column.leftAligned)
        return *column.leftAligned;
    return column.kind == CellKind::Text || column.kind == CellKind::Date;
}
} // namespace

TableModel::TableModel(QObject *parent)
    : QAbstractTableModel(parent)
{ }

void TableModel::setTable(Table table)
{
    beginResetModel();
    m_table = std::move(table);
    m_shown.clear();
    for (qsizetype i = 0; i < m_table.columns.size(); ++i) {
        const TableColumn &column = m_table.columns[i];
        if (!(column.formats & ForText))
            continue;
        if (column.kind != CellKind::Counts) {
            m_shown.push_back({i, -1});
            continue;
        }
        for (int element = 0; element < m_table.elementNames.size(); ++element)
            m_shown.push_back({i, element});
    }
    endResetModel();
}

int TableModel::viewColumn(const QString &name) const
{
    const qsizetype wanted = m_table.columnNamed(name);
    for (int i = 0; i < m_shown.size(); ++i) {
        if (m_shown[i].column == wanted)
            return i;
    }
    return -1;
}

int TableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_table.rows.size() + m_table.footer.size());
}

int TableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_shown.size());
}

const TableCell &TableModel::cellAt(int row, int column) const
{
    const bool footer = row >= tableRows();
    const auto &rows = footer ? m_table.footer : m_table.rows;
    const size_t at = size_t(footer ? row - tableRows() : row);
    if (at >= rows.size() || column < 0 || column >= m_shown.size())
        return NoCell;
    const QList<TableCell> &cells = rows[at];
    const qsizetype index = m_shown[column].column;
    return index < cells.size() ? cells[index] : NoCell;
}

const TableColumn &TableModel::columnAt(int column) const
{
    return m_table.columns[m_shown[column].column];
}

QString TableModel::text(int row, int column) const
{
    const TableColumn &shown = columnAt(column);
    const TableCell &cell = cellAt(row, column);
    if (shown.kind != CellKind::Counts)
        return PeopleText(cell);
    return PeopleTexts(shown, cell, m_table.elementNames.size()).value(m_shown[column].element);
}

QVariant TableModel::sortValue(int row, int column) const
{
    return valueOf(cellAt(row, column).value, m_shown[column].element);
}

QVariant TableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return text(index.row(), index.column());
    case SortRole:
        return sortValue(index.row(), index.column());
    case Qt::TextAlignmentRole:
        return int((alignedLeft(columnAt(index.column())) ? Qt::AlignLeft : Qt::AlignRight)
            | Qt::AlignVCenter);
    default:
        return {};
    }
}

QVariant TableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()
        || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return QAbstractTableModel::headerData(section, orientation, role);
    const TableColumn &column = columnAt(section);
    if (column.kind == CellKind::Counts)
        return m_table.elementNames.value(m_shown[section].element);
    if (role == Qt::ToolTipRole && !column.unit.isEmpty())
        return QStringLiteral("%1 (%2)").arg(column.heading, column.unit);
    return column.heading;
}
