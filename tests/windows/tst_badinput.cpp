#include "ChartWindow.h"
#include "CounterRecord.h"
#include "DataCopyWindow.h"
#include "SpectrumWindow.h"
#include "TestSupport.h"
#include "TimersWindow.h"
#include "ZemraApplication.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

// Every file of the catalogue in tests/data goes through the reader and through the spectrum
// window as a user would open it: read by the rules, or refused with its message and nothing
// on screen changed.
class TestBadInput : public QObject
{
    Q_OBJECT
private slots:
    void spectrumWindowFollowsTheCatalogue_data();
    void spectrumWindowFollowsTheCatalogue();
    void readErrorIsNotTakenForTheEnd();
    void specialFilesAreRefused_data();
    void specialFilesAreRefused();
};

void TestBadInput::spectrumWindowFollowsTheCatalogue_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("outcome");
    QFile catalogue(QStringLiteral(ZEMRA_TEST_DATA_DIR "/catalogue.tsv"));
    QVERIFY(catalogue.open(QIODevice::ReadOnly | QIODevice::Text));
    int rows = 0;
    while (!catalogue.atEnd()) {
        const QString line = QString::fromUtf8(catalogue.readLine()).chopped(1);
        if (line.startsWith(QLatin1Char('#')) || line.isEmpty())
            continue;
        const QStringList fields = line.split(QLatin1Char('\t'));
        QCOMPARE(fields.size(), 3);
        QTest::newRow(qPrintable(fields[0])) << fields[0] << fields[1];
        ++rows;
    }
    QVERIFY(rows >= 20);
}

namespace {
// The values a well-formed catalogue file holds: the demonstration record, with a first value
// of its own where the catalogue says so.
RecordValues expectedValues(const QString &outcome)
{
    RecordValues values = ToValues(DemonstrationRecord);
    const QRegularExpressionMatch first
        = QRegularExpression(QStringLiteral("first value (\\d+)")).match(outcome);
    if (first.hasMatch())
        values[0] = first.captured(1).toInt();
    return values;
}
} // namespace

void TestBadInput::spectrumWindowFollowsTheCatalogue()
{
    QFETCH(QString, file);
    QFETCH(QString, outcome);
    TempWorkDir dir;
    SpectrumWindow form;
    form.show();
    const QString source = QStringLiteral(ZEMRA_TEST_DATA_DIR "/") + file;

    // A valid working copy and its table first, so that a refusal can be seen to change nothing.
    WriteFile(QStringLiteral("bufor.txt"), RecordFileBytes(CounterRecord {}));
    QTest::mouseClick(Control<QPushButton>(&form, "spectrumButton"), Qt::LeftButton);
    QStringList before;
    for (int column = 0; column < LevelCount; ++column)
        before << form.cell(column, 1) << form.cell(column, 2) << form.cell(column, 3);

    form.setFileChooser([source](QWidget *) { return source; });
    QVERIFY(CollectMessageBoxes([&] {
        QTest::mouseClick(Control<QPushButton>(&form, "openFileButton"), Qt::LeftButton);
    }).isEmpty());
    QCOMPARE(ReadAll(QStringLiteral("bufor.txt")), ReadAll(source));

    const ReadResult read = ReadCounterRecord(QStringLiteral("bufor.txt"));
    const ReadResult parsed = ParseCounterRecord(ReadAll(source), QStringLiteral("bufor.txt"));
    QCOMPARE(parsed.failure(), read.failure());
    QCOMPARE(parsed.message(), read.message());
    const QList<SeenMessageBox> boxes = CollectMessageBoxes(
        [&] { QTest::mouseClick(Control<QPushButton>(&form, "spectrumButton"), Qt::LeftButton); });
    QStringList after;
    for (int column = 0; column < LevelCount; ++column)
        after << form.cell(column, 1) << form.cell(column, 2) << form.cell(column, 3);

    if (outcome.startsWith(QLatin1String("read"))) {
        QVERIFY2(read.ok(), qPrintable(read.message()));
        QCOMPARE(read.values, expectedValues(outcome));
        QVERIFY(boxes.isEmpty());
        QCOMPARE(form.cell(1, 1), QStringLiteral("2"));
        QCOMPARE(
            Control<QLineEdit>(&form, "workTimeEdit")->text(), QStringLiteral("252.16667175293"));
    } else {
        QCOMPARE(read.failure(), Result::Invalid);
        QCOMPARE(read.message(), outcome);
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(boxes[0].title, QStringLiteral("Mistake"));
        QCOMPARE(boxes[0].text, outcome);
        QCOMPARE(after, before);
        QCOMPARE(Control<QLineEdit>(&form, "workTimeEdit")->text(), QStringLiteral("0"));
    }
}

