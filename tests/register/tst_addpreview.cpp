#include "PostgresServer.h"
#include "Register.h"
#include "TestSupport.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <QTest>

// What `register add` would do with each record, asked before anything is written, on both
// engines: each class of record as the add itself finds it, and a register left as it was by a
// preview and by an add that was stopped.
namespace {
// After MadeUpTotals(9, 90): one counter smaller while the time goes on, as when it passed 65535.
CounterRecord wrapped()
{
    CounterRecord words = MadeUpTotals(12, 120);
    words[5] = 3;
    return words;
}

QByteArray exported(Register &reg)
{
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    const Result done = reg.exportJson(out);
    if (!done.ok())
        qWarning("%s", qPrintable(done.message()));
    return out.data();
}
} // namespace

class TestAddPreview : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void eachRecordDecided_data();
    void eachRecordDecided();
    void stoppedAddLeavesTheRegister_data();
    void stoppedAddLeavesTheRegister();

private:
    std::unique_ptr<Register> fleet(const QString &engine);
    QString file(const QList<CounterRecord> &records);

    QTemporaryDir m_dir;
    std::unique_ptr<PostgresServer> m_server;
    int m_files = 0;
};

void TestAddPreview::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_server = std::make_unique<PostgresServer>();
    QVERIFY2(m_server->ready(), qPrintable(m_server->reason()));
}

QString TestAddPreview::file(const QList<CounterRecord> &records)
{
    const QString path = m_dir.filePath(QStringLiteral("f%1.dat").arg(++m_files));
    WriteRecordsFile(path, records);
    return path;
}

// D-EAAA with three running read-outs (ids 1 to 3), D-EBBB with one (id 4), D-ESEP separate
// with none.
std::unique_ptr<Register> TestAddPreview::fleet(const QString &engine)
{
    QString text = m_dir.filePath(QStringLiteral("r%1.sqlite").arg(++m_files));
    if (engine == QLatin1String("postgresql"))
        text = m_server->url(m_server->createDatabase(QStringLiteral("preview")));
    OpenedRegister opened
        = Register::open(ParseRegisterLocation(text).location, Register::Access::Write);
    if (!opened.ok()) {
        qWarning("%s", qPrintable(opened.message()));
        return {};
    }
    Register &reg = *opened.reg;
    bool ok = reg.setAircraft({QStringLiteral("D-EAAA"), {}, CombineMode::Running, {}, {}, {}}).ok()
        && reg.setAircraft({QStringLiteral("D-EBBB"), {}, CombineMode::Running, {}, {}, {}}).ok()
        && reg.setAircraft({QStringLiteral("D-ESEP"), {}, CombineMode::Separate, {}, {}, {}}).ok();
    const QList<CounterRecord> first
        = {MadeUpTotals(2, 10), MadeUpTotals(5, 40), MadeUpTotals(9, 90)};
    for (int i = 0; i < first.size(); ++i)
        ok = ok
            && reg.add(QStringLiteral("D-EAAA"), {{file({first[i]}), QDate(2024, 1 + i, 1)}}).ok();
    ok = ok
        && reg.add(QStringLiteral("D-EBBB"), {{file({MadeUpTotals(1, 20)}), QDate(2024, 1, 1)}})
               .ok();
    if (!ok)
        return {};
    return std::move(opened.reg);
}

void TestAddPreview::eachRecordDecided_data()
{
    QTest::addColumn<QString>("engine");
    QTest::addColumn<QString>("registration");
    QTest::addColumn<QList<CounterRecord>>("records");
    QTest::addColumn<bool>("declared");
    QTest::addColumn<QList<int>>("kinds"); // AddClass of each record
    QTest::addColumn<qint64>("readout"); // the last record's: matched, another's, or its own
    QTest::addColumn<QString>("said"); // in the last record's text or other aircraft
    const auto kinds = [](std::initializer_list<AddClass> list) {
        QList<int> values;
        for (AddClass kind : list)
            values << int(kind);
        return values;
    };
    for (const char *engine : {"sqlite", "postgresql"}) {
        const auto row = [engine](const char *name, const char *registration) {
            return &(QTest::addRow("%s: %s", engine, name)
                << QString::fromLatin1(engine) << QString::fromLatin1(registration));
        };
        *row("new, separate", "D-ESEP")
            << QList {MadeUpTotals(3, 30), MadeUpTotals(1, 5)} << false
            << kinds({AddClass::New, AddClass::New}) << qint64(6) << QString();
        *row("new aircraft", "D-ENEW")
            << QList {MadeUpTotals(1, 1), MadeUpTotals(2, 2)} << false
            << kinds({AddClass::New, AddClass::Running}) << qint64(6) << QString();
        *row("already there", "D-EAAA") << QList {MadeUpTotals(5, 40)} << false
                                        << kinds({AddClass::Already}) << qint64(2) << QString();
        *row("twice in the file", "D-EAAA")
            << QList {MadeUpTotals(12, 120), MadeUpTotals(12, 120)} << false
            << kinds({AddClass::Running, AddClass::Already}) << qint64(5) << QString();
        *row("another aircraft's", "D-EAAA")
            << QList {MadeUpTotals(12, 120), MadeUpTotals(1, 20)} << false
            << kinds({AddClass::Running, AddClass::OtherAircraft}) << qint64(4)
            << QStringLiteral("D-EBBB");
        *row("wrap", "D-EAAA") << QList {wrapped()} << false << kinds({AddClass::Wrap}) << qint64(5)
                               << QStringLiteral("Wrap");
        *row("reset", "D-EAAA") << QList {MadeUpTotals(1, 5)} << false << kinds({AddClass::Reset})
                                << qint64(5) << QStringLiteral("Reset");
        *row("inconsistent", "D-EAAA")
            << QList {MadeUpTotals(12, 80)} << false << kinds({AddClass::Inconsistent}) << qint64(5)
            << QStringLiteral("read-out 3");
        *row("inconsistent declared a reset", "D-EAAA")
            << QList {MadeUpTotals(12, 80)} << true << kinds({AddClass::Reset}) << qint64(5)
            << QStringLiteral("Declared reset");
    }
}

