#include "Register.h"

#include "RegisterPrivate.h"
#include "TextFields.h"

QString CheckStatusName(CheckStatus status)
{
    switch (status) {
    case CheckStatus::Attention:
        return QStringLiteral("attention");
    case CheckStatus::Due:
        return QStringLiteral("due");
    case CheckStatus::OverLimit:
        return QStringLiteral("over limit");
    case CheckStatus::Ok:
        break;
    }
    return QStringLiteral("ok");
}

QString AircraftCheck::text() const
{
    QStringList texts;
    for (const CheckFinding &finding : findings)
        texts << finding.text;
    return texts.join(QStringLiteral("; "));
}

namespace {
QString percentText(double percent)
{
    return ShortNumber(percent) + QStringLiteral(" %");
}

// Life used against the thresholds: the last one reached by the counted estimate is over the
// limit, any other asks for attention, and so does the upper bound at the last one.
void checkLifeUsed(const CheckInput &input, AircraftCheck &check)
{
    if (!input.lifeUsed || input.thresholds.empty())
        return;
    const double last = input.thresholds.back();
    std::optional<double> reached;
    for (const double threshold : input.thresholds) {
        if (*input.lifeUsed >= threshold)
            reached = threshold;
    }
    if (reached)
        check.findings.push_back(
            {*reached == last ? CheckStatus::OverLimit : CheckStatus::Attention,
                QStringLiteral("life used %1 (counted estimate) at or beyond the threshold %2")
                    .arg(percentText(*input.lifeUsed), percentText(*reached))});
    if ((!reached || *reached != last) && input.upperLifeUsed && *input.upperLifeUsed >= last)
        check.findings.push_back({CheckStatus::Attention,
            QStringLiteral("life used %1 (upper bound) at or beyond the threshold %2")
                .arg(percentText(*input.upperLifeUsed), percentText(last))});
}

// A limit load certainly exceeded since the last inspection is over the limit; one the levels
// cannot rule out asks for attention.
void checkLimitLoads(const CheckInput &input, const QString &since, AircraftCheck &check)
{
    for (const std::optional<LimitBound> &bound :
        {input.overSince.positive, input.overSince.negative}) {
        if (!bound || !bound->possiblyExceeded())
            continue;
        check.findings.push_back(
            {bound->exceeded() ? CheckStatus::OverLimit : CheckStatus::Attention,
                LimitBoundText(*bound) + QStringLiteral(" since ") + since});
    }
}

void checkInspection(const CheckInput &input, const QString &since, AircraftCheck &check)
{
    const CheckSettings &settings = input.settings;
    if (settings.inspectionHours && input.hoursSince >= *settings.inspectionHours)
        check.findings.push_back({CheckStatus::Due,
            QStringLiteral("inspection due: %1 h flown since %2, the interval is %3 h")
                .arg(
                    ShortNumber(input.hoursSince), since, ShortNumber(*settings.inspectionHours))});
    const QDate from = input.lastInspection.value_or(input.firstTaken);
    if (settings.inspectionDays && from.isValid()) {
        const qint64 days = from.daysTo(input.today);
        if (days >= *settings.inspectionDays)
            check.findings.push_back({CheckStatus::Due,
                QStringLiteral("inspection due: %1 days since %2, the interval is %3 days")
                    .arg(days)
                    .arg(since)
                    .arg(*settings.inspectionDays)});
    }
}
} // namespace

AircraftCheck CheckAircraft(const CheckInput &input)
{
    AircraftCheck check;
    check.lastInspection = input.lastInspection;
    const QString since = input.lastInspection
        ? QStringLiteral("the inspection of %1").arg(input.lastInspection->toString(Qt::ISODate))
        : QStringLiteral("the first read-out (no inspection recorded)");
    checkLifeUsed(input, check);
    if (input.firstTaken.isValid())
        checkLimitLoads(input, since, check);
    checkInspection(input, since, check);
    if (input.settings.batteryDays && input.batteryDaysLeft
        && *input.batteryDaysLeft < *input.settings.batteryDays)
        check.findings.push_back({CheckStatus::Attention,
            QStringLiteral("recorder battery: %1 days left on %2, fewer than %3")
                .arg(*input.batteryDaysLeft)
                .arg(input.today.toString(Qt::ISODate))
                .arg(*input.settings.batteryDays)});
    for (const CheckFinding &finding : check.findings)
        check.status = std::max(check.status, finding.status);
    return check;
}

