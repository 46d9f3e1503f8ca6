#include "CliRun.h"
#include "CounterRecord.h"
#include "FormatReal.h"
#include "Spectrum.h"
#include "TestSupport.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTest>

#include <algorithm>
#include <utility>

namespace {
// A read-out unlike the demonstration one, with a level that was never crossed.
CounterRecord otherRecord()
{
    CounterRecord record = DemonstrationRecord;
    std::reverse(record.begin(), record.begin() + LevelCount);
    record[4] = 0;
    record[ActiveSecondsWord] = 1800;
    record[BatteryPeriodsWord] = 731;
    return record;
}

// What the spectrum window shows for a record: per level Nc, E and log E ("" for its blank),
// and the active work time.
struct ShownSpectrum
{
    qint64 record = 0;
    QList<QStringList> levels; // each: level, Nc, E, log E
    QString time;
    bool operator==(const ShownSpectrum &) const = default;
};

ShownSpectrum windowSpectrum(qint64 record, const CounterRecord &read, const QString &separator)
{
    SetDecimalSeparator(separator);
    const SpectrumCells cells = SpectrumTexts(ComputeSpectrum(ToValues(read)));
    SetDecimalSeparator(QStringLiteral("."));
    ShownSpectrum texts {record, {}, cells.activeWorkTime};
    for (int level = 0; level < LevelCount; ++level) {
        texts.levels.append({QString::fromLatin1(LoadLevels[level].text), cells.counts[level],
            cells.frequencies[level], cells.logarithms[level].trimmed()});
    }
    return texts;
}

// What the timers window shows: hours and days.
struct TimerTexts
{
    qint64 record = 0;
    QString hours;
    QString days;
    bool operator==(const TimerTexts &) const = default;
};

TimerTexts windowTimers(qint64 record, const CounterRecord &read, const QString &separator)
{
    const RecordValues values = ToValues(read);
    return {record, FormatReal(ActiveWorkTime(values), separator),
        QString::number(BatteryLeftDays(values))};
}

// The text format: "Record N" headings with --all (without, the record is the one asked for),
// a header line, one line per level whose cells start exactly under the header's, then the work
// time.
QList<ShownSpectrum> parseSpectrumText(const QString &output, bool headings, qint64 asked)
{
    QList<ShownSpectrum> parsed;
    QStringList lines = output.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    qsizetype at = 0;
    while (at < lines.size()) {
        ShownSpectrum texts;
        texts.record = asked;
        if (headings) {
            const QRegularExpressionMatch heading
                = QRegularExpression(QStringLiteral("^Record (\\d+)$")).match(lines.value(at++));
            if (!heading.hasMatch())
                return {};
            texts.record = heading.captured(1).toLongLong();
        }
        const QString header = lines.value(at++);
        if (!QRegularExpression(QStringLiteral("^n +Nc +E +log E$")).match(header).hasMatch())
            return {};
        const QList<qsizetype> starts {0, header.indexOf(QLatin1String("Nc")),
            header.indexOf(QLatin1String("E ")), header.indexOf(QLatin1String("log E"))};
        for (int level = 0; level < LevelCount; ++level) {
            const QString line = lines.value(at++);
            QStringList cells;
            for (int column = 0; column < 4; ++column) {
                const qsizetype end = column < 3 ? starts[column + 1] : line.size();
                const QString cell = line.mid(starts[column], end - starts[column]);
                // A cell fills its column from the column's start; blanks only after it.
                if (cell.startsWith(' ')
                    || (column > 0 && starts[column] <= line.size()
                        && line.at(starts[column] - 1) != ' '))
                    return {};
                cells.append(cell.trimmed());
            }
            texts.levels.append(cells);
        }
        const QString time = lines.value(at++);
        if (!time.startsWith(QLatin1String("Active Work Time [h]  ")))
            return {};
        texts.time = time.mid(22);
        parsed.append(texts);
        if (at < lines.size() && lines[at].isEmpty())
            ++at;
    }
    return parsed;
}

// RFC 4180: CR LF after every row, fields split by commas, quoted when they hold one.
QList<QStringList> parseCsv(const QByteArray &output)
{
    QList<QStringList> rows;
    QStringList fields;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < output.size(); ++i) {
        const char c = output[i];
        const char following = i + 1 < output.size() ? output[i + 1] : '\0';
        if (quoted && c == '"' && following == '"') {
            field += '"';
            ++i;
        } else if (c == '"') {
            quoted = !quoted;
        } else if (!quoted && c == ',') {
            fields.append(std::exchange(field, QString()));
        } else if (!quoted && c == '\r' && following == '\n') {
            fields.append(std::exchange(field, QString()));
            rows.append(std::exchange(fields, QStringList()));
            ++i;
        } else if (!quoted && (c == '\r' || c == '\n')) {
            return {}; // a line end other than CR LF
        } else {
            field += QLatin1Char(c);
        }
    }
    if (quoted || !field.isEmpty() || !fields.isEmpty())
        return {}; // the last row is not ended
    return rows;
}

