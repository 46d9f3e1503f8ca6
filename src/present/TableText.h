#pragma once

#include <QByteArray>
#include <QList>
#include <QStringList>

// Rows of cells in columns padded to their widest cell, two spaces apart, each line trimmed; a
// column goes to the left where `left` says so (beyond its end: to the right).
void AppendAligned(QByteArray &out, const QList<QStringList> &rows, const QList<bool> &left);
// The first `left` columns to the left, the rest to the right.
void AppendAligned(QByteArray &out, const QList<QStringList> &rows, int left = 1);