void TestBadInput::readErrorIsNotTakenForTheEnd()
{
    // Opening succeeds, reading fails with an I/O error at offset 0.
    const ReadResult read = ReadCounterRecord(QStringLiteral("/proc/self/mem"));
    QCOMPARE(read.failure(), Result::Invalid);
    QVERIFY2(read.message().startsWith(QStringLiteral("Cannot read \"/proc/self/mem\": ")),
        qPrintable(read.message()));
}

void TestBadInput::specialFilesAreRefused_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("role");
    const QStringList roles = {QStringLiteral("Open File"), QStringLiteral("table"),
        QStringLiteral("timers"), QStringLiteral("chart"), QStringLiteral("data file"),
        QStringLiteral("dane.txt"), QStringLiteral("bufor.txt for Open File")};
    for (const QString &kind : {QStringLiteral("FIFO"), QStringLiteral("/dev/zero")}) {
        for (const QString &role : roles)
            QTest::newRow(qPrintable(kind + QStringLiteral(" for ") + role)) << kind << role;
    }
    // The working files are the program's own: never followed out of the folder, never shared.
    for (const QString &kind : {QStringLiteral("symbolic link"), QStringLiteral("hard link")}) {
        for (const QString &role : roles.mid(1)) {
            if (role != QLatin1String("data file") || kind == QLatin1String("hard link"))
                QTest::newRow(qPrintable(kind + QStringLiteral(" for ") + role)) << kind << role;
        }
    }
}

