#include "CopyProgressDialog.h"
#include "CounterRecord.h"
#include "TestSupport.h"
#include "ZemraApplication.h"

#include <QApplication>
#include <QDir>
#include <QMouseEvent>
#include <QProgressDialog>
#include <QPushButton>
#include <QSocketNotifier>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

#include <unistd.h>

namespace {
// A source of 16 pieces, so that a copy reports its progress 16 times.
const QByteArray SourceBytes(16 * 64 * 1024, 's');

// A clock that moves on by `step` milliseconds each time the copy reports.
struct FakeClock
{
    qint64 now = 0;
    CopyProgressDialog::Clock clock()
    {
        return [this] { return now; };
    }
};
} // namespace

// The progress dialog of a long copy: shown after half a second, modal, cancellable, and the
// only thing that handles events while the copy runs. Time is the test's own clock.
class TestCopyProgress : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void dialogAfterHalfASecond_data();
    void dialogAfterHalfASecond();
    void cancelStopsTheCopy();
    void nothingElseRunsDuringTheCopy();

private:
    TempWorkDir *m_dir = nullptr;
};

void TestCopyProgress::init()
{
    m_dir = new TempWorkDir;
    WriteFile(QStringLiteral("source.dat"), SourceBytes);
    WriteFile(WorkingCopyName, "previous");
}

void TestCopyProgress::cleanup()
{
    delete m_dir;
}

void TestCopyProgress::dialogAfterHalfASecond_data()
{
    QTest::addColumn<int>("pieceMs");
    QTest::addColumn<int>("shownFrom"); // the first piece reported with the dialog up; 0: never
    QTest::newRow("16 pieces in 480 ms") << 30 << 0;
    QTest::newRow("16 pieces in 1.6 s") << 100 << 5;
}

void TestCopyProgress::dialogAfterHalfASecond()
{
    QFETCH(int, pieceMs);
    QFETCH(int, shownFrom);
    FakeClock time;
    QWidget window;
    window.show();
    auto *progress
        = new CopyProgressDialog(&window, QStringLiteral("Copying the file"), time.clock());
    QList<int> values;
    int piece = 0;
    const Result copied = CopyFileReplacing(
        QStringLiteral("source.dat"), WorkingCopyName, [&](qint64 done, qint64 total) {
            time.now += pieceMs;
            ++piece;
            const bool going = progress->report(done, total);
            QWidget *modal = QApplication::activeModalWidget();
            if (QProgressDialog *dialog = progress->dialog()) {
                const bool asShown = modal == dialog && dialog->isVisible()
                    && dialog->windowModality() == Qt::ApplicationModal
                    && dialog->labelText() == QLatin1String("Copying the file");
                values.append(asShown ? dialog->value() : -1);
            } else if (modal) {
                values.append(-1);
            }
            return going;
        });
    QVERIFY(copied.ok());
    QCOMPARE(ReadAll(WorkingCopyName), SourceBytes);
    if (shownFrom == 0) {
        QVERIFY(values.isEmpty());
    } else {
        // In thousandths of the whole, from the piece at 500 ms on.
        QCOMPARE(values.size(), 16 - shownFrom + 1);
        QCOMPARE(values.first(), (shownFrom - 1) * 1000 / 16);
        QCOMPARE(values.last(), 15 * 1000 / 16);
        QVERIFY(std::is_sorted(values.begin(), values.end()));
    }
    delete progress;
    QVERIFY(!QApplication::activeModalWidget());
}

void TestCopyProgress::cancelStopsTheCopy()
{
    FakeClock time;
    CopyProgressDialog progress(nullptr, QStringLiteral("Copying"), time.clock());
    int reports = 0;
    const Result copied = CopyFileReplacing(
        QStringLiteral("source.dat"), WorkingCopyName, [&](qint64 done, qint64 total) {
            time.now += 100;
            if (++reports == 8) {
                auto *cancel = progress.dialog()->findChild<QPushButton *>();
                QTest::mouseClick(cancel, Qt::LeftButton);
            }
            return progress.report(done, total);
        });
    QCOMPARE(reports, 8);
    QCOMPARE(copied.failure(), Result::Cancelled);
    QCOMPARE(copied.message(),
        QStringLiteral("The copy of \"source.dat\" to \"bufor.txt\" was cancelled."));
    // Nothing half-written, nothing left behind.
    QCOMPARE(ReadAll(WorkingCopyName), QByteArray("previous"));
    QCOMPARE(QDir().entryList(QDir::Files | QDir::Hidden),
        QStringList({QStringLiteral("bufor.txt"), QStringLiteral("source.dat")}));
}

void TestCopyProgress::nothingElseRunsDuringTheCopy()
{
    // Another window with a button, a repeating timer and a ready socket notifier.
    QWidget other;
    auto *button = new QPushButton(QStringLiteral("Other"), &other);
    button->resize(80, 30);
    other.show();
    int clicks = 0;
    int timerShots = 0;
    int socketReads = 0;
    connect(button, &QPushButton::clicked, [&clicks] { ++clicks; });
    QTimer timer;
    timer.setInterval(0);
    connect(&timer, &QTimer::timeout, [&timerShots] { ++timerShots; });
    int pipeEnds[2];
    QCOMPARE(::pipe(pipeEnds), 0);
    QSocketNotifier notifier(pipeEnds[0], QSocketNotifier::Read);
    connect(&notifier, &QSocketNotifier::activated, [&] {
        char byte;
        if (::read(pipeEnds[0], &byte, 1) == 1)
            ++socketReads;
    });

    FakeClock time;
    auto *progress = new CopyProgressDialog(nullptr, QStringLiteral("Copying"), time.clock());
    int ranDuringTheCopy = 0;
    bool written = false;
    const Result copied = CopyFileReplacing(
        QStringLiteral("source.dat"), WorkingCopyName, [&](qint64 done, qint64 total) {
            time.now += 100;
            const bool going = progress->report(done, total);
            if (progress->dialog() && time.now == 500) {
                // While the dialog shows: a click on the other window, a request to close it,
                // a timer and a ready socket.
                const QPointF centre(40, 15);
                QCoreApplication::postEvent(button,
                    new QMouseEvent(QEvent::MouseButtonPress, centre, button->mapToGlobal(centre),
                        Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
                QCoreApplication::postEvent(button,
                    new QMouseEvent(QEvent::MouseButtonRelease, centre, button->mapToGlobal(centre),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier));
                QCoreApplication::postEvent(&other, new QCloseEvent);
                timer.start();
                written = ::write(pipeEnds[1], "x", 1) == 1;
            }
            ranDuringTheCopy += clicks + timerShots + socketReads + (other.isVisible() ? 0 : 1);
            return going;
        });
    QVERIFY(copied.ok());
    QVERIFY(written);
    QCOMPARE(ranDuringTheCopy, 0);
    delete progress;

    // Held back, not lost: the timer and the socket come back once the copy is over. The click
    // and the close request were dropped, as a modal dialog drops them.
    QTRY_VERIFY(timerShots > 0);
    QTRY_COMPARE(socketReads, 1);
    QCOMPARE(clicks, 0);
    QVERIFY(other.isVisible());
    ::close(pipeEnds[0]);
    ::close(pipeEnds[1]);
}

ZEMRA_TEST_MAIN(TestCopyProgress)
#include "tst_copyprogress.moc"
