#include "HistoryWindow.h"

namespace {
QString windowText(const std::optional<QDate> &since, const std::optional<QDate> &until)
{
    if (since && until)
        return QStringLiteral(" from %1 to %2")
            .arg(since->toString(Qt::ISODate), until->toString(Qt::ISODate));
    if (since)
        return QStringLiteral(" since %1").arg(since->toString(Qt::ISODate));
    if (until)
        return QStringLiteral(" until %1").arg(until->toString(Qt::ISODate));
    return {};
}
} // namespace

UsagePeriod HistoryWindowPeriod(const HistoryResult &history, const std::optional<QDate> &since,
    const std::optional<QDate> &until)
{
    UsagePeriod period;
    CombinedCounts &combined = period.combined;
    QDate first, last;
    for (const HistoryPeriod &readout : history.periods) {
        if ((since && readout.taken < *since) || (until && readout.taken > *until))
            continue;
        if (!first.isValid())
            first = readout.taken;
        last = readout.taken;
        for (int level = 0; level < LevelCount; ++level)
            combined.counts[level] += readout.counts[level];
        combined.seconds += readout.seconds;
        combined.periods.push_back({int(combined.periods.size()), readout.afterReset,
            readout.counts, readout.seconds, readout.kind});
    }
    const QString registration = history.aircraft.registration;
    const QString window = windowText(since, until);
    period.aircraft = registration;
    if (combined.periods.empty()) {
        period.source = registration;
        combined.setFailure(Result::Invalid,
            QStringLiteral("%1 has no read-outs%2.")
                .arg(registration,
                    window.isEmpty() ? QString() : QStringLiteral(" taken") + window));
        return period;
    }
    period.source = QStringLiteral("%1, %2 read-out(s) taken %3 to %4")
                        .arg(registration)
                        .arg(combined.periods.size())
                        .arg(first.toString(Qt::ISODate), last.toString(Qt::ISODate));
    combined.hours = double(combined.seconds) / 3600.0;
    if (combined.seconds <= 0)
        combined.setFailure(Result::Invalid,
            QStringLiteral("%1: no active work time in its read-outs%2 (T = 0).")
                .arg(registration, window));
    return period;
}
