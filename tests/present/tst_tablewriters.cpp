#include "TableWriters.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

// The writers every table goes through: the keys from the column names, the people's text in
// aligned columns, CSV's quoting and JSON's types, the same for any table.
class TestTableWriters : public QObject
{
    Q_OBJECT

private slots:
    void keys_data();
    void keys();
    void text_data();
    void text();
    void csv_data();
    void csv();
    void jsonTypes();
    void jsonGroups();
    void formatsAndReport();
};

namespace {
// A table of one column and the given rows.
Table oneColumn(TableColumn column, const QList<TableCell> &cells)
{
    Table table;
    table.add(std::move(column));
    for (const TableCell &cell : cells)
        table.rows.push_back({cell});
    return table;
}
} // namespace

void TestTableWriters::keys_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("unit");
    QTest::addColumn<QString>("csv");
    QTest::addColumn<QString>("json");
    QTest::newRow("one word") << "hours"
                              << ""
                              << "hours"
                              << "hours";
    QTest::newRow("two words") << "added by"
                               << ""
                               << "added_by"
                               << "addedBy";
    QTest::newRow("digits") << "per 1000h"
                            << ""
                            << "per_1000h"
                            << "per1000h";
    QTest::newRow("unit only in CSV") << "valley"
                                      << "g"
                                      << "valley_g"
                                      << "valley";
    QTest::newRow("unit lower case") << "sa eq"
                                     << "MPa"
                                     << "sa_eq_mpa"
                                     << "saEq";
    QTest::newRow("extra blanks") << " life  used percent "
                                  << ""
                                  << "life_used_percent"
                                  << "lifeUsedPercent";
}

void TestTableWriters::keys()
{
    QFETCH(QString, name);
    QFETCH(QString, unit);
    QFETCH(QString, csv);
    QFETCH(QString, json);
    TableColumn column(name, CellKind::Number);
    column.withUnit(unit);
    QCOMPARE(CsvKey(column), csv);
    QCOMPARE(JsonKey(column), json);
}

void TestTableWriters::text_data()
{
    QTest::addColumn<Table>("table");
    QTest::addColumn<QString>("expected");

    Table mixed;
    mixed.add(TableColumn(QStringLiteral("name"), CellKind::Text, QStringLiteral("name")));
    mixed.add(TableColumn(QStringLiteral("n"), CellKind::Integer, QStringLiteral("count")));
    mixed.add(TableColumn(QStringLiteral("x"), CellKind::Number, QStringLiteral("x")));
    mixed.rows.push_back(
        {CellValue(QStringLiteral("a")), CellValue(qint64(12345)), CellValue(0.5)});
    mixed.rows.push_back(
        {CellValue(QStringLiteral("longer")), CellValue(qint64(7)), TableCell({}, Dash)});
    mixed.footer.push_back({CellValue(QStringLiteral("total")), CellValue(qint64(12352)), {}});
    QTest::newRow("text left, numbers right, footer last") << mixed
                                                           << "name    count    x\n"
                                                              "a       12345  0.5\n"
                                                              "longer      7    –\n"
                                                              "total   12352\n";

    Table counts;
    counts.elementNames = QStringList {QStringLiteral("-1.0"), QStringLiteral("3.0")};
    counts.add(TableColumn(QStringLiteral("id"), CellKind::Integer, QStringLiteral("id"))
                   .alignedLeft(true));
    counts.add(TableColumn(QStringLiteral("counts"), CellKind::Counts));
    counts.add(TableColumn(QStringLiteral("hidden"), CellKind::Text, QStringLiteral("h"))
                   .in(ForCsv | ForJson));
    counts.rows.push_back({CellValue(qint64(1)), CellValue(QList<qint64> {10, 200}),
        CellValue(QStringLiteral("never shown"))});
    QTest::newRow("counts under their element names, a column for files only left out")
        << counts
        << "id  -1.0  3.0\n"
           "1     10  200\n";
}

void TestTableWriters::text()
{
    QFETCH(Table, table);
    QFETCH(QString, expected);
    QByteArray out;
    AppendTableText(out, table);
    QCOMPARE(QString::fromUtf8(out), expected);
}