// A FIFO or a device where a file is expected is refused by its kind, at once: nothing waits
// for a writer, nothing reads without end, and nothing on screen or on disk changes.
void TestBadInput::specialFilesAreRefused()
{
    QFETCH(QString, kind);
    QFETCH(QString, role);
    Watchdog watchdog;
    TempWorkDir dir;
    const bool chosen = role == QLatin1String("Open File") || role == QLatin1String("data file");
    QString name = chosen ? dir.filePath(QStringLiteral("chosen.dat")) : WorkingCopyName;
    if (role == QLatin1String("dane.txt"))
        name = IntermediateFileName;
    // A file outside the working folder that a link leads to; it must come out as it went in.
    const QTemporaryDir outsideFolder;
    const QString outside = outsideFolder.filePath(QStringLiteral("other.txt"));
    const bool link = kind.endsWith(QLatin1String(" link"));
    if (link) {
        WriteFile(outside, DemonstrationFileBytes());
        QVERIFY(kind == QLatin1String("hard link")
                ? ::link(QFile::encodeName(outside), QFile::encodeName(name)) == 0
                : QFile::link(outside, name));
    } else if (!MakeSpecialFile(kind, name)) {
        QSKIP("no special file of this kind can be made here");
    }
    const QString what = kind == QLatin1String("FIFO") ? QStringLiteral("a FIFO")
                                                       : QStringLiteral("a character device");
    const bool replaced = role == QLatin1String("bufor.txt for Open File");
    QString expected = QStringLiteral("Cannot read \"%1\": ");
    if (replaced)
        expected = QStringLiteral("Cannot write \"%1\": ");
    else if (role == QLatin1String("data file"))
        expected = QStringLiteral("Cannot create \"%1\": ");
    else if (role == QLatin1String("dane.txt"))
        expected = QStringLiteral("Cannot open \"%1\" for appending: ");
    expected = expected.arg(name) + QStringLiteral("it is %1, not a regular file").arg(what);
    const QString remedy = QStringLiteral(" Remove or rename \"%1\" in %2, then try again.")
                               .arg(name, QDir::currentPath());
    if (kind == QLatin1String("symbolic link"))
        expected = QStringLiteral("\"%1\" is a symbolic link to \"%2\", not a file of this "
                                  "program's own; it is never followed.")
                       .arg(name, outside)
            + remedy;
    else if (role == QLatin1String("data file") && link)
        expected = QStringLiteral("Cannot create \"%1\": it has 1 other name(s) (hard links), and "
                                  "emptying it would empty them too")
                       .arg(name);
    else if (link)
        expected = QStringLiteral("\"%1\" has 1 other name(s) (hard links): it is shared with "
                                  "another file, not this program's own.")
                       .arg(name)
            + remedy;

    QList<SeenMessageBox> boxes;
    if (role == QLatin1String("data file") || role == QLatin1String("dane.txt")) {
        DataCopyWindow copy;
        copy.show();
        Control<QLineEdit>(&copy, "fileNameEdit")
            ->setText(role == QLatin1String("dane.txt") ? QStringLiteral("flight.dat") : name);
        boxes = CollectMessageBoxes([&] {
            QTest::mouseClick(Control<QPushButton>(&copy, "fileOpenButton"), Qt::LeftButton);
            if (copy.hasDataFile())
                QTest::mouseClick(Control<QPushButton>(&copy, "dataCopyButton"), Qt::LeftButton);
        });
        QVERIFY(Control<QLineEdit>(&copy, "dateEdit")->text().isEmpty());
        // Made by FileOpen, as it left it.
        if (role == QLatin1String("dane.txt"))
            QCOMPARE(QFileInfo(QStringLiteral("flight.dat")).size(), 0);
        QFile::remove(QStringLiteral("flight.dat"));
    } else if (role == QLatin1String("timers")) {
        TimersWindow timers;
        timers.show();
        boxes = CollectMessageBoxes([&] {
            QTest::mouseClick(Control<QPushButton>(&timers, "timeButton"), Qt::LeftButton);
        });
        QVERIFY(Control<QLineEdit>(&timers, "workTimeEdit")->text().isEmpty());
    } else if (role == QLatin1String("chart")) {
        ChartWindow chart;
        boxes = CollectMessageBoxes([&] {
            chart.show();
            chart.repaint();
            QTest::qWait(50);
        });
    } else {
        SpectrumWindow form;
        form.show();
        const QString source
            = replaced ? QStringLiteral(ZEMRA_TEST_DATA_DIR "/demo-crlf.dat") : name;
        form.setFileChooser([source](QWidget *) { return source; });
        QPushButton *button = chosen || replaced ? Control<QPushButton>(&form, "openFileButton")
                                                 : Control<QPushButton>(&form, "spectrumButton");
        boxes = CollectMessageBoxes([&] { QTest::mouseClick(button, Qt::LeftButton); });
        QVERIFY(Control<QLineEdit>(&form, "workTimeEdit")->text().isEmpty());
        QVERIFY(Control<QLineEdit>(&form, "pathEdit")->text().isEmpty());
        QVERIFY(form.cell(0, 1).isEmpty());
    }
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes[0].title, QStringLiteral("Mistake"));
    QCOMPARE(boxes[0].text, expected);
    const QStringList entries
        = QDir().entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System | QDir::Hidden);
    QCOMPARE(entries, QStringList {QFileInfo(name).fileName()});
    if (link)
        QCOMPARE(ReadAll(outside), DemonstrationFileBytes());
}

ZEMRA_TEST_MAIN(TestBadInput)
#include "tst_badinput.moc"
