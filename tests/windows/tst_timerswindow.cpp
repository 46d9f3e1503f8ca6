#include "CounterRecord.h"
#include "FormatReal.h"
#include "TestSupport.h"
#include "TimersWindow.h"
#include "ZemraApplication.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {
QByteArray recordWithTimes(
    int activeSeconds, int activePeriods, int batterySeconds, int batteryPeriods)
{
    CounterRecord record = DemonstrationRecord;
    record[ActiveSecondsWord] = activeSeconds;
    record[ActivePeriodsWord] = activePeriods;
    record[BatterySecondsWord] = batterySeconds;
    record[BatteryPeriodsWord] = batteryPeriods;
    return RecordFileBytes(record);
}
} // namespace

class TestTimers : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void layout_data();
    void layout();
    void clocks_data();
    void clocks();
    void decimalComma();
    void textsSurviveHiding();
    void missingWorkingCopy();
    void malformedWorkingCopyIsRefused_data();
    void malformedWorkingCopyIsRefused();

private:
    QList<SeenMessageBox> pressTime();

    WindowFixture<TimersWindow> m_form;
};

void TestTimers::init()
{
    m_form.make()->show();
}

void TestTimers::cleanup()
{
    m_form.reset();
    SetDecimalSeparator(QStringLiteral("."));
}

QList<SeenMessageBox> TestTimers::pressTime()
{
    return CollectMessageBoxes(
        [this] { QTest::mouseClick(Control<QPushButton>(m_form, "timeButton"), Qt::LeftButton); });
}

void TestTimers::layout_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QPoint>("position");
    QTest::addColumn<bool>("italic");
    QTest::newRow("workTimeLabel") << 1 << "Active Work Time:" << QPoint(40, 72) << true;
    QTest::newRow("hoursLabel") << 2 << "hours" << QPoint(336, 72) << false;
    QTest::newRow("batteryLabel") << 3 << "Batery Left Time:" << QPoint(40, 112) << true;
    QTest::newRow("daysLabel") << 4 << "days" << QPoint(336, 120) << false;
}

void TestTimers::layout()
{
    QFETCH(int, index);
    QFETCH(QString, text);
    QFETCH(QPoint, position);
    QFETCH(bool, italic);

    QCOMPARE(m_form->windowTitle(), QStringLiteral("   TIMERS"));
    QCOMPARE(m_form->outerSize(), QSize(424, 277));

    const QLabel *labels[]
        = {Control<QLabel>(m_form, "workTimeLabel"), Control<QLabel>(m_form, "hoursLabel"),
            Control<QLabel>(m_form, "batteryLabel"), Control<QLabel>(m_form, "daysLabel")};
    const QLabel *label = labels[index - 1];
    QCOMPARE(label->text(), text);
    QCOMPARE(label->pos(), position);
    QVERIFY(label->width() >= label->fontMetrics().horizontalAdvance(text));
    QCOMPARE(label->font().pixelSize(), 16);
    QCOMPARE(label->font().italic(), italic);
    QVERIFY(!label->font().bold());
    QCOMPARE(label->palette().color(QPalette::WindowText), Colours::Blue);
    // Labels stay left of the fields they name or right of them, never under them.
    const QRect field = index <= 2 ? Control<QLineEdit>(m_form, "workTimeEdit")->geometry()
                                   : Control<QLineEdit>(m_form, "daysLeftEdit")->geometry();
    QVERIFY(label->geometry().right() < field.left() || label->x() > field.right());

    QCOMPARE(Control<QPushButton>(m_form, "timeButton")->text(), QStringLiteral("&Time"));
    QCOMPARE(Control<QPushButton>(m_form, "timeButton")->geometry(), QRect(32, 24, 75, 25));
    QCOMPARE(Control<QPushButton>(m_form, "closeButton")->text(), QStringLiteral("&Close"));
    QCOMPARE(Control<QPushButton>(m_form, "closeButton")->geometry(), QRect(312, 200, 75, 25));
    QCOMPARE(Control<QPushButton>(m_form, "timeButton")->nextInFocusChain(),
        Control<QPushButton>(m_form, "closeButton"));
    for (const QLineEdit *edit :
        {Control<QLineEdit>(m_form, "workTimeEdit"), Control<QLineEdit>(m_form, "daysLeftEdit")}) {
        QVERIFY(edit->isReadOnly());
        QVERIFY(!(edit->focusPolicy() & Qt::TabFocus));
        QVERIFY(edit->font().bold());
        QCOMPARE(edit->font().pixelSize(), 16);
        QVERIFY(edit->text().isEmpty());
    }
    QCOMPARE(Control<QLineEdit>(m_form, "workTimeEdit")->geometry(), QRect(256, 64, 65, 28));
    QCOMPARE(Control<QLineEdit>(m_form, "daysLeftEdit")->geometry(), QRect(280, 112, 41, 28));
}

