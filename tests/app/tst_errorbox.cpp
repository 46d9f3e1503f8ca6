#include "FormBase.h"
#include "TestSupport.h"
#include "ZemraApplication.h"

#include <QPushButton>
#include <QTest>

#include <stdexcept>

namespace {
// A window whose one button fails the way an unexpected error would.
class FailingWindow : public FormBase
{
public:
    explicit FailingWindow(std::function<void()> failure)
        : m_failure(std::move(failure))
    {
        onClick(addButton("failButton", QStringLiteral("Fail"), 8, 8), &FailingWindow::fail);
    }
    int presses = 0;

private:
    void fail()
    {
        ++presses;
        m_failure();
    }
    std::function<void()> m_failure;
};
} // namespace

// Nothing a handler throws reaches Qt's event dispatch: it stops at the handler boundary and
// is shown in the standard error box, and the event loop goes on.
class TestErrorBox : public QObject
{
    Q_OBJECT
private slots:
    void escapingErrorsReachTheErrorBox_data();
    void escapingErrorsReachTheErrorBox();
};

void TestErrorBox::escapingErrorsReachTheErrorBox_data()
{
    QTest::addColumn<std::function<void()>>("failure");
    QTest::addColumn<QString>("text");
    QTest::newRow("error") << std::function<void()>([] {
        throw std::runtime_error("Disk on fire");
    }) << QStringLiteral("Disk on fire.");
    QTest::newRow("ends in a full stop")
        << std::function<void()>([] { throw std::runtime_error("Disk on fire."); })
        << QStringLiteral("Disk on fire.");
    QTest::newRow("not a standard error")
        << std::function<void()>([] { throw 42; }) << QStringLiteral("Unknown error.");
}

void TestErrorBox::escapingErrorsReachTheErrorBox()
{
    QFETCH(std::function<void()>, failure);
    QFETCH(QString, text);
    FailingWindow window(failure);
    window.show();
    // Twice: the loop goes on after the first error.
    for (int round = 0; round < 2; ++round) {
        const QList<SeenMessageBox> boxes = CollectMessageBoxes([&] {
            QTest::mouseClick(Control<QPushButton>(&window, "failButton"), Qt::LeftButton);
        });
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(boxes[0].title, QStringLiteral("Tst_errorbox"));
        QCOMPARE(boxes[0].text, text);
        QCOMPARE(boxes[0].icon, QMessageBox::Critical);
        QCOMPARE(boxes[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    }
    QCOMPARE(window.presses, 2);
}

ZEMRA_TEST_MAIN(TestErrorBox)
#include "tst_errorbox.moc"
