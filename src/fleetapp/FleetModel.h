#pragma once

#include "RegisterTypes.h"
#include "TableModel.h"

#include <QColor>
#include <QSortFilterProxyModel>

// The fleet as `zemra-cli fleet` prints it: UsageListTable(list, true), in the register's ranking.
// The status is its word in the status column, as printed, with the cell's colour beside it (never
// the colour alone) and the reasons as the cell's tool tip.
class FleetModel : public TableModel
{
    Q_OBJECT
public:
    explicit FleetModel(QObject *parent = nullptr);

    void setFleet(const UsageListResult &list);
    // The registration of a row of the model; empty outside the rows.
    QString registration(int row) const;

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

private:
    int m_status = -1;
    int m_registration = -1;
    qsizetype m_reasons = -1; // in the table: a column not shown
};

// The colour of a status, a light one behind the word.
QColor StatusColour(CheckStatus status);

// The fleet's rows whose registration or type holds the filter's text, in any case; the others
// hidden. Sorts by the cells' values (TableModel::SortRole); sorted by no column, the ranking.
class FleetFilter : public QSortFilterProxyModel
{
    Q_OBJECT
public:
    explicit FleetFilter(QObject *parent = nullptr);
    void setText(const QString &text);

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;

private:
    QString m_text;
};
