#include "PostgresServer.h"
#include "Register.h"
#include "SchemaVersion3.h"
#include "TestSupport.h"

#include <QBuffer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

// A type's design spectrum in the register, on both engines: kept, removed, refused when it is
// no spectrum, carried by the export, and made room for by the upgrade from schema version 3.
namespace {
// Counts non-increasing outward from 1 g on both branches, over exactly 1000 h.
const std::array<int, LevelCount> Flown {
    1, 3, 8, 20, 90, 300, 700, 420, 260, 150, 90, 50, 30, 15, 8, 4, 2, 1};

CounterRecord thousandHours()
{
    CounterRecord record {};
    for (int level = 0; level < LevelCount; ++level)
        record[level] = std::uint16_t(Flown[level]);
    record[ActivePeriodsWord] = 83; // 83 · 12 h + 14400 s = 1000 h
    record[ActiveSecondsWord] = 14400;
    return record;
}

// Made-up design spectrum, NOT real data: a point at each level of `Flown`.
QString designText(const QString &name = QStringLiteral("Made-up design"))
{
    QString text = QStringLiteral("# Made-up example, NOT real data\nname,%1\nsource,Invented\n"
                                  "table,Table 4\npage,9\nnormalisation,per 1000 h\naxis,n\n")
                       .arg(name);
    for (int level = 0; level < LevelCount; ++level)
        text += QStringLiteral("%1,%2,%3\n")
                    .arg(LoadLevels[level].n < 1 ? QStringLiteral("negative")
                                                 : QStringLiteral("positive"),
                        QLatin1String(LoadLevels[level].text))
                    .arg(Flown[level]);
    return text;
}

StructuralData structure()
{
    DamageParameters p;
    p.stressPerG = 60, p.slope = 5, p.enduranceStress = 80, p.enduranceCycles = 2e6;
    p.maxLoadPositive = 5.7, p.maxLoadNegative = -2.28;
    return {p, std::nullopt};
}
} // namespace

class TestRegisterDesign : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void severity_data() { engines(); }
    void severity();
    void refused_data();
    void refused();
    void upgradeFromVersion3_data() { engines(); }
    void upgradeFromVersion3();
    void exportCarriesIt_data();
    void exportCarriesIt();
    void importVersions_data();
    void importVersions();
    void priorHours_data();
    void priorHours();

private:
    void engines();
    RegisterLocation fresh(const QString &engine);
    std::unique_ptr<Register> open(const RegisterLocation &location);
    // A register with type "Trainer" (S-N data and design spectrum) and SP-ZEA of it, which has
    // flown the design spectrum for 1000 h.
    std::unique_ptr<Register> trainer(const QString &engine);
    QByteArray exported(Register &reg);

    QTemporaryDir m_dir;
    std::unique_ptr<PostgresServer> m_server;
    int m_registers = 0;
};

void TestRegisterDesign::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_server = std::make_unique<PostgresServer>();
    QVERIFY2(m_server->ready(), qPrintable(m_server->reason()));
}

void TestRegisterDesign::init()
{
    QTest::failOnWarning(QRegularExpression(QStringLiteral(".")));
}

void TestRegisterDesign::engines()
{
    QTest::addColumn<QString>("engine");
    QTest::newRow("sqlite") << QStringLiteral("sqlite");
    QTest::newRow("postgresql") << QStringLiteral("postgresql");
}

RegisterLocation TestRegisterDesign::fresh(const QString &engine)
{
    if (engine == QLatin1String("sqlite"))
        return ParseRegisterLocation(
            m_dir.filePath(QStringLiteral("d%1.sqlite").arg(++m_registers)))
            .location;
    const QString database = m_server->createDatabase(QStringLiteral("design"));
    if (database.isEmpty())
        qWarning("%s", qPrintable(m_server->reason()));
    return ParseRegisterLocation(m_server->url(database)).location;
}

std::unique_ptr<Register> TestRegisterDesign::open(const RegisterLocation &location)
{
    RegisterOptions options;
    options.user = QStringLiteral("tester");
    OpenedRegister opened = Register::open(location, Register::Access::Write, options);
    if (!opened.ok())
        qWarning("%s", qPrintable(opened.message()));
    return std::move(opened.reg);
}

