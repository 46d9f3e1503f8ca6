#include "Bench.h"
#include "CounterRecord.h"
#include "FleetRegister.h"
#include "Register.h"
#include "RegisterRows.h"

#if __has_include("PostgresServer.h")
#include "PostgresServer.h"
#define ZEMRA_BENCH_POSTGRESQL 1
#endif

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>

// The register as the user runs it, each run a zemra-cli process of its own: `register add` of a
// 100 MB data file (one record after another, running totals that grow) into a fresh register,
// and `fleet` over a register of 1,000 aircraft of 1,000 read-outs each, every read-out of its
// own day. The data file is in the page cache (it has just been written).
namespace {
constexpr qint64 FileBytes = 100'000'000;
constexpr double AddTargetRecordsPerSecond = 100'000;
constexpr int AddRuns = 3;
constexpr qint64 BareRecords = 100'000;
constexpr double BareTargetRatio = 1.5;
constexpr int BareRuns = 5;
constexpr double FleetTargetSeconds = 2;
constexpr int FleetRuns = 5;
constexpr int HistoryReadouts = 10'000;
constexpr double HistoryTargetSeconds = 1;

struct Run
{
    bool ok = false;
    int exitCode = -1;
    double nanoseconds = 0;
    QByteArray error;
};

Run runCli(const QStringList &arguments)
{
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    process.start(QStringLiteral(ZEMRA_CLI), arguments);
    Run run;
    const bool finished
        = process.waitForFinished(-1) && process.exitStatus() == QProcess::NormalExit;
    run.exitCode = finished ? process.exitCode() : -1;
    run.ok = run.exitCode == 0;
    run.nanoseconds = double(timer.nsecsElapsed());
    run.error = process.readAllStandardError();
    return run;
}

QTemporaryDir &folder()
{
    static QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/zemra-bench-register-XXXXXX"));
    return dir;
}

// Record i of the bench's data files: 1/16 count more a level every record and 7 s more active
// time, so that every record differs and none falls.
CounterRecord benchRecord(qint64 i)
{
    CounterRecord words {};
    for (int level = 0; level < LevelCount; ++level)
        words[level] = std::uint16_t(i / 16 + level);
    words[ActiveSecondsWord] = std::uint16_t(7 * i % 43200);
    words[ActivePeriodsWord] = std::uint16_t(7 * i / 43200);
    words[BatterySecondsWord] = 789;
    words[BatteryPeriodsWord] = 41;
    return words;
}

void writeRecords(const QString &path, qint64 records)
{
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    QByteArray block;
    for (qint64 i = 0; i < records; ++i) {
        block += RecordFileBytes(benchRecord(i));
        if (block.size() >= 1 << 20) {
            file.write(block);
            block.clear();
        }
    }
    file.write(block);
}

// The 100 MB file, made once.
QString bigFile(qint64 &records)
{
    static qint64 made = 0;
    const QString path = folder().filePath(QStringLiteral("big.dat"));
    if (made == 0) {
        made = FileBytes / 132;
        writeRecords(path, made);
    }
    records = made;
    return path;
}

// Adds the big file to a fresh register from `fresh` AddRuns times; the records per second of
// each run, or an empty list after saying why not.
std::vector<double> addRuns(const std::function<QString(int)> &fresh, qint64 &records)
{
    const QString big = bigFile(records);
    std::vector<double> perSecond;
    for (int i = 0; i < AddRuns; ++i) {
        const QString reg = fresh(i);
        Run made = runCli({"register", "aircraft", "--register", reg, "--aircraft", "D-EBNCH",
            "--combine", "running"});
        const Run added = made.ok ? runCli({"register", "add", "--register", reg, "--aircraft",
                              "D-EBNCH", "--date", "2024-01-01", big})
                                  : made;
        if (!added.ok) {
            std::printf("  a run failed: %s\n", added.error.constData());
            return {};
        }
        perSecond.push_back(double(records) / (added.nanoseconds / 1e9));
    }
    return perSecond;
}

void removeSqlite(const QString &path)
{
    for (const QString &suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")})
        QFile::remove(path + suffix);
}

// What `register add` of BareRecords records writes to a fresh register, written through the
// SQLite C API in one transaction with prepared statements: the addition, the read-outs, the
// day's usage and the two id counters. Nanoseconds, or a negative figure when it failed.
double bareInsert(const QString &path)
{
    QElapsedTimer timer;
    timer.start();
    sqlite3 *db = nullptr;
    if (sqlite3_open(path.toUtf8().constData(), &db) != SQLITE_OK) {
        sqlite3_close(db);
        return -1;
    }
    bool ok = sqlite3_exec(db,
                  "PRAGMA foreign_keys = ON; BEGIN IMMEDIATE; INSERT INTO additions "
                  "(id, aircraft_id, file_name, added_at, added_by, declared_reset) "
                  "VALUES (1, 1, 'bare.dat', '2024-01-01T00:00:00Z', 'bench', 0)",
                  nullptr, nullptr, nullptr)
        == SQLITE_OK;
    sqlite3_stmt *insert = nullptr;
    ok = ok
        && sqlite3_prepare_v2(db,
               "INSERT INTO readouts (id, aircraft_id, addition_id, record_number, taken_on, "
               "words) VALUES (?, 1, 1, ?, '2024-01-01', ?)",
               -1, &insert, nullptr)
            == SQLITE_OK;
    for (qint64 i = 0; ok && i < BareRecords; ++i) {
        const CounterRecord words = benchRecord(i);
        RecordValues values {};
        std::copy(words.begin(), words.end(), values.begin());
        const QByteArray text = WordsText(values).toLatin1();
        sqlite3_bind_int64(insert, 1, i + 1);
        sqlite3_bind_int64(insert, 2, i + 1);
        sqlite3_bind_text(insert, 3, text.constData(), int(text.size()), SQLITE_TRANSIENT);
        ok = sqlite3_step(insert) == SQLITE_DONE && sqlite3_reset(insert) == SQLITE_OK;
    }
    sqlite3_finalize(insert);
    QByteArray usage = "INSERT INTO usage_by_day VALUES (1, '2024-01-01', 100000, 0";
    for (int level = 0; level < LevelCount; ++level)
        usage += ", 6249";
    usage += ", 699993); UPDATE id_counters SET next_id = 100001 WHERE name = 'readout'; "
             "UPDATE id_counters SET next_id = 2 WHERE name = 'addition'; COMMIT";
    ok = ok && sqlite3_exec(db, usage.constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok ? double(timer.nsecsElapsed()) : -1;
}

QString describeRate(const bench::Stats &rate, qint64 records)
{
    return QStringLiteral("%1 records/s (p10 %2, p90 %3; %4 runs) for %5 records, %6 MB")
        .arg(rate.median, 0, 'f', 0)
        .arg(rate.p10, 0, 'f', 0)
        .arg(rate.p90, 0, 'f', 0)
        .arg(rate.runs)
        .arg(records)
        .arg(records * 132 / 1e6, 0, 'f', 0);
}
} // namespace

ZEMRA_BENCHMARK(registerAddSqlite)
{
    qint64 records = 0;
    const std::vector<double> rates = addRuns(
        [](int run) {
            const QString path = folder().filePath(QStringLiteral("add-%1.sqlite").arg(run));
            removeSqlite(path);
            return path;
        },
        records);
    const bench::Stats rate = bench::Summarise(rates);
    bench::Report(QStringLiteral("register add 100 MB (SQLite)"),
        rates.empty() ? QStringLiteral("a run failed") : describeRate(rate, records),
        QStringLiteral("at least 100000 records/s"),
        !rates.empty() && rate.median >= AddTargetRecordsPerSecond);
    for (int run = 0; run < AddRuns; ++run)
        QFile::remove(folder().filePath(QStringLiteral("add-%1.sqlite").arg(run)));
}

// `register add` of 100,000 records into a fresh register, whole process, against the same rows
// written bare into a copy of the same empty register.
ZEMRA_BENCHMARK(registerAddBareSqlite)
{
    const QString data = folder().filePath(QStringLiteral("bare.dat"));
    writeRecords(data, BareRecords);
    const QString empty = folder().filePath(QStringLiteral("bare-empty.sqlite"));
    removeSqlite(empty);
    const Run made = runCli({"register", "aircraft", "--register", empty, "--aircraft", "D-EBNCH",
        "--combine", "running"});
    if (!made.ok) {
        std::printf("  the empty register failed: %s\n", made.error.constData());
        return;
    }
    const QString target = folder().filePath(QStringLiteral("bare-run.sqlite"));
    std::vector<double> adds, bares;
    for (int run = 0; run < BareRuns; ++run) {
        removeSqlite(target);
        QFile::copy(empty, target);
        const Run added = runCli({"register", "add", "--register", target, "--aircraft", "D-EBNCH",
            "--date", "2024-01-01", data});
        removeSqlite(target);
        QFile::copy(empty, target);
        const double bare = bareInsert(target);
        if (!added.ok || bare < 0) {
            std::printf(
                "  a run failed: %s\n", added.ok ? "the bare insert" : added.error.constData());
            return;
        }
        adds.push_back(added.nanoseconds);
        bares.push_back(bare);
    }
    removeSqlite(target);
    const bench::Stats add = bench::Summarise(adds);
    const bench::Stats bare = bench::Summarise(bares);
    const double ratio = add.median / bare.median;
    bench::Report(QStringLiteral("register add 100,000 records (SQLite)"),
        bench::Describe(add) + QStringLiteral(", whole process, against a bare insert's ")
            + bench::Describe(bare)
            + QStringLiteral(" (SQLite C API, one transaction); ratio %1").arg(ratio, 0, 'f', 2),
        QStringLiteral("at most 1.5x"), ratio <= BareTargetRatio);
}

ZEMRA_BENCHMARK(registerAddPostgresql)
{
#ifdef ZEMRA_BENCH_POSTGRESQL
    PostgresServer server;
    if (!server.ready()) {
        std::printf("register add 100 MB (PostgreSQL)  skipped: %s\n", qPrintable(server.reason()));
        return;
    }
    qint64 records = 0;
    const std::vector<double> rates = addRuns(
        [&server](int) { return server.url(server.createDatabase(QStringLiteral("add"))); },
        records);
    bench::Report(QStringLiteral("register add 100 MB (PostgreSQL)"),
        rates.empty() ? QStringLiteral("a run failed")
                      : describeRate(bench::Summarise(rates), records)
                + QStringLiteral(", a local server on a Unix socket, fsync off"),
        QStringLiteral("reported"), !rates.empty());
#else
    std::printf("register add 100 MB (PostgreSQL)  skipped: built without the tests' server "
                "starter (BUILD_TESTING off)\n");
#endif
}

ZEMRA_BENCHMARK(registerFleetSqlite)
{
    const QString path = bench::FleetRegister();
    if (path.isEmpty())
        return;

    // The ranking with each aircraft's forecast and status, over a window, and the check alone.
    for (const char *variant : {"", "--since", "--check"}) {
        const QString option = QString::fromLatin1(variant);
        QStringList arguments {"fleet", "--register", path};
        if (option == QLatin1String("--since"))
            arguments << "--since"
                      << "2005-01-01";
        else if (!option.isEmpty())
            arguments << option;
        std::vector<double> times;
        for (int run = 0; run < FleetRuns + 1; ++run) {
            const Run fleet = runCli(arguments);
            // --check ends with 3 when an aircraft needs attention.
            if (!fleet.ok && !(option == QLatin1String("--check") && fleet.exitCode == 3)) {
                std::printf("  fleet failed: %s\n", fleet.error.constData());
                times.clear();
                break;
            }
            if (run > 0)
                times.push_back(fleet.nanoseconds);
        }
        const bench::Stats stats = bench::Summarise(times);
        bench::Report(option.isEmpty()
                ? QStringLiteral("fleet, 1000 aircraft x 1000 (SQLite)")
                : QStringLiteral("fleet %1, 1000 x 1000 (SQLite)").arg(option),
            times.empty() ? QStringLiteral("a run failed")
                          : bench::Describe(stats) + QStringLiteral(", whole process"),
            QStringLiteral("median at most 2 s"),
            !times.empty() && stats.median <= FleetTargetSeconds * 1e9);
    }
}

// `register history` of one aircraft with 10,000 read-outs of separate records, each period's
// damage of both estimates computed, whole process.
ZEMRA_BENCHMARK(registerHistorySqlite)
{
    const QString path = folder().filePath(QStringLiteral("history.sqlite"));
    removeSqlite(path);
    {
        OpenedRegister opened
            = Register::open(ParseRegisterLocation(path).location, Register::Access::Write);
        if (!opened.ok()) {
            std::printf("  %s\n", qPrintable(opened.message()));
            return;
        }
        Register &reg = *opened.reg;
        StructuralData structure;
        structure.damage = DamageParameters();
        structure.damage->stressPerG = 50, structure.damage->slope = 5;
        structure.damage->enduranceStress = 60, structure.damage->enduranceCycles = 2e6;
        structure.damage->ultimateStrength = 450;
        structure.damage->maxLoadPositive = 5.7, structure.damage->maxLoadNegative = -2.28;
        structure.limits = LimitLoads {3.8, -1.52};
        reg.setAircraft(
            {QStringLiteral("D-EHIST"), std::nullopt, CombineMode::Separate, structure});
        // 100 files of 100 records a week apart: the demonstration record's counts, varied.
        std::vector<AddFile> files;
        for (int f = 0; f < HistoryReadouts / 100; ++f) {
            QByteArray bytes;
            for (int r = 0; r < 100; ++r) {
                const int i = f * 100 + r;
                CounterRecord words = DemonstrationRecord;
                for (int level = 0; level < LevelCount; ++level)
                    words[level] = std::uint16_t(words[level] * (1 + i % 5) / 3);
                words[BatterySecondsWord] = std::uint16_t(i % 43200);
                words[BatteryPeriodsWord] = std::uint16_t(i / 43200);
                bytes += RecordFileBytes(words);
            }
            const QString name = folder().filePath(QStringLiteral("h%1.dat").arg(f));
            QFile file(name);
            file.open(QIODevice::WriteOnly | QIODevice::Truncate);
            file.write(bytes);
            file.close();
            files.push_back({name, QDate(2000, 1, 1).addDays(7 * f)});
        }
        const AddResult added = reg.add(QStringLiteral("D-EHIST"), files);
        if (!added.ok()) {
            std::printf("  %s\n", qPrintable(added.message()));
            return;
        }
    }
    // The history, and the aircraft's report of it (a line a year beyond 100 read-outs).
    const QString pdf = folder().filePath(QStringLiteral("history.pdf"));
    const struct
    {
        QStringList arguments;
        const char *name;
        const char *target;
        double seconds;
    } commands[] = {
        {{"register", "history", "--register", path, "--aircraft", "D-EHIST"},
            "register history, 10,000 read-outs with damage (SQLite)", "median at most 1 s",
            HistoryTargetSeconds},
        {{"report", "--register", path, "--aircraft", "D-EHIST", "-o", pdf},
            "report --aircraft, 10,000 read-outs (SQLite)", "median at most 5 s", 5.0},
    };
    for (const auto &command : commands) {
        std::vector<double> times;
        for (int run = 0; run < FleetRuns; ++run) {
            const Run timed = runCli(command.arguments);
            if (!timed.ok) {
                std::printf("  %s failed: %s\n", command.name, timed.error.constData());
                times.clear();
                break;
            }
            times.push_back(timed.nanoseconds);
        }
        const bench::Stats stats = bench::Summarise(times);
        bench::Report(QString::fromLatin1(command.name),
            times.empty() ? QStringLiteral("a run failed")
                          : bench::Describe(stats) + QStringLiteral(", whole process"),
            QString::fromLatin1(command.target),
            !times.empty() && stats.median <= command.seconds * 1e9);
    }
    removeSqlite(path);
}
