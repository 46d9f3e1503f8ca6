#include "Register.h"

#include <QTest>

// The fleet's check of one aircraft: each finding at its boundary, and the worst deciding.
namespace {
const QDate Today(2026, 12, 9);

// An aircraft flown 100 h since 2026-10-01 with every check set, none of which it meets yet.
CheckInput quiet()
{
    CheckInput input;
    input.settings.inspectionHours = 300;
    input.settings.inspectionDays = 100;
    input.settings.batteryDays = 30;
    input.thresholds = {50, 80, 100};
    input.lifeUsed = 10;
    input.upperLifeUsed = 20;
    input.firstTaken = QDate(2026, 10, 1);
    input.today = Today;
    input.hoursSince = 100;
    input.overSince = BoundLimitExceedances(LevelCounts {}, LimitLoads {4.4, -1.76});
    input.batteryDaysLeft = 200;
    return input;
}

// Counts with `n` at the level of `g` (and the levels inward, so they stay consistent).
LevelCounts countsTo(double g, int n)
{
    LevelCounts counts {};
    for (int level = 0; level < LevelCount; ++level) {
        const double at = LoadLevels[level].n;
        if ((g > 1 && at > 1 && at <= g) || (g < 1 && at < 1 && at >= g))
            counts[level] = n;
    }
    return counts;
}
} // namespace

Q_DECLARE_METATYPE(CheckStatus)
Q_DECLARE_METATYPE(std::function<void(CheckInput &)>)

class TestChecks : public QObject
{
    Q_OBJECT
private slots:
    void findings_data();
    void findings();
};

void TestChecks::findings_data()
{
    QTest::addColumn<std::function<void(CheckInput &)>>("change");
    QTest::addColumn<CheckStatus>("status");
    QTest::addColumn<QString>("found"); // a part of the text; empty: no finding

    using Change = std::function<void(CheckInput &)>;
    const auto row = [](const char *name, Change change, CheckStatus status, const char *found) {
        QTest::newRow(name) << change << status << QString::fromUtf8(found);
    };
    row(
        "nothing", [](CheckInput &) {}, CheckStatus::Ok, "");
    row(
        "life used below the first threshold", [](CheckInput &i) { i.lifeUsed = 49.99; },
        CheckStatus::Ok, "");
    row(
        "life used at the first threshold", [](CheckInput &i) { i.lifeUsed = 50; },
        CheckStatus::Attention,
        "life used 50 % (counted estimate) at or beyond the threshold 50 %");
    row(
        "life used past the second", [](CheckInput &i) { i.lifeUsed = 85; }, CheckStatus::Attention,
        "at or beyond the threshold 80 %");
    row(
        "life used at the last threshold", [](CheckInput &i) { i.lifeUsed = 100; },
        CheckStatus::OverLimit,
        "life used 100 % (counted estimate) at or beyond the threshold 100 %");
    row(
        "own thresholds",
        [](CheckInput &i) {
            i.thresholds = {30, 60}, i.lifeUsed = 60;
        },
        CheckStatus::OverLimit, "the threshold 60 %");
    row(
        "the upper bound at the last threshold",
        [](CheckInput &i) { i.lifeUsed = 40, i.upperLifeUsed = 100; }, CheckStatus::Attention,
        "life used 100 % (upper bound)");
    row(
        "no damage figure", [](CheckInput &i) { i.lifeUsed.reset(), i.upperLifeUsed.reset(); },
        CheckStatus::Ok, "");
    row(
        "a count at 4.0 g under a limit of 4.4 g",
        [](CheckInput &i) {
            i.overSince = BoundLimitExceedances(countsTo(4.0, 1), LimitLoads {4.4, -1.76});
        },
        CheckStatus::Attention, "beyond 4.4 g at least 0");
    row(
        "a count beyond the limit of 3.8 g",
        [](CheckInput &i) {
            i.overSince = BoundLimitExceedances(countsTo(4.0, 2), LimitLoads {3.8, -1.52});
        },
        CheckStatus::OverLimit, "beyond 3.8 g at least 2 (Nc at 4.0 g)");
    row(
        "a count beyond the negative limit",
        [](CheckInput &i) {
            i.overSince = BoundLimitExceedances(countsTo(-2.0, 1), LimitLoads {4.4, -1.76});
        },
        CheckStatus::OverLimit, "beyond -1.76 g at least 1");
    row(
        "counts short of every limit",
        [](CheckInput &i) {
            i.overSince = BoundLimitExceedances(countsTo(3.0, 50), LimitLoads {4.4, -1.76});
        },
        CheckStatus::Ok, "");
    row(
        "hours just short of the interval", [](CheckInput &i) { i.hoursSince = 299.99; },
        CheckStatus::Ok, "");
    row(
        "hours at the interval", [](CheckInput &i) { i.hoursSince = 300; }, CheckStatus::Due,
        "inspection due: 300 h flown since the first read-out (no inspection recorded)");
    row(
        "days from the first read-out", [](CheckInput &i) { i.firstTaken = Today.addDays(-100); },
        CheckStatus::Due, "inspection due: 100 days since the first read-out");
    row(
        "days from the last inspection",
        [](CheckInput &i) {
            i.firstTaken = Today.addDays(-500);
            i.lastInspection = Today.addDays(-99);
        },
        CheckStatus::Ok, "");
    row(
        "days from the last inspection, due",
        [](CheckInput &i) {
            i.firstTaken = Today.addDays(-500);
            i.lastInspection = Today.addDays(-100);
        },
        CheckStatus::Due, "100 days since the inspection of 2026-08-31");
    row(
        "battery at its days", [](CheckInput &i) { i.batteryDaysLeft = 30; }, CheckStatus::Ok, "");
    row(
        "battery below its days", [](CheckInput &i) { i.batteryDaysLeft = 29; },
        CheckStatus::Attention, "recorder battery: 29 days left on 2026-12-09, fewer than 30");
    row(
        "battery run out", [](CheckInput &i) { i.batteryDaysLeft = -5; }, CheckStatus::Attention,
        "-5 days left");
    row(
        "no settings",
        [](CheckInput &i) {
            i.settings = CheckSettings();
            i.hoursSince = 1e6, i.batteryDaysLeft = 0, i.firstTaken = Today.addDays(-9999);
        },
        CheckStatus::Ok, "");
    row(
        "due outweighs attention",
        [](CheckInput &i) { i.lifeUsed = 55, i.batteryDaysLeft = 1, i.hoursSince = 400; },
        CheckStatus::Due, "life used 55 %");
    row(
        "over the limit outweighs due", [](CheckInput &i) { i.lifeUsed = 120, i.hoursSince = 400; },
        CheckStatus::OverLimit, "inspection due");
}

void TestChecks::findings()
{
    QFETCH(std::function<void(CheckInput &)>, change);
    QFETCH(CheckStatus, status);
    QFETCH(QString, found);
    CheckInput input = quiet();
    change(input);
    const AircraftCheck check = CheckAircraft(input);
    QCOMPARE(CheckStatusName(check.status), CheckStatusName(status));
    if (found.isEmpty())
        QVERIFY2(check.findings.empty(), qPrintable(check.text()));
    else
        QVERIFY2(check.text().contains(found), qPrintable(check.text()));
}

QTEST_GUILESS_MAIN(TestChecks)
#include "tst_checks.moc"
