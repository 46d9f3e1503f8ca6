#pragma once

#include "TableModel.h"
#include "TableText.h"

#include <QAbstractItemModel>

// What a view of the model shows, laid out as the command line's text writer lays out a table:
// the headings, then each row's texts in the view's order, aligned as the model says. Equal to
// zemra-cli's output only when the model shows the same cells, in the same order and alignment.
inline QByteArray ModelText(const QAbstractItemModel &model)
{
    QList<QStringList> rows;
    QList<bool> left;
    QStringList header;
    for (int column = 0; column < model.columnCount(); ++column)
        header << model.headerData(column, Qt::Horizontal).toString();
    rows << header;
    for (int row = 0; row < model.rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < model.columnCount(); ++column) {
            const QModelIndex index = model.index(row, column);
            cells << index.data().toString();
            if (row == 0)
                left << ((index.data(Qt::TextAlignmentRole).toInt() & Qt::AlignLeft) != 0);
        }
        rows << cells;
    }
    QByteArray out;
    AppendAligned(out, rows, left);
    return out;
}
