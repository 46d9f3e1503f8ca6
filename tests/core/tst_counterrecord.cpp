#include "CounterRecord.h"
#include "TestSupport.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QStorageInfo>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

Q_DECLARE_METATYPE(RecordValues)
Q_DECLARE_METATYPE(CounterRecord)

namespace {
RecordValues demoValues()
{
    return ToValues(DemonstrationRecord);
}

QByteArray joinWords(const QList<QByteArray> &words, const QByteArray &separator)
{
    return words.join(separator);
}

QByteArray demoWith(const QByteArray &separator)
{
    QList<QByteArray> words;
    for (QByteArray line : DemonstrationFileBytes().split('\n')) {
        line = line.trimmed();
        if (!line.isEmpty())
            words.append(line);
    }
    return joinWords(words, separator);
}

RecordValues withTimes(int activeSeconds, int activePeriods, int batterySeconds, int batteryPeriods)
{
    RecordValues values {};
    values[ActiveSecondsWord] = activeSeconds;
    values[ActivePeriodsWord] = activePeriods;
    values[BatterySecondsWord] = batterySeconds;
    values[BatteryPeriodsWord] = batteryPeriods;
    return values;
}

// A second read-out unlike the demonstration one: its counters in reverse order.
CounterRecord otherRecord()
{
    CounterRecord record = DemonstrationRecord;
    std::reverse(record.begin(), record.begin() + LevelCount);
    record[ActiveSecondsWord] = 1800;
    return record;
}
} // namespace

class TestCounterRecord : public QObject
{
    Q_OBJECT
private slots:
    void levelAt_data();
    void levelAt();
    void demonstrationRecordBytes();
    void recordText();
    void readsWellFormedFiles_data();
    void readsWellFormedFiles();
    void refusesMalformedFiles_data();
    void refusesMalformedFiles();
    void missingFileCannotBeOpened();
    void readerReadsRecordAfterRecord_data();
    void readerReadsRecordAfterRecord();
    void derivedQuantities_data();
    void derivedQuantities();
    void frequenciesInSinglePrecision();
    void appendGrowsByOneRecord();
    void appendFailureIsReported();
    void copyIsByteExact();
    void copyFailures();
    void fileSizeLimitLeavesNothingHalfWritten();
    void copyTakesTheLengthAtOpen();
    void appendToAFullDiskNamesTheReason();
    void linesCountedBeyond32Bits();

private:
    TempWorkDir *m_dir = nullptr;
};

void TestCounterRecord::demonstrationRecordBytes()
{
    const QByteArray bytes = RecordFileBytes(DemonstrationRecord);
    QCOMPARE(bytes.size(), 132);
    QCOMPARE(bytes, DemonstrationFileBytes());
    QVERIFY(bytes.endsWith("0315\r\n0029\r\n"));
}

void TestCounterRecord::recordText()
{
    QCOMPARE(RecordText(DemonstrationRecord),
        QStringLiteral("0001|0002|000A|0050|0280|09B0|09E5|04DC|02F3|01C9|0141|00EA|009A|"
                       "0060|001B|0003|0002|0001|0258|0015|0315|0029"));
}

void TestCounterRecord::readsWellFormedFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<RecordValues>("expected");

    const QByteArray demo = DemonstrationFileBytes();
    QTest::newRow("CR LF") << demo << demoValues();
    QTest::newRow("LF only") << demoWith("\n") << demoValues();
    QTest::newRow("CR only") << demoWith("\r") << demoValues();
    QTest::newRow("blanks") << demoWith(" ") << demoValues();
    QTest::newRow("tabs and blank lines") << "\t\n" + demoWith("\t\n\n  ") + "\n" << demoValues();
    QTest::newRow("two records read as the first") << demo + demo << demoValues();
    QTest::newRow("text after the 22nd value") << demo + "garbage \x01\x02" << demoValues();
    QTest::newRow("22nd value followed by text") << demo.chopped(2) + "zz" << demoValues();
    QTest::newRow("upper case and prefixes")
        << demoWith("\r\n").toUpper().replace("09B0", "0X9B0") << demoValues();
    QTest::newRow("plus sign") << demoWith("\n").replace("0258", "+258") << demoValues();

    RecordValues large = demoValues();
    large[0] = 0x10000;
    large[1] = 0x7fffffff;
    QTest::newRow("values above 65535 read whole")
        << demoWith("\n").replace("0001\n0002", "10000\n7fffffff") << large;

    RecordValues zeros {};
    QTest::newRow("all zero, minus zero")
        << QByteArray("-0 ") + QByteArray(" 0").repeated(21) << zeros;
}

