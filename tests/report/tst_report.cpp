#include "Report.h"
#include "TestSupport.h"
#include "ZemraApplication.h"

#include <QBuffer>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

// Every figure here is made up for the layout; none is measured or taken from any standard.

Q_DECLARE_METATYPE(ReportDocument)

namespace {
ReportBlock block(ReportBlock::Kind kind, const QString &text = {})
{
    ReportBlock block;
    block.kind = kind;
    block.text = text;
    return block;
}

// Eight columns; each cell names itself ("t2r17c3"), so that the pages' text can be searched.
ReportBlock table(int tag, int rows)
{
    ReportBlock table = block(ReportBlock::Table);
    table.table.header = {"Level n [g]", "Axis value", "Count Nc", "per hour", "per 1000 h",
        "log10 per 1000 h", "reference per 1000 h", "measured / reference"};
    table.table.rightAligned = {0, 1, 2, 3, 4, 5, 6, 7};
    for (int r = 0; r < rows; ++r) {
        QStringList row;
        for (int c = 0; c < 8; ++c)
            row << QStringLiteral("t%1r%2c%3").arg(tag).arg(r).arg(c);
        table.table.rows << row;
    }
    return table;
}

ReportBlock chart()
{
    ReportBlock chart = block(ReportBlock::Chart);
    chart.chart = {QStringLiteral("made-up axis [g]"), QStringLiteral("made-up value"),
        QStringLiteral("made-up caption"),
        {{QStringLiteral("made-up series"), {{1.4, 900}, {2.5, 30}, {4, 2}}, {{-1, 50}}, true}}};
    return chart;
}

ReportDocument document(const QList<ReportBlock> &blocks)
{
    return {QStringLiteral("Made-up report"), {QStringLiteral("made-up subtitle")}, blocks,
        QStringLiteral("made-up footer 1.2")};
}

QString run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(QStandardPaths::findExecutable(program), arguments);
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return QStringLiteral("<%1 failed>").arg(program);
    return QString::fromUtf8(process.readAllStandardOutput());
}
} // namespace

class TestReport : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void pdfPages_data();
    void pdfPages();
    void unwritableDevice();

private:
    QTemporaryDir m_dir;
};

void TestReport::initTestCase()
{
    for (const char *tool : {"pdfinfo", "pdftotext", "pdffonts"}) {
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
            QSKIP("poppler-utils are not installed");
    }
    QVERIFY(m_dir.isValid());
}

void TestReport::pdfPages_data()
{
    QTest::addColumn<ReportDocument>("document");
    QTest::addColumn<int>("pages");
    QTest::newRow("title alone") << document({}) << 1;
    ReportBlock notes = block(ReportBlock::Notes);
    notes.notes = {"made-up formula one", "made-up assumption two", "made-up note three"};
    ReportBlock damage = table(2, 3);
    damage.table.header.resize(5);
    QTest::newRow("18 rows, a chart and a damage summary: one page") << document(
        {block(ReportBlock::Heading, "Exceedances"), chart(), table(1, 18),
            block(ReportBlock::Heading, "Damage"),
            block(ReportBlock::Paragraph,
                "Made-up inputs, long enough to wrap: " + QString(40, u'x')
                    + " sigma 60 MPa, k 5, scatter factor 8, and more words to go on."),
            damage, notes}) << 1;
    // About 56 rows fill a page; the chart is 108 mm high, 73 mm at the least.
    QTest::newRow("45 rows, then a chart too high for the rest: two pages")
        << document({table(1, 45), block(ReportBlock::Heading, "Chart"), chart()}) << 2;
    QTest::newRow("150 rows: three pages")
        << document({table(1, 150), block(ReportBlock::Paragraph, "made-up end")}) << 3;
}

void TestReport::pdfPages()
{
    QFETCH(ReportDocument, document);
    QFETCH(int, pages);
    QBuffer buffer;
    QVERIFY(buffer.open(QIODevice::WriteOnly));
    const Result written
        = WriteReportPdf(buffer, document, QStringLiteral("Made-up"), QStringLiteral("tst_report"));
    QVERIFY2(written.ok(), qPrintable(written.message()));
    QVERIFY(buffer.data().startsWith("%PDF-"));
    const QString file = m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()) + ".pdf");
    WriteFile(file, buffer.data());

    const QString info = run("pdfinfo", {file});
    QVERIFY2(info.contains(QRegularExpression(
                 QStringLiteral("^Pages: +%1$").arg(pages), QRegularExpression::MultilineOption)),
        qPrintable(info));
    QVERIFY2(
        info.contains(QRegularExpression(QStringLiteral("^Page size: +595.* x 842.* pts \\(A4\\)"),
            QRegularExpression::MultilineOption)),
        qPrintable(info));
    // Every font is embedded: the "emb" column says yes on every line below the header.
    const QStringList fonts = run("pdffonts", {file}).split(u'\n', Qt::SkipEmptyParts);
    QVERIFY(fonts.size() >= 3);
    const qsizetype emb = fonts[0].indexOf(QStringLiteral("emb"));
    for (const QString &font : fonts.mid(2))
        QVERIFY2(font.mid(emb, 3) == QStringLiteral("yes"), qPrintable(font));

    QString all;
    int chartPages = 0;
    for (int page = 1; page <= pages; ++page) {
        const QString text = run("pdftotext",
            {"-f", QString::number(page), "-l", QString::number(page), "-layout", file, "-"});
        QVERIFY2(text.contains(QStringLiteral("made-up footer 1.2")), qPrintable(text));
        QVERIFY2(
            text.contains(QStringLiteral("page %1 of %2").arg(page).arg(pages)), qPrintable(text));
        // A table going on over a page end repeats its header.
        if (text.contains(QRegularExpression(QStringLiteral("t1r\\d+c0"))))
            QVERIFY2(text.contains(QStringLiteral("Count Nc")), qPrintable(text));
        // A chart is whole on its page: caption, legend and both axis titles.
        if (text.contains(QStringLiteral("made-up caption"))) {
            ++chartPages;
            for (const char *part : {"made-up series", "made-up axis [g]", "made-up value"})
                QVERIFY2(text.contains(QString::fromLatin1(part)), part);
        }
        all += text;
    }
    QCOMPARE(all.count(QStringLiteral("Made-up report")), 1);
    QCOMPARE(chartPages,
        int(std::count_if(document.blocks.begin(), document.blocks.end(),
            [](const ReportBlock &b) { return b.kind == ReportBlock::Chart; })));
    for (const ReportBlock &b : document.blocks) {
        for (const QStringList &row : b.table.rows) {
            for (const QString &cell : row)
                QVERIFY2(
                    all.count(QRegularExpression("\\b" + cell + "\\b")) == 1, qPrintable(cell));
        }
        for (const QString &note : b.notes)
            QVERIFY2(all.contains(note), qPrintable(note));
    }
}

void TestReport::unwritableDevice()
{
    QByteArray bytes;
    QBuffer readOnly(&bytes);
    QVERIFY(readOnly.open(QIODevice::ReadOnly));
    const Result result = WriteReportPdf(readOnly, document({table(1, 3)}), "x", "y");
    QVERIFY(!result.ok());
    QCOMPARE(result.failure(), Result::Failed);
    QVERIFY(bytes.isEmpty());
}

ZEMRA_TEST_MAIN(TestReport)

#include "tst_report.moc"
