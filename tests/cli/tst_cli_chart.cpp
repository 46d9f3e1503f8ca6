#include "Canvas.h"
#include "ChartWindow.h"
#include "CliRun.h"
#include "CounterRecord.h"
#include "TestSupport.h"
#include "ZemraApplication.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QStandardPaths>
#include <QSvgRenderer>
#include <QTest>

#include <sys/stat.h>

Q_DECLARE_METATYPE(CounterRecord)

namespace {
CounterRecord zeroRecord()
{
    return CounterRecord {};
}

// Levels never crossed, and a point beyond the right edge (no active time: E = 1000 per hour
// at a count of one... and far more at 60000).
CounterRecord unevenRecord()
{
    CounterRecord record = DemonstrationRecord;
    record[2] = 0;
    record[9] = 0;
    record[17] = 60000;
    record[ActiveSecondsWord] = 0;
    record[ActivePeriodsWord] = 0;
    return record;
}

// The pure red pixels of an image: the chart's points.
QSet<QPoint> redPixels(const QImage &image)
{
    QSet<QPoint> points;
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < rgb.height(); ++y) {
        for (int x = 0; x < rgb.width(); ++x) {
            if (rgb.pixel(x, y) == qRgb(255, 0, 0))
                points.insert(QPoint(x, y));
        }
    }
    return points;
}
} // namespace

class TestCliChart : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void pngIsTheWindowsDrawing_data();
    void pngIsTheWindowsDrawing();
    void pdfAndSvg_data();
    void pdfAndSvg();
    void failures_data();
    void failures();
    void outputIsReplacedOnlyWhenRegular_data();
    void outputIsReplacedOnlyWhenRegular();

private:
    // The chart window's own drawing of `record` at `size`, through its paint routine.
    QImage windowDrawing(const CounterRecord &record, QSize size);
    QString writeData(const QList<CounterRecord> &records);

    QTemporaryDir m_dir;
    int m_files = 0;
};

void TestCliChart::initTestCase()
{
    QVERIFY(m_dir.isValid());
}

QString TestCliChart::writeData(const QList<CounterRecord> &records)
{
    const QString name = m_dir.filePath(QStringLiteral("data%1.dat").arg(++m_files));
    WriteRecordsFile(name, records);
    return name;
}

QImage TestCliChart::windowDrawing(const CounterRecord &record, QSize size)
{
    TempWorkDir work;
    WriteFile(WorkingCopyName, RecordFileBytes(record));
    ChartWindow form;
    QImage image(size, QImage::Format_RGB32);
    image.fill(form.backgroundColour());
    QPainter painter(&image);
    form.paintChart(painter, size.width(), size.height());
    painter.end();
    return image;
}

void TestCliChart::pngIsTheWindowsDrawing_data()
{
    QTest::addColumn<QList<CounterRecord>>("records");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("record"); // which of `records` is drawn
    QTest::addColumn<QSize>("size");
    const QSize window(520, 519);
    QTest::newRow("demonstration record")
        << QList<CounterRecord> {DemonstrationRecord} << QStringList() << 0 << window;
    QTest::newRow("--record 2") << QList<CounterRecord> {DemonstrationRecord, unevenRecord()}
                                << QStringList {"--record", "2"} << 1 << window;
    QTest::newRow("first of two") << QList<CounterRecord> {DemonstrationRecord, unevenRecord()}
                                  << QStringList() << 0 << window;
    QTest::newRow("nothing crossed")
        << QList<CounterRecord> {zeroRecord()} << QStringList() << 0 << window;
    QTest::newRow("--size 800x300") << QList<CounterRecord> {DemonstrationRecord}
                                    << QStringList {"--size", "800x300"} << 0 << QSize(800, 300);
    QTest::newRow("--size=260x600") << QList<CounterRecord> {unevenRecord()}
                                    << QStringList {"--size=260x600"} << 0 << QSize(260, 600);
}