void TestCounterRecord::readsWellFormedFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(RecordValues, expected);
    const ReadResult parsed = ParseCounterRecord(bytes, QStringLiteral("bufor.txt"));
    QVERIFY2(parsed.ok(), qPrintable(parsed.message()));
    QCOMPARE(parsed.values, expected);

    // The file reader gives the same as the parser.
    TempWorkDir dir;
    WriteFile(QStringLiteral("bufor.txt"), bytes);
    const ReadResult read = ReadCounterRecord(QStringLiteral("bufor.txt"));
    QVERIFY(read.ok());
    QCOMPARE(read.values, expected);
}

void TestCounterRecord::refusesMalformedFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("problem");

    const QByteArray lf = demoWith("\n");
    const QString prefix = QStringLiteral("Not a valid record in \"bufor.txt\": ");
    QTest::newRow("empty") << QByteArray()
                           << prefix
            + "the file ends after 0 values; the value at position 0 (line 1) is missing.";
    QTest::newRow("21 values") << demoWith("\r\n").left(21 * 6)
                               << prefix
            + "the file ends after 21 values; the value at position 21 (line 22) is missing.";
    QTest::newRow("only white space")
        << QByteArray(" \r\n\t\n")
        << prefix + "the file ends after 0 values; the value at position 0 (line 3) is missing.";
    QTest::newRow("text") << QByteArray(lf).replace(
        "0280", "zz") << prefix + "the value at position 4 (line 5) is not a hexadecimal number.";
    QTest::newRow("text glued to a value") << QByteArray(lf).replace("0280",
        "0280g") << prefix + "the value at position 5 (line 5) is not a hexadecimal number.";
    QTest::newRow("negative") << QByteArray(lf).replace("0050", "-50")
                              << prefix + "the value at position 3 (line 4) is negative.";
    QTest::newRow("eight digits above 7fffffff") << QByteArray(lf).replace(
        "0050", "80000000") << prefix + "the value at position 3 (line 4) is too large.";
    QTest::newRow("many digits") << QByteArray(lf).replace("0050", QByteArray(40, 'f'))
                                 << prefix + "the value at position 3 (line 4) is too large.";
    QTest::newRow("0x without digits") << QByteArray(lf).replace("0001\n0002",
        "0xg\n0002") << prefix + "the value at position 1 (line 1) is not a hexadecimal number.";
    QTest::newRow("sign alone") << QByteArray(lf).replace(
        "0002", "- 2") << prefix + "the value at position 1 (line 2) is not a hexadecimal number.";
    QTest::newRow("NUL byte") << QByteArray(lf).replace("000a", QByteArray("0\0a", 3))
                              << prefix
            + "the value at position 3 (line 3) is not a hexadecimal number.";
    QTest::newRow("UTF-16") << QByteArray("\xff\xfe"
                                          "0\0"
                                          "1\0",
        6) << prefix + "the value at position 0 (line 1) is not a hexadecimal number.";
}

void TestCounterRecord::refusesMalformedFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, problem);
    const ReadResult parsed = ParseCounterRecord(bytes, QStringLiteral("bufor.txt"));
    QCOMPARE(parsed.failure(), Result::Invalid);
    QCOMPARE(parsed.message(), problem);
}

void TestCounterRecord::missingFileCannotBeOpened()
{
    TempWorkDir dir;
    QCOMPARE(ReadCounterRecord(QStringLiteral("bufor.txt")).failure(), Result::CannotOpen);
    QDir().mkdir(QStringLiteral("bufor.txt"));
    QVERIFY(!ReadCounterRecord(QStringLiteral("bufor.txt")).ok());
}

void TestCounterRecord::derivedQuantities_data()
{
    QTest::addColumn<RecordValues>("values");
    QTest::addColumn<double>("activeWorkTime");
    QTest::addColumn<double>("batteryTime");
    QTest::addColumn<int>("daysLeft");

    QTest::newRow("demonstration")
        << demoValues() << 600.0 / 3600 + 252 << 789.0 / 3600 + 492 << 344;
    QTest::newRow("3600 s is one hour") << withTimes(3600, 0, 0, 0) << 1.0 << 0.0 << 365;
    QTest::newRow("one period is 12 h") << withTimes(0, 1, 0, 1) << 12.0 << 12.0 << 364;
    QTest::newRow("8760 h") << withTimes(0, 0, 0, 730) << 0.0 << 8760.0 << 0;
    QTest::newRow("8772 h, -0.5 truncates to 0") << withTimes(0, 0, 0, 731) << 0.0 << 8772.0 << 0;
    QTest::newRow("8784 h") << withTimes(0, 0, 0, 732) << 0.0 << 8784.0 << -1;
    QTest::newRow("just under 8760 h")
        << withTimes(0, 0, 43199, 729) << 0.0 << 43199.0 / 3600 + 8748 << 0;
}