QList<ShownSpectrum> parseSpectrumCsv(const QByteArray &output)
{
    const QList<QStringList> rows = parseCsv(output);
    if (rows.value(0) != QStringList {"record", "level", "nc", "e", "log_e", "active_work_time_h"})
        return {};
    QList<ShownSpectrum> parsed;
    for (qsizetype i = 1; i < rows.size(); ++i) {
        const QStringList &row = rows[i];
        if (row.size() != 6)
            return {};
        if (parsed.isEmpty() || parsed.last().levels.size() == LevelCount)
            parsed.append({row[0].toLongLong(), {}, row[5]});
        // Every row of a record names it and carries its work time.
        if (parsed.last().record != row[0].toLongLong() || parsed.last().time != row[5])
            return {};
        parsed.last().levels.append(row.mid(1, 4));
    }
    return parsed;
}

// Every number read back as a double and shown as the window shows it.
QList<ShownSpectrum> parseSpectrumJson(const QByteArray &output)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(output, &error);
    if (error.error != QJsonParseError::NoError || !document.isArray())
        return {};
    QList<ShownSpectrum> parsed;
    for (const QJsonValue &item : document.array()) {
        const QJsonObject object = item.toObject();
        ShownSpectrum texts {object.value("record").toInteger(), {},
            FormatReal(object.value("active_work_time_h").toDouble(), ".")};
        for (int level = 0; level < LevelCount; ++level) {
            const QJsonValue logE = object.value("log_e").toArray().at(level);
            const bool levelRight
                = object.value("levels").toArray().at(level).toDouble() == LoadLevels[level].n;
            texts.levels.append({levelRight ? LoadLevels[level].text : "wrong level",
                QString::number(object.value("nc").toArray().at(level).toInteger()),
                FormatReal(object.value("e").toArray().at(level).toDouble(), "."),
                logE.isNull() ? QString() : FormatReal(logE.toDouble(), ".")});
        }
        parsed.append(texts);
    }
    return parsed;
}

QList<ShownSpectrum> parseSpectrum(
    const QString &format, const QByteArray &output, bool all, qint64 asked)
{
    if (format == QLatin1String("csv"))
        return parseSpectrumCsv(output);
    if (format == QLatin1String("json"))
        return parseSpectrumJson(output);
    return parseSpectrumText(QString::fromUtf8(output), all, asked);
}

QList<TimerTexts> parseTimers(
    const QString &format, const QByteArray &output, bool all, qint64 asked)
{
    QList<TimerTexts> parsed;
    if (format == QLatin1String("csv")) {
        const QList<QStringList> rows = parseCsv(output);
        if (rows.value(0) != QStringList {"record", "active_work_time_h", "battery_left_days"})
            return {};
        for (const QStringList &row : rows.mid(1))
            parsed.append({row.value(0).toLongLong(), row.value(1), row.value(2)});
    } else if (format == QLatin1String("json")) {
        for (const QJsonValue &item : QJsonDocument::fromJson(output).array()) {
            const QJsonObject object = item.toObject();
            const QJsonValue days = object.value("battery_left_days");
            parsed.append({object.value("record").toInteger(),
                FormatReal(object.value("active_work_time_h").toDouble(), "."),
                days.isDouble() && days.toDouble() == days.toInteger()
                    ? QString::number(days.toInteger())
                    : QString()});
        }
    } else {
        static const QRegularExpression block(
            QStringLiteral("(?:Record (\\d+)\\n)?Active Work Time: (\\S+) hours\\nBatery Left "
                           "Time: (-?\\d+) days\\n"));
        QString text = QString::fromUtf8(output);
        qsizetype at = 0;
        while (at < text.size()) {
            if (!parsed.isEmpty() && text[at] == '\n')
                ++at;
            const QRegularExpressionMatch match = block.match(text, at,
                QRegularExpression::NormalMatch, QRegularExpression::AnchorAtOffsetMatchOption);
            if (!match.hasMatch() || match.captured(1).isEmpty() == all)
                return {};
            parsed.append({all ? match.captured(1).toLongLong() : asked, match.captured(2),
                match.captured(3)});
            at = match.capturedEnd();
        }
    }
    return parsed;
}
} // namespace