void TestTimers::clocks_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("hours");
    QTest::addColumn<QString>("days");

    QTest::newRow("demonstration") << DemonstrationFileBytes() << "252.166666666667"
                                   << "344";
    QTest::newRow("two records read as one")
        << DemonstrationFileBytes().repeated(2) << "252.166666666667"
        << "344";
    QTest::newRow("all time words zero") << recordWithTimes(0, 0, 0, 0) << "0"
                                         << "365";
    QTest::newRow("1800 s") << recordWithTimes(1800, 0, 0, 0) << "0.5"
                            << "365";
    QTest::newRow("3600 s") << recordWithTimes(3600, 0, 0, 0) << "1"
                            << "365";
    QTest::newRow("one period") << recordWithTimes(0, 1, 0, 0) << "12"
                                << "365";
    QTest::newRow("battery 730 periods") << recordWithTimes(0, 0, 0, 730) << "0"
                                         << "0";
    QTest::newRow("battery 731 periods, -0.5 truncated") << recordWithTimes(0, 0, 0, 731) << "0"
                                                         << "0";
    QTest::newRow("battery 732 periods") << recordWithTimes(0, 0, 0, 732) << "0"
                                         << "-1";
    QTest::newRow("battery just under a year") << recordWithTimes(0, 0, 43199, 729) << "0"
                                               << "0";
    QTest::newRow("battery 344.5 days left") << recordWithTimes(0, 0, 0, 41) << "0"
                                             << "344";
}

void TestTimers::clocks()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, hours);
    QFETCH(QString, days);
    WriteFile(QStringLiteral("bufor.txt"), bytes);
    QVERIFY(pressTime().isEmpty());
    QCOMPARE(Control<QLineEdit>(m_form, "workTimeEdit")->text(), hours);
    QCOMPARE(Control<QLineEdit>(m_form, "daysLeftEdit")->text(), days);
    // The working copy is only read.
    QCOMPARE(ReadAll(QStringLiteral("bufor.txt")), bytes);
}

void TestTimers::decimalComma()
{
    SetDecimalSeparator(QStringLiteral(","));
    WriteFile(QStringLiteral("bufor.txt"), DemonstrationFileBytes());
    QVERIFY(pressTime().isEmpty());
    QCOMPARE(
        Control<QLineEdit>(m_form, "workTimeEdit")->text(), QStringLiteral("252,166666666667"));
    QCOMPARE(Control<QLineEdit>(m_form, "daysLeftEdit")->text(), QStringLiteral("344"));
}

void TestTimers::textsSurviveHiding()
{
    WriteFile(QStringLiteral("bufor.txt"), DemonstrationFileBytes());
    pressTime();
    QTest::mouseClick(Control<QPushButton>(m_form, "closeButton"), Qt::LeftButton);
    QVERIFY(!m_form->isVisible());
    m_form->show();
    QCOMPARE(
        Control<QLineEdit>(m_form, "workTimeEdit")->text(), QStringLiteral("252.166666666667"));
    QCOMPARE(Control<QLineEdit>(m_form, "daysLeftEdit")->text(), QStringLiteral("344"));
    QCOMPARE(Control<QLabel>(m_form, "batteryLabel")->text(), QStringLiteral("Batery Left Time:"));
}

void TestTimers::missingWorkingCopy()
{
    QList<SeenMessageBox> boxes = pressTime();
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes[0].text, QStringLiteral("Please open file first"));
    QCOMPARE(boxes[0].title, QStringLiteral("Mistake"));
    QCOMPARE(boxes[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QVERIFY(Control<QLineEdit>(m_form, "workTimeEdit")->text().isEmpty());
    QVERIFY(Control<QLineEdit>(m_form, "daysLeftEdit")->text().isEmpty());

    WriteFile(QStringLiteral("bufor.txt"), recordWithTimes(1800, 0, 0, 732));
    pressTime();
    QFile::remove(QStringLiteral("bufor.txt"));
    boxes = pressTime();
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes[0].text, QStringLiteral("Please open file first"));
    QCOMPARE(Control<QLineEdit>(m_form, "workTimeEdit")->text(), QStringLiteral("0.5"));
    QCOMPARE(Control<QLineEdit>(m_form, "daysLeftEdit")->text(), QStringLiteral("-1"));
}

void TestTimers::malformedWorkingCopyIsRefused_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("problem");
    QByteArray text = DemonstrationFileBytes();
    text.replace("0258", "time");
    QTest::newRow("text") << text
                          << "the value at position 18 (line 19) is not a hexadecimal number.";
    QTest::newRow("21 values") << DemonstrationFileBytes().left(
        21 * 6) << "the file ends after 21 values; the value at position 21 (line 22) is missing.";
    QTest::newRow("empty") << QByteArray()
                           << "the file ends after 0 values; the value at position 0 (line 1) is "
                              "missing.";
}

void TestTimers::malformedWorkingCopyIsRefused()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, problem);
    WriteFile(QStringLiteral("bufor.txt"), DemonstrationFileBytes());
    pressTime();

    WriteFile(QStringLiteral("bufor.txt"), bytes);
    const QList<SeenMessageBox> boxes = pressTime();
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes[0].title, QStringLiteral("Mistake"));
    QCOMPARE(boxes[0].text, "Not a valid record in \"bufor.txt\": " + problem);
    QCOMPARE(
        Control<QLineEdit>(m_form, "workTimeEdit")->text(), QStringLiteral("252.166666666667"));
    QCOMPARE(Control<QLineEdit>(m_form, "daysLeftEdit")->text(), QStringLiteral("344"));
}

ZEMRA_TEST_MAIN(TestTimers)
#include "tst_timerswindow.moc"