void TestCounterRecord::derivedQuantities()
{
    QFETCH(RecordValues, values);
    QFETCH(double, activeWorkTime);
    QFETCH(double, batteryTime);
    QFETCH(int, daysLeft);
    QCOMPARE(ActiveWorkTime(values), activeWorkTime);
    QCOMPARE(FrequencyTime(values), activeWorkTime + 0.001);
    QCOMPARE(BatteryTime(values), batteryTime);
    QCOMPARE(BatteryLeftDays(values), daysLeft);
}

void TestCounterRecord::frequenciesInSinglePrecision()
{
    const RecordValues values = demoValues();
    QCOMPARE(static_cast<float>(FrequencyTime(values)), 252.16766357421875f);
    QCOMPARE(CrossingFrequency(values, 0), 1.0f / 252.16766357421875f);
    QVERIFY(LogFrequency(CrossingFrequency(values, 0)).has_value());

    const RecordValues zeros {};
    QCOMPARE(FrequencyTime(zeros), 0.001);
    for (int level = 0; level < LevelCount; ++level) {
        QCOMPARE(CrossingFrequency(zeros, level), 0.0f);
        QVERIFY(!LogFrequency(CrossingFrequency(zeros, level)).has_value());
    }
}

void TestCounterRecord::appendGrowsByOneRecord()
{
    TempWorkDir dir;
    QVERIFY(AppendCounterRecord(QStringLiteral("dane.txt"), DemonstrationRecord).ok());
    QCOMPARE(ReadAll(QStringLiteral("dane.txt")), DemonstrationFileBytes());
    QVERIFY(AppendCounterRecord(QStringLiteral("dane.txt"), DemonstrationRecord).ok());
    QCOMPARE(ReadAll(QStringLiteral("dane.txt")), DemonstrationFileBytes().repeated(2));
}

void TestCounterRecord::appendFailureIsReported()
{
    TempWorkDir dir;
    QDir().mkdir(QStringLiteral("dane.txt"));
    const Result inDirectory = AppendCounterRecord(QStringLiteral("dane.txt"), DemonstrationRecord);
    QVERIFY(!inDirectory.ok());
    QVERIFY2(inDirectory.message().contains(QStringLiteral("\"dane.txt\"")),
        qPrintable(inDirectory.message()));

    const Result full = AppendCounterRecord(QStringLiteral("/dev/full"), DemonstrationRecord);
    QVERIFY(!full.ok());
    QVERIFY2(full.message().contains(QStringLiteral("/dev/full")), qPrintable(full.message()));
}

void TestCounterRecord::copyIsByteExact()
{
    TempWorkDir dir;
    QByteArray bytes;
    for (int i = 0; i < 300000; ++i)
        bytes.append(char(i * 7 % 256));
    WriteFile(QStringLiteral("source.dat"), bytes);
    WriteFile(QStringLiteral("bufor.txt"), "old copy");
    QVERIFY(CopyFileReplacing(QStringLiteral("source.dat"), QStringLiteral("bufor.txt")).ok());
    QCOMPARE(ReadAll(QStringLiteral("bufor.txt")), bytes);
    QCOMPARE(QDir().entryList(QDir::Files | QDir::Hidden).size(), 2); // no temporary left behind
}

void TestCounterRecord::copyFailures()
{
    TempWorkDir dir;
    QCOMPARE(
        CopyFileReplacing(QStringLiteral("missing.dat"), QStringLiteral("bufor.txt")).failure(),
        Result::CannotOpen);
    QVERIFY(!QFile::exists(QStringLiteral("bufor.txt")));

    WriteFile(QStringLiteral("source.dat"), DemonstrationFileBytes());
    QDir().mkdir(QStringLiteral("bufor.txt"));
    const Result intoDirectory
        = CopyFileReplacing(QStringLiteral("source.dat"), QStringLiteral("bufor.txt"));
    QCOMPARE(intoDirectory.failure(), Result::Failed);
    QVERIFY2(intoDirectory.message().contains(QStringLiteral("\"bufor.txt\"")),
        qPrintable(intoDirectory.message()));
    QCOMPARE(
        QDir().entryList(QDir::Files | QDir::Hidden), QStringList {QStringLiteral("source.dat")});

    QCOMPARE(
        CopyFileReplacing(QStringLiteral("source.dat"), QStringLiteral("no/such/dir/bufor.txt"))
            .failure(),
        Result::Failed);
}