class TestCliTables : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();

    void spectrumAsTheWindowShowsIt_data();
    void spectrumAsTheWindowShowsIt();
    void timersAsTheWindowShowsThem_data();
    void timersAsTheWindowShowsThem();
    void check_data();
    void check();
    void refusedFiles_data();
    void refusedFiles();
    void specialFilesRefusedAtOnce_data();
    void specialFilesRefusedAtOnce();

private:
    void addChoiceRows();
    QTemporaryDir m_dir;
    QString m_demo;
    QString m_two;
};

void TestCliTables::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_demo = m_dir.filePath(QStringLiteral("demo.dat"));
    m_two = m_dir.filePath(QStringLiteral("two.dat"));
    WriteFile(m_demo, DemonstrationFileBytes());
    WriteFile(m_two, RecordFileBytes(DemonstrationRecord) + RecordFileBytes(otherRecord()));
}

// Which records of which file, in which format and under which decimal symbol.
void TestCliTables::addChoiceRows()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QList<int>>("records"); // 1: the demonstration record, 2: the other
    for (const char *format : {"text", "csv", "json"}) {
        const auto row = [format](const char *what) -> QTestData & {
            return QTest::addRow("%s, %s", format, what);
        };
        row("demonstration record") << m_demo << QStringList() << format << "C" << QList<int> {1};
        row("first of two") << m_two << QStringList() << format << "C" << QList<int> {1};
        row("--record 2") << m_two << QStringList {"--record", "2"} << format << "C"
                          << QList<int> {2};
        row("--record=1") << m_two << QStringList {"--record=1"} << format << "C" << QList<int> {1};
        row("--all") << m_two << QStringList {"--all"} << format << "C" << QList<int> {1, 2};
        row("--all, one record") << m_demo << QStringList {"--all"} << format << "C"
                                 << QList<int> {1};
        // The text shows the regional decimal symbol; CSV and JSON never do.
        row("decimal comma") << m_two << QStringList {"--all"} << format << "de_DE.UTF-8"
                             << QList<int> {1, 2};
    }
}

void TestCliTables::spectrumAsTheWindowShowsIt_data()
{
    addChoiceRows();
}

void TestCliTables::spectrumAsTheWindowShowsIt()
{
    QFETCH(QString, file);
    QFETCH(QStringList, options);
    QFETCH(QString, format);
    QFETCH(QString, locale);
    QFETCH(QList<int>, records);
    QProcessEnvironment environment;
    environment.insert(QStringLiteral("LC_ALL"), locale);
    const CliRun run = RunCli(
        QStringList {"spectrum", "--format", format} + options + QStringList {file}, environment);
    QCOMPARE(run.err, QByteArray());
    QCOMPARE(run.exitCode, 0);

    const QString separator
        = locale.startsWith(QLatin1String("de")) && format == QLatin1String("text")
        ? QStringLiteral(",")
        : QStringLiteral(".");
    QList<ShownSpectrum> expected;
    for (const int record : records)
        expected.append(
            windowSpectrum(record, record == 1 ? DemonstrationRecord : otherRecord(), separator));
    const bool all = options.contains(QLatin1String("--all"));
    QCOMPARE(parseSpectrum(format, run.out, all, records.first()), expected);

    if (format == QLatin1String("json")) {
        // The very values the window holds (single precision widened), not rounded texts.
        const QJsonArray objects = QJsonDocument::fromJson(run.out).array();
        for (qsizetype i = 0; i < records.size(); ++i) {
            const RecordValues values
                = ToValues(records[i] == 1 ? DemonstrationRecord : otherRecord());
            const QJsonObject object = objects.at(i).toObject();
            for (int level = 0; level < LevelCount; ++level) {
                const float e = CrossingFrequency(values, level);
                QVERIFY(object.value("e").toArray().at(level).toDouble() == double(e));
                if (e != 0) {
                    QVERIFY(object.value("log_e").toArray().at(level).toDouble()
                        == double(static_cast<float>(*LogFrequency(e))));
                }
            }
            QVERIFY(object.value("active_work_time_h").toDouble()
                == double(static_cast<float>(ActiveWorkTime(values))));
        }
    }

    // The demonstration record's published figures, to the digit.
    if (records.first() == 1) {
        const ShownSpectrum first = parseSpectrum(format, run.out, all, records.first()).first();
        const QString time
            = separator == QLatin1String(",") ? "252,16667175293" : "252.16667175293";
        QCOMPARE(first.time, time);
        QCOMPARE(first.levels[0],
            QStringList({"-2.0", "1", QString("0.00396561529487371").replace('.', separator),
                QString("-2.40168952941895").replace('.', separator)}));
        QCOMPARE(first.levels[11][2], QString("0.927954018115997").replace('.', separator));
        QCOMPARE(first.levels[15][3], QString("-1.92456817626953").replace('.', separator));
    }
}