void TestTableWriters::csv_data()
{
    QTest::addColumn<Table>("table");
    QTest::addColumn<QByteArray>("expected");
    const auto text = [](const char *value) { return TableCell(QString::fromUtf8(value)); };
    QTest::newRow("quoting")
        << oneColumn(TableColumn(QStringLiteral("file name"), CellKind::Text),
               {text("plain"), text("a,b"), text("say \"hi\""), text("two\nlines"), {}})
        << QByteArray("file_name\r\nplain\r\n\"a,b\"\r\n\"say \"\"hi\"\"\"\r\n\"two\nlines\"\r\n"
                      "\r\n");
    QTest::newRow("outside text escaped") << oneColumn(
        TableColumn(QStringLiteral("added by"), CellKind::Text).fromOutside(), {text("eve\x1b[2J")})
                                          << QByteArray("added_by\r\neve\\x1b[2J\r\n");
    QTest::newRow("flag is its key or nothing") << oneColumn(
        TableColumn(QStringLiteral("reset"), CellKind::Flag), {TableCell(true), TableCell(false)})
                                                << QByteArray("reset\r\nreset\r\n\r\n");
    QTest::newRow("numbers shortest, people's text ignored")
        << oneColumn(TableColumn(QStringLiteral("hours"), CellKind::Number).withUnit("h"),
               {TableCell(0.1), TableCell(1.0 / 3.0, QStringLiteral("0.333 h")), TableCell(1e21)})
        << QByteArray("hours_h\r\n0.1\r\n0.3333333333333333\r\n1e+21\r\n");
    Table counts;
    counts.elementNames = QStringList {QStringLiteral("-1.0"), QStringLiteral("3.0")};
    counts.add(TableColumn(QStringLiteral("counts"), CellKind::Counts).ofElements("count"));
    counts.add(TableColumn(QStringLiteral("taken"), CellKind::Date));
    counts.rows.push_back({CellValue(QList<qint64> {1, 2}), CellValue(QDate(2024, 2, 29))});
    counts.rows.push_back({{}, {}});
    const QString shared = QStringLiteral("x,y");
    QTest::newRow("the same text again, then another of its length")
        << oneColumn(TableColumn(QStringLiteral("source"), CellKind::Text),
               {TableCell(shared), TableCell(shared), text("z,w"), TableCell(shared)})
        << QByteArray("source\r\n\"x,y\"\r\n\"x,y\"\r\n\"z,w\"\r\n\"x,y\"\r\n");
    Table repeated;
    repeated.add(TableColumn(QStringLiteral("source"), CellKind::Text).repeatingDown());
    repeated.add(TableColumn(QStringLiteral("hours"), CellKind::Number).repeatingDown());
    repeated.add(TableColumn(QStringLiteral("n"), CellKind::Integer));
    repeated.rows.push_back({text("a, b"), TableCell(2.5), TableCell(qint64(1))});
    repeated.rows.push_back({{}, {}, TableCell(qint64(2))});
    repeated.rows.push_back({text("c"), {}, {}});
    QTest::newRow("an empty cell of a repeated column takes the one above")
        << repeated
        << QByteArray("source,hours,n\r\n\"a, b\",2.5,1\r\n\"a, b\",2.5,2\r\nc,2.5,\r\n");
    QTest::newRow("decimal as given, a key given whole")
        << oneColumn(TableColumn(QStringLiteral("level"), CellKind::Decimal)
                         .keyedInCsv(QStringLiteral("Made-up, \"A\": level")),
               {text("-2.0"), text("3.0"), {}})
        << QByteArray("\"Made-up, \"\"A\"\": level\"\r\n-2.0\r\n3.0\r\n\r\n");
    QTest::newRow("counts a column each, dates ISO")
        << counts << QByteArray("count_-1.0,count_3.0,taken\r\n1,2,2024-02-29\r\n,,\r\n");
}

void TestTableWriters::csv()
{
    QFETCH(Table, table);
    QFETCH(QByteArray, expected);
    QByteArray out;
    AppendTableCsv(out, table);
    QCOMPARE(out, expected);
}