void TestCounterRecord::fileSizeLimitLeavesNothingHalfWritten()
{
    // A file-size limit makes writes fail part-way, as a full disk does.
    TempWorkDir dir;
    WriteFile(QStringLiteral("bufor.txt"), DemonstrationFileBytes());
    WriteFile(QStringLiteral("dane.txt"), DemonstrationFileBytes());
    WriteFile(QStringLiteral("big.dat"), QByteArray(200000, '0'));

    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit previous {};
    getrlimit(RLIMIT_FSIZE, &previous);
    rlimit limited = previous;
    limited.rlim_cur = 132 + 100; // room for less than one more record
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &limited), 0);
    const Result copied = CopyFileReplacing(QStringLiteral("big.dat"), QStringLiteral("bufor.txt"));
    const Result appended = AppendCounterRecord(QStringLiteral("dane.txt"), DemonstrationRecord);
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);

    QCOMPARE(copied.failure(), Result::Failed);
    QVERIFY2(copied.message().startsWith(QStringLiteral("Cannot write \"bufor.txt\": ")),
        qPrintable(copied.message()));
    QCOMPARE(ReadAll(QStringLiteral("bufor.txt")), DemonstrationFileBytes());
    QVERIFY(!appended.ok());
    QCOMPARE(ReadAll(QStringLiteral("dane.txt")), DemonstrationFileBytes());
    QCOMPARE(QDir().entryList(QDir::Files | QDir::Hidden).size(), 3); // no temporary left behind
}

void TestCounterRecord::readerReadsRecordAfterRecord_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QList<CounterRecord>>("records");
    QTest::addColumn<QString>("problem"); // empty: the file ends cleanly after them

    const QByteArray demo = RecordFileBytes(DemonstrationRecord);
    const QByteArray other = RecordFileBytes(otherRecord());
    const QList<CounterRecord> both {DemonstrationRecord, otherRecord()};
    const QString second = QStringLiteral("Not a valid record in \"f.dat\" (record 2): ");
    const QString third = QStringLiteral("Not a valid record in \"f.dat\" (record 3): ");
    QTest::newRow("one") << demo << QList<CounterRecord> {DemonstrationRecord} << QString();
    QTest::newRow("two") << demo + other << both << QString();
    QTest::newRow("two, LF only, white space after")
        << QByteArray(demo + other).replace("\r\n", "\n") + " \n\t\r\n"
        << both << QString();
    QTest::newRow("two on one line")
        << QByteArray(demo + other).replace("\r\n", " ") << both << QString();
    QTest::newRow("second cut off")
        << demo + other.left(5 * 6) << QList<CounterRecord> {DemonstrationRecord}
        << second + "the file ends after 5 values; the value at position 5 (line 28) is missing.";
    QTest::newRow("text after the first")
        << demo + "xyz\r\n"
        << QList<CounterRecord> {DemonstrationRecord}
        << second + "the value at position 0 (line 23) is not a hexadecimal number.";
    QTest::newRow("third damaged")
        << demo + other + QByteArray(demo).replace("0050", "-050") << both
        << third + "the value at position 3 (line 48) is negative.";
    QTest::newRow("empty") << QByteArray() << QList<CounterRecord> {}
                           << QStringLiteral(
                                  "Not a valid record in \"f.dat\": the file ends after 0 "
                                  "values; the value at position 0 (line 1) is missing.");
}

void TestCounterRecord::readerReadsRecordAfterRecord()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QList<CounterRecord>, records);
    QFETCH(QString, problem);
    QBuffer buffer(&bytes);
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    RecordReader reader(buffer, QStringLiteral("f.dat"));
    QList<RecordValues> read;
    ReadResult result;
    // As a caller that wants every record reads: at least one, then until the end.
    do {
        QCOMPARE(reader.nextRecord(), read.size() + 1);
        result = reader.next();
        if (result.ok())
            read.append(result.values);
    } while (result.ok() && !reader.atEnd());
    QCOMPARE(read.size(), records.size());
    for (qsizetype i = 0; i < read.size(); ++i)
        QCOMPARE(read[i], ToValues(records[i]));
    QCOMPARE(result.ok() ? QString() : result.message(), problem);
    QCOMPARE(reader.nextRecord(), records.size() + 1);
    // The first record alone reads as the windows read it, whatever follows.
    if (!records.isEmpty())
        QCOMPARE(ParseCounterRecord(bytes, QStringLiteral("f.dat")).values, read.first());
}