// --- What the fleet checks, read from the register --------------------------------------------

Result Register::Private::lastInspections(std::map<qint64, QDate> &inspections)
{
    QSqlQuery query;
    const QueryFinisher finisher(query);
    if (Result read = db.run(query,
            QStringLiteral(
                "SELECT aircraft_id, MAX(done_on) FROM inspections GROUP BY aircraft_id"));
        !read.ok())
        return read;
    while (query.next())
        inspections[query.value(0).toLongLong()] = DateFromText(query.value(1).toString());
    return {};
}

Result Register::Private::checkRow(AircraftUsage &row, const UsageFigures &total,
    const std::optional<QDate> &inspection, const QDate &today)
{
    const AircraftInfo &aircraft = row.aircraft;
    CheckInput input;
    input.settings = aircraft.checks();
    input.thresholds = aircraft.thresholds();
    if (total.summed) {
        input.lifeUsed = total.summed->lifeUsedPercent;
        input.upperLifeUsed = total.summed->upperLifeUsedPercent;
    }
    input.lastInspection = inspection;
    input.firstTaken = total.firstTaken;
    input.today = today;
    input.hoursSince = total.hours;
    input.overSince = total.overLimit;
    QSqlQuery query;
    const QueryFinisher finisher(query);
    if (inspection) {
        QStringList sums;
        for (int level = 0; level < LevelCount; ++level)
            sums << QStringLiteral("SUM(c%1)").arg(level);
        if (Result read = db.run(query,
                QStringLiteral("SELECT SUM(active_seconds), ") + sums.join(QStringLiteral(", "))
                    + QStringLiteral(" FROM usage_by_day WHERE aircraft_id = ? AND taken_on > ?"),
                {aircraft.id, DateText(*inspection)});
            !read.ok() || !query.next())
            return read;
        input.hoursSince = double(query.value(0).toLongLong()) / 3600.0;
        LevelCounts counts {};
        for (int level = 0; level < LevelCount; ++level)
            counts[level] = query.value(1 + level).toLongLong();
        input.overSince = BoundLimitExceedances(counts, aircraft.structure().limits);
    }
    if (Result read = db.run(query,
            QStringLiteral("SELECT id, words, taken_on FROM readouts WHERE aircraft_id = ? ORDER "
                           "BY taken_on DESC, id DESC LIMIT 1"),
            {aircraft.id});
        !read.ok())
        return read;
    if (query.next()) {
        RecordValues words {};
        if (!WordsFromText(query.value(1).toString(), words))
            return damaged(
                QStringLiteral("read-out %1 holds no record").arg(query.value(0).toLongLong()));
        const QDate taken = DateFromText(query.value(2).toString());
        input.batteryDaysLeft = BatteryLeftDays(words) - int(taken.daysTo(today));
    }
    row.check = CheckAircraft(input);
    return {};
}

InspectionResult Register::recordInspection(const QString &registration, const QDate &day)
{
    const auto refused = [](const Result &why) {
        return failed<InspectionResult>(
            Result(why.failure(), why.message() + QStringLiteral(" Nothing was recorded.")));
    };
    if (!IsRegisterDate(day))
        return refused(Result(Result::Invalid,
            QStringLiteral("The date %1 is outside the years 1 to 9999 that the register keeps.")
                .arg(day.toString(Qt::ISODate))));
    RegisterDatabase &db = d->db;
    if (Result begun = db.beginWrite(); !begun.ok())
        return refused(begun);
    TransactionGuard guard(db);
    InspectionResult result;
    if (Result read = d->knownAircraft(registration, result.aircraft); !read.ok())
        return refused(read);
    QSqlQuery query;
    const QueryFinisher finisher(query);
    if (Result read = db.run(query,
            QStringLiteral(
                "SELECT COUNT(*) FROM inspections WHERE aircraft_id = ? AND done_on = ?"),
            {result.aircraft.id, DateText(day)});
        !read.ok() || !query.next())
        return refused(read);
    result.already = query.value(0).toLongLong() > 0;
    query.finish();
    if (!result.already) {
        if (Result made = db.run(QStringLiteral("INSERT INTO inspections (aircraft_id, done_on, "
                                                "recorded_at, recorded_by) VALUES (?, ?, ?, ?)"),
                {result.aircraft.id, DateText(day), UtcNow(), d->user});
            !made.ok())
            return refused(made);
    }
    if (Result committed = guard.commit(); !committed.ok())
        return refused(committed);
    result.day = day;
    return result;
}
