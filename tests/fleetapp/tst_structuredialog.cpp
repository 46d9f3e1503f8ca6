#include "AircraftPage.h"
#include "FleetRegister.h"
#include "FleetWindow.h"
#include "StructureDialog.h"

#include <QBuffer>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTimer>

// The aircraft's structural data from its page, on both engines: the dialog says which past
// figures a change alters and asks first; No leaves the register as it was, Yes changes the
// figures.
class TestStructureDialog : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void asksFirst_data();
    void asksFirst();
    void saysWhatIsAltered_data();
    void saysWhatIsAltered();

private:
    static double lifeUsed(const QString &location, const QString &registration);

    FleetRegisters m_registers;
};

void TestStructureDialog::initTestCase()
{
    QString reason;
    QVERIFY2(m_registers.start(reason), qPrintable(reason));
    qunsetenv("PGPASSWORD");
    qputenv("PGPASSFILE", m_registers.dir(QStringLiteral("no-pgpass")).toLocal8Bit());
}

double TestStructureDialog::lifeUsed(const QString &location, const QString &registration)
{
    OpenedRegister opened
        = Register::open(ParseRegisterLocation(location).location, Register::Access::Read);
    if (!opened.ok())
        return -1;
    // The fleet's figure, as the table ranks by it.
    const UsageListResult fleet = opened.reg->fleet();
    for (const AircraftUsage &plane : fleet.aircraft) {
        if (plane.aircraft.registration == registration && plane.usage.summed)
            return plane.usage.summed->lifeUsedPercent;
    }
    return -1;
}

void TestStructureDialog::asksFirst_data()
{
    QTest::addColumn<QString>("engine");
    QTest::addColumn<bool>("yes");
    for (const char *engine : {"sqlite", "postgresql"}) {
        QTest::addRow("%s: No", engine) << QString::fromLatin1(engine) << false;
        QTest::addRow("%s: Yes", engine) << QString::fromLatin1(engine) << true;
    }
}

// From the page's button: σ₁ raised, OK, the question answered.
void TestStructureDialog::asksFirst()
{
    QFETCH(QString, engine);
    QFETCH(bool, yes);
    const QString location = m_registers.fleet(engine);
    QVERIFY(!location.isEmpty());
    QSettings settings(
        m_registers.dir(QStringLiteral("s-%1.conf").arg(engine)), QSettings::IniFormat);
    FleetWindow window(settings);
    window.show();
    window.openLocation(location);
    window.waitUntilIdle();
    QSignalSpy shown(&window, &FleetWindow::aircraftShown);
    window.showAircraft(QStringLiteral("D-EBBB"));
    window.waitUntilIdle();
    QCOMPARE(shown.size(), 1);
    auto *page = qobject_cast<AircraftPage *>(shown.front().front().value<QWidget *>());
    QVERIFY(page);
    const QByteArray before = FleetRegisters::exported(location);
    const double lifeBefore = lifeUsed(location, QStringLiteral("D-EBBB"));
    QVERIFY2(lifeBefore > 0, qPrintable(QString::number(lifeBefore)));

    QString asked;
    bool noByDefault = false;
    bool edited = false;
    QTimer answerer;
    answerer.setInterval(20);
    connect(&answerer, &QTimer::timeout, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            asked = box->objectName() + QLatin1Char(':') + box->text();
            noByDefault = box->defaultButton() == box->button(QMessageBox::No);
            box->button(yes ? QMessageBox::Yes : QMessageBox::No)->click();
        } else if (auto *dialog = qobject_cast<StructureDialog *>(modal)) {
            const char *button = edited ? "cancelButton" : "okButton";
            if (!edited)
                dialog->findChild<QLineEdit *>(QStringLiteral("stressEdit"))->setText("70");
            edited = true;
            QMetaObject::invokeMethod(
                dialog->findChild<QPushButton *>(button), "click", Qt::QueuedConnection);
        }
    });
    answerer.start();
    page->findChild<QPushButton *>(QStringLiteral("structureButton"))->click();
    window.waitUntilIdle();
    QCOMPARE(asked,
        QStringLiteral("alterBox:The damage and life used of all 2 read-outs of D-EBBB (from "
                       "2024-01-01 to 2024-02-01) will be worked out anew; its rank in the fleet "
                       "may change.\n\nChange these figures?"));
    QVERIFY(noByDefault);
    if (!yes) {
        QCOMPARE(FleetRegisters::exported(location), before);
        return;
    }
    // σ₁ from 60 to 70 MPa a g: each cycle's stress higher, so more damage.
    QVERIFY(lifeUsed(location, QStringLiteral("D-EBBB")) > lifeBefore);
    QCOMPARE(shown.size(), 2); // the page shown anew with the new figures
}

void TestStructureDialog::saysWhatIsAltered_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("said"); // empty: nothing altered, nothing asked
    QTest::newRow("S-N data") << "slopeEdit"
                              << "6"
                              << "The damage and life used of all 2 read-outs";
    QTest::newRow("limit loads") << "limitPositiveEdit"
                                 << "3.5"
                                 << "The over-limit events of all 2 read-outs";
    QTest::newRow("thresholds") << "thresholdsEdit"
                                << "40,90"
                                << "Its status in the fleet";
    QTest::newRow("nothing") << "slopeEdit"
                             << "5" << QString();
}

// Each kind of change names its figures; the fields as shown alter nothing.
void TestStructureDialog::saysWhatIsAltered()
{
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QString, said);
    StructuralData own;
    DamageParameters p;
    p.stressPerG = 60, p.slope = 5, p.enduranceStress = 80, p.enduranceCycles = 2e6;
    own.damage = p;
    own.limits = LimitLoads {3.8, -1.52};
    AircraftInfo aircraft;
    aircraft.registration = QStringLiteral("D-EBBB");
    aircraft.own = own;
    StructureDialog dialog(aircraft, 2, QDate(2024, 1, 1), QDate(2024, 2, 1), nullptr);
    dialog.findChild<QLineEdit *>(field)->setText(text);
    QString asked;
    QTimer answerer;
    answerer.setInterval(20);
    connect(&answerer, &QTimer::timeout, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            asked = box->text();
            box->button(QMessageBox::Yes)->click();
        }
    });
    answerer.start();
    dialog.show();
    dialog.findChild<QPushButton *>(QStringLiteral("okButton"))->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(asked.isEmpty(), said.isEmpty());
    QVERIFY2(asked.startsWith(said), qPrintable(asked));
    QCOMPARE(dialog.change().registration, QStringLiteral("D-EBBB"));
}

QTEST_MAIN(TestStructureDialog)
#include "tst_structuredialog.moc"