void TestCounterRecord::copyTakesTheLengthAtOpen()
{
    // A source that another program is still writing: what it gains during the copy stays out.
    TempWorkDir dir;
    const QByteArray bytes(200000, 'a');
    WriteFile(QStringLiteral("growing.dat"), bytes);
    const Result copied = CopyFileReplacing(
        QStringLiteral("growing.dat"), QStringLiteral("bufor.txt"), [](qint64, qint64) {
            QFile more(QStringLiteral("growing.dat"));
            return more.open(QIODevice::Append) && more.write(QByteArray(100000, 'z')) > 0;
        });
    QVERIFY2(copied.ok(), qPrintable(copied.message()));
    QCOMPARE(ReadAll(QStringLiteral("bufor.txt")), bytes);
}

void TestCounterRecord::appendToAFullDiskNamesTheReason()
{
    TempWorkDir dir;
    SmallDisk disk(64 * 1024);
    if (!disk.ready())
        QSKIP(qPrintable(disk.reason()));
    // 31 records end 4 bytes short of a page: the append writes those 4 bytes, then finds the
    // disk full.
    const QString name = disk.filePath(QStringLiteral("dane.txt"));
    const QByteArray before = DemonstrationFileBytes().repeated(31);
    WriteFile(name, before);
    disk.fill();
    const AppendResult appended = AppendCounterRecord(name, DemonstrationRecord);
    QVERIFY(!appended.ok());
    QCOMPARE(appended.message(),
        QStringLiteral("Cannot write \"%1\": No space left on device").arg(name));
    QCOMPARE(ReadAll(name), before);
}

void TestCounterRecord::linesCountedBeyond32Bits()
{
#if defined(__SANITIZE_ADDRESS__)
    QSKIP("reading 2 GiB byte by byte takes minutes under the sanitizers");
#endif
    TempWorkDir dir;
    constexpr qint64 lineEnds = (qint64(1) << 31) + 1;
    if (QStorageInfo(dir.path()).bytesAvailable() < 2 * lineEnds)
        QSKIP("less than 4 GiB free for a file of 2^31 line ends");
    {
        QFile file(QStringLiteral("lines.dat"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        const QByteArray block(1 << 20, '\n');
        for (qint64 left = lineEnds; left > 0; left -= block.size())
            QVERIFY(file.write(block.constData(), std::min<qint64>(left, block.size())) > 0);
        QVERIFY(file.write("zz") == 2);
    }
    const ReadResult read = ReadCounterRecord(QStringLiteral("lines.dat"));
    QFile::remove(QStringLiteral("lines.dat"));
    QCOMPARE(read.message(),
        QStringLiteral("Not a valid record in \"lines.dat\": the value at position 0 (line "
                       "2147483650) is not a hexadecimal number."));
}

void TestCounterRecord::levelAt_data()
{
    QTest::addColumn<double>("n");
    QTest::addColumn<int>("level"); // -1: no level there
    QTest::newRow("-2.0 g, the first") << -2.0 << 0;
    QTest::newRow("-1.0 g") << -1.0 << 3;
    QTest::newRow("1.4 g, the first above 1 g") << 1.4 << 6;
    QTest::newRow("3.0 g") << 3.0 << 14;
    QTest::newRow("4.0 g, the last") << 4.0 << 17;
    QTest::newRow("1 g: no level") << 1.0 << -1;
    QTest::newRow("between levels") << 2.05 << -1;
    QTest::newRow("beyond the last") << 4.2 << -1;
}

// Levels are found by their load factor, never by a counted index.
void TestCounterRecord::levelAt()
{
    QFETCH(double, n);
    QFETCH(int, level);
    const std::optional<int> found = LevelAt(n);
    QCOMPARE(found.value_or(-1), level);
    if (found)
        QCOMPARE(LoadLevels[*found].n, n);
}

QTEST_GUILESS_MAIN(TestCounterRecord)
#include "tst_counterrecord.moc"
