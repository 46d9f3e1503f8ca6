#include "FleetModel.h"

#include "FleetTable.h"

namespace {
constexpr CheckStatus Statuses[]
    = {CheckStatus::Ok, CheckStatus::Attention, CheckStatus::Due, CheckStatus::OverLimit};

std::optional<CheckStatus> statusNamed(const QString &name)
{
    for (const CheckStatus status : Statuses) {
        if (CheckStatusName(status) == name)
            return status;
    }
    return std::nullopt;
}
} // namespace

QColor StatusColour(CheckStatus status)
{
    switch (status) {
    case CheckStatus::Ok:
        return QColor(0xd8, 0xf0, 0xd8);
    case CheckStatus::Attention:
        return QColor(0xfa, 0xf0, 0xb4);
    case CheckStatus::Due:
        return QColor(0xfa, 0xd2, 0xa0);
    case CheckStatus::OverLimit:
        return QColor(0xf4, 0xb4, 0xb4);
    }
    return {};
}

FleetModel::FleetModel(QObject *parent)
    : TableModel(parent)
{ }

void FleetModel::setFleet(const UsageListResult &list)
{
    setTable(UsageListTable(list, true));
    m_status = viewColumn(QStringLiteral("status"));
    m_registration = viewColumn(QStringLiteral("registration"));
    m_reasons = table().columnNamed(QStringLiteral("status reasons"));
}

QString FleetModel::registration(int row) const
{
    if (row < 0 || row >= tableRows() || m_registration < 0)
        return {};
    return data(index(row, m_registration), SortRole).toString();
}

QVariant FleetModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.column() != m_status
        || (role != Qt::BackgroundRole && role != Qt::ForegroundRole && role != Qt::ToolTipRole))
        return TableModel::data(index, role);
    const std::optional<CheckStatus> status
        = statusNamed(TableModel::data(index, SortRole).toString());
    if (!status)
        return {};
    if (role == Qt::BackgroundRole)
        return StatusColour(*status);
    if (role == Qt::ForegroundRole)
        return QColor(Qt::black); // dark on the light colour whatever the palette
    if (index.row() >= tableRows())
        return {};
    const QList<TableCell> &cells = table().rows[size_t(index.row())];
    const QString *reasons = m_reasons >= 0 && m_reasons < cells.size()
        ? std::get_if<QString>(&cells[m_reasons].value)
        : nullptr;
    return reasons ? *reasons : QString();
}

FleetFilter::FleetFilter(QObject *parent)
    : QSortFilterProxyModel(parent)
{
    setSortRole(TableModel::SortRole);
    setSortCaseSensitivity(Qt::CaseInsensitive);
}

void FleetFilter::setText(const QString &text)
{
    m_text = text.trimmed();
    invalidateFilter();
}

bool FleetFilter::filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const
{
    if (m_text.isEmpty())
        return true;
    const auto *fleet = qobject_cast<const TableModel *>(sourceModel());
    if (!fleet)
        return true;
    for (const char *name : {"registration", "type"}) {
        const int column = fleet->viewColumn(QString::fromLatin1(name));
        if (column >= 0
            && fleet->index(sourceRow, column, sourceParent)
                   .data(TableModel::SortRole)
                   .toString()
                   .contains(m_text, Qt::CaseInsensitive))
            return true;
    }
    return false;
}