void TestTableWriters::jsonTypes()
{
    Table table;
    table.elementNames = QStringList {QStringLiteral("a"), QStringLiteral("b")};
    table.add(TableColumn(QStringLiteral("file name"), CellKind::Text));
    table.add(TableColumn(QStringLiteral("record"), CellKind::Integer));
    table.add(TableColumn(QStringLiteral("hours"), CellKind::Number).withUnit(QStringLiteral("h")));
    table.add(TableColumn(QStringLiteral("reset"), CellKind::Flag));
    table.add(TableColumn(QStringLiteral("taken"), CellKind::Date));
    table.add(TableColumn(QStringLiteral("counts"), CellKind::Counts));
    table.add(TableColumn(QStringLiteral("csv only"), CellKind::Text).in(ForCsv));
    table.rows.push_back({CellValue(QStringLiteral("q\"\n\x01")), CellValue(qint64(1) << 40),
        CellValue(0.1), CellValue(true), CellValue(QDate(2024, 1, 2)),
        CellValue(QList<qint64> {3, 4}), CellValue(QStringLiteral("x"))});
    table.rows.push_back({{}, {}, TableCell({}, Dash), CellValue(false), {}, {}, {}});
    QByteArray out;
    AppendTableJson(out, table);
    QJsonParseError error;
    const QJsonArray rows = QJsonDocument::fromJson(out, &error).array();
    QVERIFY2(error.error == QJsonParseError::NoError, qPrintable(error.errorString()));
    QCOMPARE(rows.size(), 2);
    const QJsonObject first = rows[0].toObject();
    QCOMPARE(
        first.keys(), QStringList({"counts", "fileName", "hours", "record", "reset", "taken"}));
    QCOMPARE(first["fileName"].toString(), QStringLiteral("q\"\n\x01"));
    QCOMPARE(first["record"].toInteger(), qint64(1) << 40);
    QCOMPARE(first["hours"].toDouble(), 0.1);
    QCOMPARE(first["reset"], QJsonValue(true));
    QCOMPARE(first["taken"].toString(), QStringLiteral("2024-01-02"));
    QCOMPARE(first["counts"].toArray(), QJsonArray({3, 4}));
    const QJsonObject second = rows[1].toObject();
    for (const char *key : {"fileName", "record", "hours", "taken", "counts"})
        QVERIFY2(second[QLatin1String(key)].isNull(), key);
    QCOMPARE(second["reset"], QJsonValue(false));
}

void TestTableWriters::jsonGroups()
{
    Table table;
    table.groups = QStringList {QStringLiteral("references"), QStringLiteral("none")};
    table.add(TableColumn(QStringLiteral("level"), CellKind::Decimal));
    for (int member = 0; member < 2; ++member) {
        table.add(TableColumn(QStringLiteral("per 1000h"), CellKind::Number).inGroup(0, member));
        table.add(TableColumn(QStringLiteral("ratio"), CellKind::Number).inGroup(0, member));
    }
    table.add(TableColumn(QStringLiteral("nc"), CellKind::Integer));
    table.rows.push_back({TableCell(QStringLiteral("-2.0")), TableCell(20.0), TableCell(0.5), {},
        {}, TableCell(qint64(3))});
    table.rows.push_back({TableCell(QStringLiteral("1.4"))});
    QByteArray compact;
    AppendTableJson(compact, table, JsonLayout::Compact);
    // The plain columns first, in order; then each group, an object per member, even when the
    // group has no columns.
    QCOMPARE(compact,
        QByteArray("[{\"level\":-2.0,\"nc\":3,\"references\":[{\"per1000h\":20,\"ratio\":0.5},"
                   "{\"per1000h\":null,\"ratio\":null}],\"none\":[]},"
                   "{\"level\":1.4,\"nc\":null,\"references\":[{\"per1000h\":null,\"ratio\":null},"
                   "{\"per1000h\":null,\"ratio\":null}],\"none\":[]}]"));
    QByteArray lines;
    AppendTableJson(lines, table);
    QVERIFY(lines.startsWith("[\n{") && lines.endsWith("}\n]"));
    QCOMPARE(QJsonDocument::fromJson(lines).array(), QJsonDocument::fromJson(compact).array());
    QByteArray csv;
    AppendTableCsv(csv, table);
    QVERIFY2(csv.startsWith("level,per_1000h,ratio,per_1000h,ratio,nc\r\n-2.0,20,0.5,,,3\r\n"),
        csv.constData());
}

void TestTableWriters::formatsAndReport()
{
    Table table;
    table.add(TableColumn(QStringLiteral("name"), CellKind::Text, QStringLiteral("Name")));
    table.add(TableColumn(QStringLiteral("files only"), CellKind::Integer).in(ForCsv | ForJson));
    table.add(TableColumn(QStringLiteral("d"), CellKind::Number, QStringLiteral("D")));
    table.rows.push_back({CellValue(QStringLiteral("x")), CellValue(qint64(5)), CellValue(2.5)});
    const ReportTable report = TableForReport(table);
    QCOMPARE(report.header, QStringList({"Name", "D"}));
    QCOMPARE(report.rows, QList<QStringList>({{"x", "2.5"}}));
    QCOMPARE(report.rightAligned, QList<int>({1}));
    QByteArray csv;
    AppendTableCsv(csv, table, false);
    QCOMPARE(csv, QByteArray("x,5,2.5\r\n"));
}

QTEST_GUILESS_MAIN(TestTableWriters)
#include "tst_tablewriters.moc"