void TestCliChart::pngIsTheWindowsDrawing()
{
    QFETCH(QList<CounterRecord>, records);
    QFETCH(QStringList, options);
    QFETCH(int, record);
    QFETCH(QSize, size);
    const QString data = writeData(records);
    const QString png = m_dir.filePath(QStringLiteral("chart%1.png").arg(m_files));
    const CliRun run = RunCli(QStringList {"chart"} + options + QStringList {"-o", png, data});
    QCOMPARE(run.err, QByteArray());
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, QByteArray());

    const QImage written(png, "PNG");
    QCOMPARE(written.size(), size);
    const QImage expected = windowDrawing(records[record], size);
    QCOMPARE(written.convertToFormat(QImage::Format_RGB32), expected);
    // Not a blank: the points are there.
    QCOMPARE(redPixels(written).isEmpty(), records[record] == zeroRecord());
}

void TestCliChart::pdfAndSvg_data()
{
    QTest::addColumn<QString>("extension");
    QTest::newRow("pdf") << "pdf";
    QTest::newRow("PDF in capitals") << "PDF";
    QTest::newRow("svg") << "svg";
}

void TestCliChart::pdfAndSvg()
{
    QFETCH(QString, extension);
    const QString data = writeData({DemonstrationRecord, unevenRecord()});
    const QString out = m_dir.filePath(QStringLiteral("chart%1.%2").arg(m_files).arg(extension));
    const CliRun run = RunCli({"chart", "--record=2", "-o", out, data});
    QCOMPARE(run.err, QByteArray());
    QCOMPARE(run.exitCode, 0);

    // Drawn from the same shapes: the red points are those of the window's drawing.
    const QSet<QPoint> points = redPixels(windowDrawing(unevenRecord(), QSize(520, 519)));
    QVERIFY(!points.isEmpty());
    QImage rendered;
    if (extension.toLower() == QLatin1String("pdf")) {
        const QString pdfinfo = QStandardPaths::findExecutable(QStringLiteral("pdfinfo"));
        const QString pdftoppm = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
        if (pdfinfo.isEmpty() || pdftoppm.isEmpty())
            QSKIP("poppler-utils are not installed");
        QProcess info;
        info.start(pdfinfo, {out});
        QVERIFY(info.waitForFinished(30000));
        QCOMPARE(info.exitCode(), 0);
        const QString text = QString::fromUtf8(info.readAllStandardOutput());
        QVERIFY2(text.contains(QRegularExpression(
                     QStringLiteral("^Pages: +1$"), QRegularExpression::MultilineOption)),
            qPrintable(text));
        QVERIFY2(text.contains(QRegularExpression(QStringLiteral("^Page size: +520 x 519 pts"),
                     QRegularExpression::MultilineOption)),
            qPrintable(text));
        // At 72 pixels per inch a point of the page is a pixel of the window.
        QProcess raster;
        raster.start(pdftoppm, {"-r", "72", "-png", "-singlefile", out, out + "-page"});
        QVERIFY(raster.waitForFinished(30000));
        QCOMPARE(raster.exitCode(), 0);
        rendered = QImage(out + "-page.png");
    } else {
        QSvgRenderer renderer(out);
        QVERIFY(renderer.isValid());
        QCOMPARE(renderer.viewBox(), QRect(0, 0, 520, 519));
        rendered = QImage(520, 519, QImage::Format_RGB32);
        rendered.fill(Qt::white);
        QPainter painter(&rendered);
        renderer.render(&painter);
    }
    QCOMPARE(rendered.size(), QSize(520, 519));
    QCOMPARE(redPixels(rendered), points);
}

void TestCliChart::failures_data()
{
    QTest::addColumn<QString>("data"); // in tests/data
    QTest::addColumn<QString>("out"); // in the temporary folder
    QTest::addColumn<QByteArray>("err");
    QTest::newRow("malformed file")
        << "values-21.dat"
        << "malformed.png"
        << QByteArray("zemra-cli: Not a valid record in \"%DATA%\": the file ends after 21 values; "
                      "the value at position 21 (line 22) is missing.\n");
    QTest::newRow("no record 2 (--record 2)")
        << "demo-crlf.dat"
        << "second.png"
        << QByteArray("zemra-cli: \"%DATA%\" holds 1 record(s); there is no record 2.\n");
    QTest::newRow("folder missing")
        << "demo-crlf.dat"
        << "no-folder/chart.svg" << QByteArray("zemra-cli: Cannot write \"%OUT%\": ");
}

