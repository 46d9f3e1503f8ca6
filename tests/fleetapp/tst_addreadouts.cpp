#include "AddReadoutsDialog.h"
#include "FleetRegister.h"
#include "FleetWindow.h"

#include <QBuffer>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTableWidget>
#include <QTimer>

// Add Read-outs against registers of both engines: the dialog says what the register will do with
// each record before anything is written, only Add writes, and a cancelled add leaves the register
// as it was, byte for byte.
class TestAddReadouts : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void dialogShowsDecisions_data();
    void dialogShowsDecisions();
    void onlyAddWrites_data();
    void onlyAddWrites();
    void cancelLeavesTheRegister_data();
    void cancelLeavesTheRegister();

private:
    void engines();
    QString file(const QList<CounterRecord> &records);
    // Runs the action and waits for the window's work; the boxes shown meanwhile, each closed.
    QStringList boxes(const std::function<void()> &action);

    FleetRegisters m_registers;
    std::unique_ptr<QSettings> m_settings;
    std::unique_ptr<FleetWindow> m_window;
    int m_files = 0;
};

void TestAddReadouts::initTestCase()
{
    QString reason;
    QVERIFY2(m_registers.start(reason), qPrintable(reason));
    qunsetenv("PGPASSWORD");
    qputenv("PGPASSFILE", m_registers.dir(QStringLiteral("no-pgpass")).toLocal8Bit());
}

void TestAddReadouts::init()
{
    m_settings = std::make_unique<QSettings>(
        m_registers.dir(QStringLiteral("settings%1.conf").arg(++m_files)), QSettings::IniFormat);
    m_window = std::make_unique<FleetWindow>(*m_settings);
    m_window->show();
}

void TestAddReadouts::cleanup()
{
    m_window.reset();
    m_settings.reset();
}

void TestAddReadouts::engines()
{
    QTest::addColumn<QString>("engine");
    QTest::newRow("sqlite") << QStringLiteral("sqlite");
    QTest::newRow("postgresql") << QStringLiteral("postgresql");
}

QString TestAddReadouts::file(const QList<CounterRecord> &records)
{
    const QString path = m_registers.dir(QStringLiteral("add%1.dat").arg(++m_files));
    WriteRecordsFile(path, records);
    return path;
}

QStringList TestAddReadouts::boxes(const std::function<void()> &action)
{
    QStringList said;
    QTimer closer;
    closer.setInterval(20);
    QObject::connect(&closer, &QTimer::timeout, [&said] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            said << box->objectName() + QLatin1Char(':') + box->text();
            box->accept();
        }
    });
    closer.start();
    action();
    m_window->waitUntilIdle();
    return said;
}

void TestAddReadouts::dialogShowsDecisions_data()
{
    QTest::addColumn<QString>("engine");
    QTest::addColumn<QString>("registration");
    QTest::addColumn<QList<CounterRecord>>("records");
    QTest::addColumn<bool>("declared");
    QTest::addColumn<QStringList>("said"); // each record's row begins so
    QTest::addColumn<bool>("addable");
    for (const char *engine : {"sqlite", "postgresql"}) {
        const auto row = [engine](const char *name, const char *registration) {
            return &(QTest::addRow("%s: %s", engine, name)
                << QString::fromLatin1(engine) << QString::fromLatin1(registration));
        };
        *row("already there, running", "D-EAAA")
            << QList {MadeUpTotals(5, 40), MadeUpTotals(12, 120)} << false
            << QStringList {"already there: read-out 2", "new, running"} << true;
        *row("another aircraft's", "D-EAAA") << QList {MadeUpTotals(10, 100)} << false
                                             << QStringList {"another aircraft's: read-out 5 "
                                                             "of D-EBBB — refused"}
                                             << false;
        *row("reset", "D-EAAA") << QList {MadeUpTotals(1, 1)} << false
                                << QStringList {"new, reset: Reset"} << true;
        *row("inconsistent", "D-EAAA") << QList {MadeUpTotals(12, 80)} << false
                                       << QStringList {"inconsistent — refused"} << false;
        *row("inconsistent, declared a reset", "D-EAAA")
            << QList {MadeUpTotals(12, 80)} << true << QStringList {"new, reset: Declared reset"}
            << true;
        *row("a new aircraft", "D-ENEW")
            << QList {MadeUpTotals(1, 1), MadeUpTotals(2, 2)} << false
            << QStringList {"new: added whole", "new, running"} << true;
    }
}

// The decisions of the registration and choice given, as the table shows them, and Add only
// where the register would not refuse.
void TestAddReadouts::dialogShowsDecisions()
{
    QFETCH(QString, engine);
    QFETCH(QString, registration);
    QFETCH(QList<CounterRecord>, records);
    QFETCH(bool, declared);
    QFETCH(QStringList, said);
    QFETCH(bool, addable);
    const QString location = m_registers.fleet(engine);
    QVERIFY(!location.isEmpty());
    const QByteArray before = FleetRegisters::exported(location);
    AddReadoutsDialog dialog(ParseRegisterLocation(location).location,
        {{file(records), QDate(2024, 6, 1)}}, {QStringLiteral("D-EAAA"), QStringLiteral("D-EBBB")});
    auto *combo = dialog.findChild<QComboBox *>(QStringLiteral("registrationCombo"));
    auto *reset = dialog.findChild<QCheckBox *>(QStringLiteral("resetCheck"));
    auto *table = dialog.findChild<QTableWidget *>(QStringLiteral("decisionTable"));
    auto *add = dialog.findChild<QPushButton *>(QStringLiteral("addButton"));
    QVERIFY(combo && reset && table && add);
    combo->setCurrentText(registration);
    reset->setChecked(declared);
    dialog.waitUntilIdle();
    QCOMPARE(table->rowCount(), said.size());
    for (int row = 0; row < said.size(); ++row)
        QVERIFY2(table->item(row, 2)->text().startsWith(said[row]),
            qPrintable(table->item(row, 2)->text()));
    QCOMPARE(add->isEnabled(), addable);
    QCOMPARE(dialog.newAircraft().has_value(), registration == QLatin1String("D-ENEW"));
    QCOMPARE(FleetRegisters::exported(location), before);
}