std::unique_ptr<Register> TestRegisterDesign::trainer(const QString &engine)
{
    std::unique_ptr<Register> reg = open(fresh(engine));
    if (!reg || !reg->setType(QStringLiteral("Trainer"), structure()).ok()
        || !reg->setTypeDesign(QStringLiteral("Trainer"),
                   DesignSpectrumFile {QStringLiteral("design.csv"), designText()})
                .ok()
        || !reg->setAircraft(
                   {QStringLiteral("SP-ZEA"), QStringLiteral("Trainer"), CombineMode::Separate, {}})
                .ok())
        return nullptr;
    const QString data = m_dir.filePath(QStringLiteral("flown%1.dat").arg(m_registers));
    WriteFile(data, RecordFileBytes(thousandHours()));
    const AddResult added = reg->add(QStringLiteral("SP-ZEA"), {{data, QDate(2026, 10, 1)}});
    if (!added.ok())
        qWarning("%s", qPrintable(added.message()));
    return added.ok() ? std::move(reg) : nullptr;
}

QByteArray TestRegisterDesign::exported(Register &reg)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (const Result written = reg.exportJson(buffer); !written.ok())
        qWarning("%s", qPrintable(written.message()));
    return buffer.data();
}

// Flown as the design spectrum: severity 1 in the list, the fleet and the history; without the
// design spectrum none, and said why.
void TestRegisterDesign::severity()
{
    QFETCH(QString, engine);
    std::unique_ptr<Register> reg = trainer(engine);
    QVERIFY(reg);
    const AircraftInfo aircraft = reg->aircraft(QStringLiteral("sp-zea")).aircraft;
    QVERIFY(aircraft.design);
    QCOMPARE(aircraft.design->fileName, QStringLiteral("design.csv"));
    QCOMPARE(aircraft.design->text, designText());
    QCOMPARE(aircraft.design->spectrum.name, QStringLiteral("Made-up design"));

    const UsageListResult list = reg->list();
    QVERIFY2(list.ok(), qPrintable(list.message()));
    const UsageListResult fleet = reg->fleet();
    const HistoryResult history = reg->history(QStringLiteral("SP-ZEA"));
    for (const UsageFigures *usage :
        {&list.aircraft.front().usage, &fleet.aircraft.front().usage, &history.usage}) {
        QVERIFY2(usage->severity, qPrintable(usage->severityNote));
        QCOMPARE(usage->severity->counted.value, std::optional(1.0));
        QCOMPARE(usage->severity->upper.value, std::optional(1.0));
    }

    // Another replaces it.
    const TypeResult replaced = reg->setTypeDesign(QStringLiteral("trainer"),
        DesignSpectrumFile {QStringLiteral("second.csv"), designText(QStringLiteral("Second"))});
    QVERIFY2(replaced.ok(), qPrintable(replaced.message()));
    QCOMPARE(reg->aircraft(QStringLiteral("SP-ZEA")).aircraft.design->spectrum.name,
        QStringLiteral("Second"));

    const TypeResult removed = reg->setTypeDesign(QStringLiteral("TRAINER"), std::nullopt);
    QVERIFY2(removed.ok(), qPrintable(removed.message()));
    QVERIFY(!removed.type.design);
    QCOMPARE(removed.type.aircraft, 1);
    // The structural data stays.
    QVERIFY(removed.type.structure.damage);
    const UsageFigures after = reg->list().aircraft.front().usage;
    QVERIFY(after.summed && !after.severity);
    QCOMPARE(after.severityNote, QStringLiteral("no design spectrum for its type"));
}

void TestRegisterDesign::refused_data()
{
    QTest::addColumn<QString>("engine");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    for (const char *engine : {"sqlite", "postgresql"}) {
        QTest::addRow("%s, not a spectrum", engine)
            << engine << "bad.csv"
            << "name,x\n"
            << "Not a valid reference spectrum in \"bad.csv\"";
        QTest::addRow("%s, U+0000", engine)
            << engine << "nul.csv" << designText() + QChar(0) << "U+0000";
    }
}