void TestAddPreview::eachRecordDecided()
{
    QFETCH(QString, engine);
    QFETCH(QString, registration);
    QFETCH(QList<CounterRecord>, records);
    QFETCH(bool, declared);
    QFETCH(QList<int>, kinds);
    QFETCH(qint64, readout);
    QFETCH(QString, said);
    const std::unique_ptr<Register> reg = fleet(engine);
    QVERIFY(reg);
    const std::vector<AddFile> files = {{file(records), QDate(2024, 4, 1)}};
    const QByteArray before = exported(*reg);

    const AddPreviewResult preview
        = reg->previewAdd(registration, files, declared, CombineMode::Running);
    QVERIFY2(preview.ok(), qPrintable(preview.message()));
    QCOMPARE(exported(*reg), before);
    QCOMPARE(preview.newAircraft, registration == QLatin1String("D-ENEW"));
    QCOMPARE(int(preview.decisions.size()), kinds.size());
    for (int i = 0; i < kinds.size(); ++i) {
        QCOMPARE(int(preview.decisions[size_t(i)].kind), kinds[i]);
        QCOMPARE(preview.decisions[size_t(i)].record, qint64(i + 1));
    }
    const AddDecision &last = preview.decisions.back();
    QCOMPARE(last.readout, readout);
    QVERIFY2((last.kind == AddClass::OtherAircraft ? last.otherAircraft : last.text).contains(said),
        qPrintable(last.text));

    // The add itself does what the preview said.
    if (preview.newAircraft)
        QVERIFY(reg->setAircraft({registration, {}, CombineMode::Running, {}, {}, {}}).ok());
    const AddResult added = reg->add(registration, files, declared);
    QCOMPARE(added.ok(), !preview.refused());
    if (added.ok()) {
        const auto already = std::count_if(preview.decisions.begin(), preview.decisions.end(),
            [](const AddDecision &d) { return d.kind == AddClass::Already; });
        QCOMPARE(added.already, qint64(already));
        QCOMPARE(added.added, qint64(kinds.size()) - already);
    }
}

void TestAddPreview::stoppedAddLeavesTheRegister_data()
{
    QTest::addColumn<QString>("engine");
    QTest::addColumn<int>("records");
    QTest::addColumn<bool>("newAircraft");
    for (const char *engine : {"sqlite", "postgresql"}) {
        // Stopped between blocks of one long file, and after a short file.
        QTest::addRow("%s: long file", engine) << QString::fromLatin1(engine) << 10000 << false;
        QTest::addRow("%s: short file", engine) << QString::fromLatin1(engine) << 3 << false;
        // An aircraft made by the add goes with it.
        QTest::addRow("%s: new aircraft", engine) << QString::fromLatin1(engine) << 3 << true;
    }
}

void TestAddPreview::stoppedAddLeavesTheRegister()
{
    QFETCH(QString, engine);
    QFETCH(int, records);
    QFETCH(bool, newAircraft);
    const QString registration = newAircraft ? QStringLiteral("D-ENEW") : QStringLiteral("D-EAAA");
    std::optional<AircraftChange> made;
    if (newAircraft)
        made = AircraftChange {
            registration, QStringLiteral("Alder 2"), CombineMode::Running, {}, {}, {}};
    const std::unique_ptr<Register> reg = fleet(engine);
    QVERIFY(reg);
    QList<CounterRecord> rising;
    for (int i = 0; i < records; ++i)
        rising << MadeUpTotals(10 + i % 500, 100 + i);
    const std::vector<AddFile> files = {{file(rising), QDate(2024, 4, 1)}};
    const QByteArray before = exported(*reg);

    int asked = 0;
    qint64 lastDone = -1, lastTotal = 0;
    const AddResult added = reg->add(
        registration, files, false,
        [&](qint64 done, qint64 total) {
            ++asked, lastDone = done, lastTotal = total;
            return false;
        },
        made);
    QVERIFY(!added.ok());
    QVERIFY2(added.message().contains(QLatin1String("cancelled")), qPrintable(added.message()));
    QCOMPARE(asked, 1);
    // A long file is stopped between its blocks, before its end; a short one after it.
    QVERIFY(lastDone > 0);
    QCOMPARE(lastDone<lastTotal, records> 4096);
    QCOMPARE(lastTotal, QFileInfo(files.front().fileName).size());
    QCOMPARE(exported(*reg), before);
    // Going on, it is added whole.
    const AddResult whole = reg->add(
        registration, files, false, [](qint64, qint64) { return true; }, made);
    QVERIFY2(whole.ok(), qPrintable(whole.message()));
    QCOMPARE(whole.added, qint64(records));
    // The aircraft made is as asked.
    const HistoryResult history = reg->history(registration);
    QVERIFY2(history.ok(), qPrintable(history.message()));
    QCOMPARE(history.aircraft.type, newAircraft ? QStringLiteral("Alder 2") : QString());
}

QTEST_GUILESS_MAIN(TestAddPreview)
#include "tst_addpreview.moc"