void TestAddReadouts::onlyAddWrites_data()
{
    QTest::addColumn<QString>("engine");
    QTest::addColumn<QString>("button");
    for (const char *engine : {"sqlite", "postgresql"}) {
        QTest::addRow("%s: Add", engine) << QString::fromLatin1(engine) << "addButton";
        QTest::addRow("%s: Cancel", engine) << QString::fromLatin1(engine) << "cancelButton";
    }
}

// Through the window: the dialog shown, its preview waited for, then Add or Cancel pressed.
void TestAddReadouts::onlyAddWrites()
{
    QFETCH(QString, engine);
    QFETCH(QString, button);
    const QString location = m_registers.fleet(engine);
    QVERIFY(!location.isEmpty());
    QCOMPARE(boxes([&] { m_window->openLocation(location); }), QStringList());
    const QByteArray before = FleetRegisters::exported(location);
    const std::vector<AddFile> files
        = {{file({MadeUpTotals(12, 120), MadeUpTotals(1, 1)}), QDate(2024, 6, 1)}};
    bool pressed = false;
    QTimer presser;
    presser.setInterval(20);
    connect(&presser, &QTimer::timeout, [&] {
        auto *dialog = qobject_cast<AddReadoutsDialog *>(QApplication::activeModalWidget());
        if (!dialog || pressed)
            return;
        dialog->findChild<QComboBox *>(QStringLiteral("registrationCombo"))
            ->setCurrentText(QStringLiteral("D-EAAA"));
        dialog->waitUntilIdle();
        pressed = true;
        dialog->findChild<QPushButton *>(button)->click();
    });
    presser.start();
    const QStringList said = boxes([&] { m_window->addReadouts(files); });
    QVERIFY(pressed);
    if (button == QLatin1String("cancelButton")) {
        QCOMPARE(said, QStringList());
        QCOMPARE(FleetRegisters::exported(location), before);
        return;
    }
    QCOMPARE(said,
        QStringList {QStringLiteral("addedBox:2 read-out(s) added to D-EAAA; 0 record(s) already "
                                    "there. Resets and wraps found: 1.")});
    QVERIFY(FleetRegisters::exported(location) != before);
}

void TestAddReadouts::cancelLeavesTheRegister_data()
{
    QTest::addColumn<QString>("engine");
    QTest::addColumn<QString>("registration");
    QTest::addColumn<bool>("newAircraft");
    for (const char *engine : {"sqlite", "postgresql"}) {
        QTest::addRow("%s: an aircraft of the register", engine)
            << QString::fromLatin1(engine) << QStringLiteral("D-EAAA") << false;
        // Made with the add: cancelled, it is not left behind.
        QTest::addRow("%s: a new aircraft", engine)
            << QString::fromLatin1(engine) << QStringLiteral("D-ENEW") << true;
    }
}

// A long file's add cancelled from its progress: the register's own refusal, and its export
// byte for byte as before; the same add not cancelled adds every record.
void TestAddReadouts::cancelLeavesTheRegister()
{
    QFETCH(QString, engine);
    QFETCH(QString, registration);
    QFETCH(bool, newAircraft);
    std::optional<NewAircraft> made;
    if (newAircraft)
        made = NewAircraft {QStringLiteral("Alder 2"), CombineMode::Running};
    const QString location = m_registers.fleet(engine);
    QVERIFY(!location.isEmpty());
    QCOMPARE(boxes([&] { m_window->openLocation(location); }), QStringList());
    QList<CounterRecord> rising;
    for (int i = 0; i < 10000; ++i)
        rising << MadeUpTotals(12 + i / 50, 100 + i);
    const std::vector<AddFile> files = {{file(rising), QDate(2024, 6, 1)}};
    const QByteArray before = FleetRegisters::exported(location);

    const QStringList cancelled = boxes([&] {
        m_window->addTo(registration, files, false, made);
        // Before the first block is in: the add is then stopped between blocks.
        auto *cancel = m_window->findChild<QPushButton *>(QStringLiteral("addCancelButton"));
        QVERIFY(cancel);
        cancel->click();
    });
    QCOMPARE(cancelled.size(), 1);
    QVERIFY2(cancelled.front().startsWith(QLatin1String("refusalBox:The add was cancelled.")),
        qPrintable(cancelled.front()));
    QCOMPARE(FleetRegisters::exported(location), before);

    const QStringList added = boxes([&] { m_window->addTo(registration, files, false, made); });
    QCOMPARE(added.size(), 1);
    QVERIFY2(added.front().startsWith(QLatin1String("addedBox:10000 read-out(s) added")),
        qPrintable(added.front()));
}

QTEST_MAIN(TestAddReadouts)
#include "tst_addreadouts.moc"