// A refused design spectrum leaves the one kept before.
void TestRegisterDesign::refused()
{
    QFETCH(QString, engine);
    QFETCH(QString, file);
    QFETCH(QString, text);
    QFETCH(QString, message);
    std::unique_ptr<Register> reg = trainer(engine);
    QVERIFY(reg);
    const TypeResult set
        = reg->setTypeDesign(QStringLiteral("Trainer"), DesignSpectrumFile {file, text});
    QVERIFY(!set.ok());
    QCOMPARE(set.failure(), Result::Invalid);
    QVERIFY2(set.message().contains(message), qPrintable(set.message()));
    const AircraftInfo aircraft = reg->aircraft(QStringLiteral("SP-ZEA")).aircraft;
    QVERIFY(aircraft.design);
    QCOMPARE(aircraft.design->text, designText());
}

// A register of version 3 (version 4 without the design spectra) is upgraded to take them.
void TestRegisterDesign::upgradeFromVersion3()
{
    QFETCH(QString, engine);
    const RegisterLocation location = fresh(engine);
    {
        std::unique_ptr<Register> made = open(location);
        QVERIFY(made);
        QVERIFY(made->setType(QStringLiteral("Trainer"), structure()).ok());
    }
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(
            engine == QLatin1String("sqlite") ? QStringLiteral("QSQLITE") : QStringLiteral("QPSQL"),
            QStringLiteral("raw"));
        db.setDatabaseName(engine == QLatin1String("sqlite") ? location.path : location.database);
        db.setHostName(location.host);
        db.setUserName(location.user);
        QVERIFY(db.open());
        QSqlQuery query(db);
        QString failed;
        QVERIFY2(DowngradeToVersion3(query, failed), qPrintable(failed));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("raw"));
    RegisterOptions options;
    OpenedRegister opened = Register::open(location, Register::Access::Write, options);
    QVERIFY2(opened.ok(), qPrintable(opened.message()));
    QCOMPARE(opened.upgradedFrom, std::optional<int>(3));
    const TypeResult set = opened.reg->setTypeDesign(
        QStringLiteral("Trainer"), DesignSpectrumFile {QStringLiteral("d.csv"), designText()});
    QVERIFY2(set.ok(), qPrintable(set.message()));
    QVERIFY(set.type.design && set.type.structure.damage);
}

void TestRegisterDesign::exportCarriesIt_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::newRow("sqlite to postgresql") << "sqlite"
                                          << "postgresql";
    QTest::newRow("postgresql to sqlite") << "postgresql"
                                          << "sqlite";
}

void TestRegisterDesign::exportCarriesIt()
{
    QFETCH(QString, from);
    QFETCH(QString, to);
    std::unique_ptr<Register> source = trainer(from);
    QVERIFY(source);
    // Quotes, a comma and line ends in the text: carried as they are.
    QVERIFY(source
                ->setTypeDesign(QStringLiteral("Other"),
                    DesignSpectrumFile {QStringLiteral("o \"x\".csv"),
                        designText(QStringLiteral("\"Other\", rev. B")).replace('\n', "\r\n")})
                .ok());
    const QByteArray document = exported(*source);
    const QJsonObject root = QJsonDocument::fromJson(document).object();
    QCOMPARE(root.value("version").toInt(), 3);
    const QJsonObject type = root.value("types").toArray().at(0).toObject();
    QCOMPARE(type.value("designSpectrum").toObject().value("text").toString(), designText());

    std::unique_ptr<Register> target = open(fresh(to));
    QVERIFY(target);
    const ImportResult imported = target->importJson(document, QStringLiteral("export.json"));
    QVERIFY2(imported.ok(), qPrintable(imported.message()));
    QCOMPARE(exported(*target), document);
    const UsageFigures usage = target->list().aircraft.front().usage;
    QVERIFY2(usage.severity, qPrintable(usage.severityNote));
    QCOMPARE(usage.severity->counted.value, std::optional(1.0));
}