void TestCliChart::failures()
{
    QFETCH(QString, data);
    QFETCH(QString, out);
    QFETCH(QByteArray, err);
    const QString dataPath = QStringLiteral(ZEMRA_TEST_DATA_DIR "/") + data;
    const QString outPath = m_dir.filePath(out);
    QStringList arguments {"chart", "-o", outPath, dataPath};
    if (QByteArray(QTest::currentDataTag()).contains("--record 2"))
        arguments.insert(1, QStringLiteral("--record=2"));
    const CliRun run = RunCli(arguments);
    err.replace("%DATA%", dataPath.toUtf8()).replace("%OUT%", outPath.toUtf8());
    QVERIFY2(run.err.startsWith(err), run.err.constData());
    QCOMPARE(run.exitCode, 1);
    QVERIFY(!QFile::exists(outPath));
}

void TestCliChart::outputIsReplacedOnlyWhenRegular_data()
{
    // What stands at OUT before the run; whether the run writes it (exit 0) or refuses (exit 1).
    QTest::addColumn<QString>("existing");
    QTest::addColumn<QString>("refusal");
    QTest::newRow("FIFO") << "FIFO"
                          << "it is a FIFO, not a regular file";
    QTest::newRow("device node") << "/dev/zero"
                                 << "it is a character device, not a regular file";
    QTest::newRow("link to a device node") << "link"
                                           << "\": it is a character device, not a regular file";
    QTest::newRow("directory") << "directory"
                               << "Is a directory";
    QTest::newRow("regular file") << "file" << QString();
    QTest::newRow("250-character name") << "long" << QString();
    QTest::newRow("standard output") << "-" << QString();
}

void TestCliChart::outputIsReplacedOnlyWhenRegular()
{
    QFETCH(QString, existing);
    QFETCH(QString, refusal);
    const Watchdog watchdog;
    const QTemporaryDir dir;
    QString out = dir.filePath(QStringLiteral("chart.svg"));
    const QString node = dir.filePath(QStringLiteral("node"));
    if (existing == QLatin1String("link")) {
        QVERIFY(MakeSpecialFile(QStringLiteral("/dev/zero"), node));
        QVERIFY(QFile::link(node, out));
    } else if (existing == QLatin1String("directory")) {
        QVERIFY(QDir().mkdir(out));
    } else if (existing == QLatin1String("file")) {
        WriteFile(out, "old chart");
    } else if (existing == QLatin1String("long")) {
        out = dir.filePath(QString(246, QLatin1Char('c')) + QStringLiteral(".svg"));
    } else if (existing == QLatin1String("-")) {
        out = existing;
    } else if (!MakeSpecialFile(existing, out)) {
        QSKIP("no special file of this kind can be made here");
    }
    struct stat before
    {
    };
    ::stat(QFile::encodeName(out).constData(), &before);

    const CliRun run
        = RunCli({"chart", "--format", "svg", "-o", out, writeData({DemonstrationRecord})});
    QByteArray svg = run.out;
    if (refusal.isEmpty()) {
        QCOMPARE(run.exitCode, 0);
        if (out != QLatin1String("-"))
            svg = ReadAll(out);
        QVERIFY2(QSvgRenderer(svg).isValid(), svg.left(200).constData());
    } else {
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.startsWith("zemra-cli: Cannot write \"" + out.toUtf8() + "\": "),
            run.err.constData());
        QVERIFY2(run.err.contains(refusal.toUtf8()), run.err.constData());
        // Still the very same node, of the same kind.
        struct stat after
        {
        };
        QCOMPARE(::stat(QFile::encodeName(out).constData(), &after), 0);
        QCOMPARE(after.st_ino, before.st_ino);
        QCOMPARE(after.st_mode, before.st_mode);
    }
    // No temporary left behind.
    QCOMPARE(QDir(dir.path()).entryList({QStringLiteral(".zemra-*")}, QDir::Files | QDir::Hidden),
        QStringList());
}

ZEMRA_TEST_MAIN(TestCliChart)
#include "tst_cli_chart.moc"