void TestCliTables::timersAsTheWindowShowsThem_data()
{
    addChoiceRows();
}

void TestCliTables::timersAsTheWindowShowsThem()
{
    QFETCH(QString, file);
    QFETCH(QStringList, options);
    QFETCH(QString, format);
    QFETCH(QString, locale);
    QFETCH(QList<int>, records);
    QProcessEnvironment environment;
    environment.insert(QStringLiteral("LC_ALL"), locale);
    const CliRun run = RunCli(
        QStringList {"timers", "--format", format} + options + QStringList {file}, environment);
    QCOMPARE(run.err, QByteArray());
    QCOMPARE(run.exitCode, 0);

    const QString separator
        = locale.startsWith(QLatin1String("de")) && format == QLatin1String("text")
        ? QStringLiteral(",")
        : QStringLiteral(".");
    QList<TimerTexts> expected;
    for (const int record : records)
        expected.append(
            windowTimers(record, record == 1 ? DemonstrationRecord : otherRecord(), separator));
    const bool all = options.contains(QLatin1String("--all"));
    QCOMPARE(parseTimers(format, run.out, all, records.first()), expected);
    if (records.first() == 1) {
        QCOMPARE(parseTimers(format, run.out, all, records.first()).first(),
            (TimerTexts {1, QString("252.166666666667").replace('.', separator), "344"}));
    }
    if (format == QLatin1String("json")) {
        // The double itself, not a rounded text of it.
        const QJsonObject first = QJsonDocument::fromJson(run.out).array().first().toObject();
        // QCOMPARE would allow a fuzzy difference.
        QVERIFY(first.value("active_work_time_h").toDouble()
            == ActiveWorkTime(
                ToValues(records.first() == 1 ? DemonstrationRecord : otherRecord())));
    }
}

void TestCliTables::check_data()
{
    QTest::addColumn<QStringList>("files"); // in tests/data, or "two" for the two-record file
    QTest::addColumn<QByteArray>("out");
    QTest::addColumn<QByteArray>("err");
    QTest::addColumn<int>("exitCode");
    QTest::newRow("one record") << QStringList {"demo-crlf.dat"}
                                << QByteArray("demo-crlf.dat: 1 record\n") << QByteArray() << 0;
    QTest::newRow("two records, LF, CR, blanks")
        << QStringList {"two-records.dat", "demo-lf.dat", "demo-cr.dat", "blank-separated.dat"}
        << QByteArray("two-records.dat: 2 records\ndemo-lf.dat: 1 record\ndemo-cr.dat: 1 "
                      "record\nblank-separated.dat: 1 record\n")
        << QByteArray() << 0;
    QTest::newRow("damaged among good ones")
        << QStringList {"two-records.dat", "values-21.dat", "demo-crlf.dat"}
        << QByteArray("two-records.dat: 2 records\ndemo-crlf.dat: 1 record\n")
        << QByteArray("zemra-cli: Not a valid record in \"values-21.dat\": the file ends after 21 "
                      "values; the value at position 21 (line 22) is missing.\n")
        << 1;
    // The windows ignore what follows the first record; a check of every record cannot.
    QTest::newRow("text after the last record")
        << QStringList {"trailing-text.dat"} << QByteArray()
        << QByteArray(
               "zemra-cli: Not a valid record in \"trailing-text.dat\" (record 2): the value "
               "at position 1 (line 23) is not a hexadecimal number.\n")
        << 1;
    QTest::newRow("empty")
        << QStringList {"empty.dat"} << QByteArray()
        << QByteArray("zemra-cli: Not a valid record in \"empty.dat\": the file "
                      "ends after 0 values; the value at position 0 (line 1) is missing.\n")
        << 1;
    QTest::newRow("missing") << QStringList {"no-such.dat"} << QByteArray()
                             << QByteArray(
                                    "zemra-cli: Cannot open \"no-such.dat\": No such file or "
                                    "directory\n")
                             << 1;
}