void TestRegisterDesign::importVersions_data()
{
    QTest::addColumn<QString>("engine");
    QTest::addColumn<QByteArray>("document");
    QTest::addColumn<QString>("refusal"); // empty: taken in
    QTest::addColumn<bool>("design"); // the type has one afterwards

    const QByteArray types = "\"types\":[{\"name\":\"Trainer\",\"structure\":null";
    const QByteArray end = "}],\"aircraft\":[]}";
    const QByteArray text
        = QJsonDocument(QJsonArray {designText()}).toJson(QJsonDocument::Compact).mid(1).chopped(1);
    for (const char *engine : {"sqlite", "postgresql"}) {
        QTest::addRow("%s, version 1", engine)
            << engine << "{\"format\":\"zemra-register\",\"version\":1," + types + end << ""
            << false;
        QTest::addRow("%s, version 2 with a design spectrum", engine)
            << engine
            << "{\"format\":\"zemra-register\",\"version\":2," + types
                + ",\"designSpectrum\":{\"file\":\"d.csv\",\"text\":" + text + "}" + end
            << "" << true;
        QTest::addRow("%s, a design spectrum that is none", engine)
            << engine
            << "{\"format\":\"zemra-register\",\"version\":2," + types
                + ",\"designSpectrum\":{\"file\":\"d.csv\",\"text\":\"name,x\\n\"}" + end
            << "type 1, \"designSpectrum\"" << false;
        const QByteArray sn = "\"structure\":{\"sigma1\":80,\"k\":5,\"sd\":60,\"nd\":2e6,";
        const QByteArray fin = "{\"name\":\"fin\",\"sigma1\":40,\"k\":4,\"sd\":60,\"nd\":2e6,"
                               "\"below\":\"haibach\",\"su\":null}";
        const QByteArray located = "{\"format\":\"zemra-register\",\"version\":3,\"types\":[{"
                                   "\"name\":\"Trainer\",";
        QTest::addRow("%s, version 3 with locations", engine)
            << engine << located + sn + "\"locations\":[" + fin + "]}" + end << "" << false;
        QTest::addRow("%s, a location without S-N data", engine)
            << engine << located + "\"structure\":{\"locations\":[" + fin + "]}" + end
            << "\"locations\" without S-N data" << false;
        QTest::addRow("%s, a location without its name", engine)
            << engine
            << located + sn + "\"locations\":[" + QByteArray(fin).replace("\"fin\"", "\"\"") + "]}"
                + end
            << "must be a list of locations" << false;
        QTest::addRow("%s, two locations of one name", engine)
            << engine << located + sn + "\"locations\":[" + fin + "," + fin + "]}" + end
            << "must be a list of locations" << false;
        QTest::addRow("%s, version 4", engine)
            << engine << "{\"format\":\"zemra-register\",\"version\":4," + types + end
            << "format version 4" << false;
    }
}

void TestRegisterDesign::importVersions()
{
    QFETCH(QString, engine);
    QFETCH(QByteArray, document);
    QFETCH(QString, refusal);
    QFETCH(bool, design);
    std::unique_ptr<Register> reg = open(fresh(engine));
    QVERIFY(reg);
    const ImportResult imported = reg->importJson(document, QStringLiteral("in.json"));
    QCOMPARE(imported.ok(), refusal.isEmpty());
    if (!imported.ok()) {
        QVERIFY2(imported.message().contains(refusal), qPrintable(imported.message()));
        // Nothing of it was kept.
        QVERIFY(
            QJsonDocument::fromJson(exported(*reg)).object().value("types").toArray().isEmpty());
        return;
    }
    QVERIFY(reg->setAircraft(
                   {QStringLiteral("SP-ZEB"), QStringLiteral("Trainer"), CombineMode::Running, {}})
                .ok());
    QCOMPARE(reg->aircraft(QStringLiteral("SP-ZEB")).aircraft.design.has_value(), design);
}

// Hours before the recorder at a severity count as that many hours of the design spectrum
// flown that hard: an aircraft with 1000 h at severity S before its recorder uses as much life
// as one that recorded the design spectrum's 1000 h S times more.
void TestRegisterDesign::priorHours_data()
{
    QTest::addColumn<QString>("engine");
    QTest::addColumn<double>("hours");
    QTest::addColumn<double>("severity");
    QTest::addColumn<int>("recorded"); // thousand-hour read-outs of the design spectrum alike
    for (const char *engine : {"sqlite", "postgresql"}) {
        QTest::addRow("%s: 1000 h as designed", engine)
            << QString::fromLatin1(engine) << 1000.0 << 1.0 << 1;
        QTest::addRow("%s: 500 h twice as hard", engine)
            << QString::fromLatin1(engine) << 500.0 << 2.0 << 1;
        QTest::addRow("%s: 3000 h as designed", engine)
            << QString::fromLatin1(engine) << 3000.0 << 1.0 << 3;
    }
}

