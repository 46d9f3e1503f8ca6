#include "TableText.h"

#include <algorithm>

void AppendAligned(QByteArray &out, const QList<QStringList> &rows, const QList<bool> &left)
{
    QList<qsizetype> widths;
    for (const QStringList &row : rows) {
        widths.resize(std::max(widths.size(), row.size()));
        for (qsizetype i = 0; i < row.size(); ++i)
            widths[i] = std::max(widths[i], row[i].size());
    }
    for (const QStringList &row : rows) {
        QString line;
        for (qsizetype i = 0; i < row.size(); ++i) {
            if (i > 0)
                line += QStringLiteral("  ");
            line += left.value(i) ? row[i].leftJustified(widths[i])
                                  : row[i].rightJustified(widths[i]);
        }
        out += line.trimmed().toUtf8() + '\n';
    }
}

void AppendAligned(QByteArray &out, const QList<QStringList> &rows, int left)
{
    QList<bool> columns;
    for (int i = 0; i < left; ++i)
        columns << true;
    AppendAligned(out, rows, columns);
}
