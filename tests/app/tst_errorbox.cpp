#include "TestSupport.h"
#include "app/Errors.h"
#include "app/ZemraApplication.h"

#include <QPushButton>
#include <QTest>

// An error escaping a handler unwinds through Qt's event dispatch, which abandons the event
// objects on the way; this test runs alone so that the leak checker can stay strict elsewhere.
class TestErrorBox : public QObject
{
    Q_OBJECT
private slots:
    void escapingErrorsReachTheErrorBox_data();
    void escapingErrorsReachTheErrorBox();
};

void TestErrorBox::escapingErrorsReachTheErrorBox_data()
{
    QTest::addColumn<bool>("silent");
    QTest::newRow("error") << false;
    QTest::newRow("silent abort") << true;
}

void TestErrorBox::escapingErrorsReachTheErrorBox()
{
    QFETCH(bool, silent);
    QPushButton button(QStringLiteral("Fail"));
    int pressed = 0;
    connect(&button, &QPushButton::clicked, [&] {
        ++pressed;
        if (silent)
            throw EAbort();
        throw EZemraError(QStringLiteral("Disk on fire"));
    });
    button.show();
    // Twice: the loop goes on after the first error.
    for (int round = 0; round < 2; ++round) {
        const QList<SeenMessageBox> boxes
            = CollectMessageBoxes([&] { QTest::mouseClick(&button, Qt::LeftButton); });
        if (silent) {
            QVERIFY(boxes.isEmpty());
            continue;
        }
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(boxes[0].title, QStringLiteral("Tst_errorbox"));
        QCOMPARE(boxes[0].text, QStringLiteral("Disk on fire."));
        QCOMPARE(boxes[0].icon, QMessageBox::Critical);
        QCOMPARE(boxes[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    }
    QCOMPARE(pressed, 2);
}

ZEMRA_TEST_MAIN(TestErrorBox)
#include "tst_errorbox.moc"