void TestRegisterDesign::priorHours()
{
    QFETCH(QString, engine);
    QFETCH(double, hours);
    QFETCH(double, severity);
    QFETCH(int, recorded);
    const std::unique_ptr<Register> reg = trainer(engine);
    QVERIFY(reg);
    // SP-ZEA flew the design spectrum's 1000 h on its recorder; SP-ZEB the same, and the hours
    // before its recorder; SP-ZEC, recorded, what SP-ZEB flew before.
    const auto add = [&](const char *plane, int copies, int first) {
        QVERIFY(reg->setAircraft({QString::fromLatin1(plane), QStringLiteral("Trainer"),
                                     CombineMode::Separate, {}})
                    .ok());
        for (int copy = 0; copy < copies; ++copy) {
            CounterRecord words = thousandHours();
            words[BatterySecondsWord] = std::uint16_t(first + copy);
            const QString data = m_dir.filePath(QStringLiteral("prior-%1-%2-%3.dat")
                                                    .arg(m_registers)
                                                    .arg(QLatin1String(plane))
                                                    .arg(copy));
            WriteFile(data, RecordFileBytes(words));
            QVERIFY(reg->add(QString::fromLatin1(plane), {{data, QDate(2026, 10, 1 + copy)}}).ok());
        }
    };
    add("SP-ZEB", 1, 100);
    add("SP-ZEC", 1 + recorded, 200);
    AircraftChange change {QStringLiteral("SP-ZEB")};
    change.prior = AircraftChange::Prior {hours, severity};
    QVERIFY(reg->setAircraft(change).ok());

    std::map<QString, AircraftUsage> rows;
    for (const AircraftUsage &row : reg->fleet().aircraft)
        rows[row.aircraft.registration] = row;
    const SummedDamage &before = *rows[QStringLiteral("SP-ZEB")].usage.summed;
    const SummedDamage &recordedAll = *rows[QStringLiteral("SP-ZEC")].usage.summed;
    QCOMPARE(before.priorHours, std::optional<double>(hours));
    QVERIFY(qFuzzyCompare(before.lifeUsedPercent, recordedAll.lifeUsedPercent));
    QVERIFY(qFuzzyCompare(*before.upperLifeUsedPercent, *recordedAll.upperLifeUsedPercent));
    // Its rate is its recorder's alone, as SP-ZEA's.
    QCOMPARE(before.damagePer1000h, rows[QStringLiteral("SP-ZEA")].usage.summed->damagePer1000h);
    // The history's forecast counts them too.
    const ForecastInput input = ForecastInputOf(reg->history(QStringLiteral("SP-ZEB")));
    QVERIFY(input.prior);
    QVERIFY(qFuzzyCompare(
        LifeUsedPercent(
            input.periods.front().damage.counted + input.prior->damage(Estimate::Counted), 8),
        recordedAll.lifeUsedPercent));

    // Without the design spectrum to weigh them by, they do not count, and that is said.
    QVERIFY(reg->setTypeDesign(QStringLiteral("Trainer"), std::nullopt).ok());
    for (const AircraftUsage &row : reg->fleet().aircraft) {
        if (row.aircraft.registration != QLatin1String("SP-ZEB"))
            continue;
        QVERIFY(!row.usage.summed->priorHours);
        QVERIFY2(
            row.priorNote.contains(QLatin1String("no design spectrum")), qPrintable(row.priorNote));
        QCOMPARE(row.usage.summed->lifeUsedPercent,
            rows[QStringLiteral("SP-ZEA")].usage.summed->lifeUsedPercent);
    }
}

QTEST_GUILESS_MAIN(TestRegisterDesign)
#include "tst_registerdesign.moc"