void TestCliTables::check()
{
    QFETCH(QStringList, files);
    QFETCH(QByteArray, out);
    QFETCH(QByteArray, err);
    QFETCH(int, exitCode);
    // Names as given, relative to the data folder.
    const QString previous = QDir::currentPath();
    QDir::setCurrent(QStringLiteral(ZEMRA_TEST_DATA_DIR));
    const CliRun run = RunCli(QStringList {"check"} + files);
    QDir::setCurrent(previous);
    QCOMPARE(run.out, out);
    QCOMPARE(run.err, err);
    QCOMPARE(run.exitCode, exitCode);
}

void TestCliTables::refusedFiles_data()
{
    QTest::addColumn<QStringList>("arguments"); // FILE is a name in tests/data
    QTest::addColumn<QByteArray>("err");
    const QByteArray values21 = "zemra-cli: Not a valid record in \"values-21.dat\": the file ends "
                                "after 21 values; the value at position 21 (line 22) is missing.\n";
    for (const char *command : {"spectrum", "timers"}) {
        const auto row = [command](const char *what) -> QTestData & {
            return QTest::addRow("%s, %s", command, what);
        };
        row("21 values") << QStringList {command, "values-21.dat"} << values21;
        row("21 values, json") << QStringList {command, "--format", "json", "values-21.dat"}
                               << values21;
        row("no record 3") << QStringList {command, "--record", "3", "two-records.dat"}
                           << QByteArray("zemra-cli: \"two-records.dat\" holds 2 record(s); there "
                                         "is no record 3.\n");
        row("--all, text after the last record")
            << QStringList {command, "--all", "trailing-text.dat"}
            << QByteArray("zemra-cli: Not a valid record in \"trailing-text.dat\" (record 2): the "
                          "value at position 1 (line 23) is not a hexadecimal number.\n");
        row("missing") << QStringList {command, "no-such.dat"}
                       << QByteArray("zemra-cli: Cannot open \"no-such.dat\": No such file or "
                                     "directory\n");
    }
}

void TestCliTables::refusedFiles()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, err);
    const QString previous = QDir::currentPath();
    QDir::setCurrent(QStringLiteral(ZEMRA_TEST_DATA_DIR));
    const CliRun run = RunCli(arguments);
    QDir::setCurrent(previous);
    QCOMPARE(run.err, err);
    QCOMPARE(run.exitCode, 1);
}

void TestCliTables::specialFilesRefusedAtOnce_data()
{
    QTest::addColumn<QString>("command");
    for (const char *command : {"check", "spectrum", "timers", "chart"})
        QTest::newRow(command) << QString::fromLatin1(command);
}

// A FIFO without a writer would block the open for ever; it is refused before anything waits.
void TestCliTables::specialFilesRefusedAtOnce()
{
    QFETCH(QString, command);
    TempWorkDir dir;
    const QString fifo = dir.filePath(QStringLiteral("pipe.dat"));
    QVERIFY(MakeSpecialFile(QStringLiteral("FIFO"), fifo));
    QStringList arguments {command};
    if (command == QLatin1String("chart"))
        arguments << QStringLiteral("-o") << dir.filePath(QStringLiteral("chart.png"));
    const CliRun run = RunCli(arguments << fifo);
    QCOMPARE(run.err,
        QStringLiteral("zemra-cli: Cannot read \"%1\": it is a FIFO, not a regular file\n")
            .arg(fifo)
            .toUtf8());
    QCOMPARE(run.exitCode, 1);
}

QTEST_GUILESS_MAIN(TestCliTables)
#include "tst_cli_tables.moc"
