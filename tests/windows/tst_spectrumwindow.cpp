#include "CounterRecord.h"
#include "FormatReal.h"
#include "SpectrumWindow.h"
#include "TestSupport.h"
#include "ZemraApplication.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include <memory>

namespace {
QStringList gridTexts(const SpectrumWindow &form)
{
    QStringList texts;
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < LevelCount; ++column)
            texts << form.cell(column, row);
    }
    return texts;
}
} // namespace

class TestSpectrumWindow : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void levelTextsAfterCreation();
    void layout();
    void workedColumns_data();
    void workedColumns();
    void decimalComma();
    void allZeroRecord();
    void spectrumTwiceGivesTheSame();
    void closeBlanksResultsOnly();
    void missingWorkingCopy();
    void malformedWorkingCopyIsRefused_data();
    void malformedWorkingCopyIsRefused();
    void openFileFailures_data();
    void openFileFailures();
    void cancelledDialogChangesNothing();
    void cancelledCopyChangesNothing();

private:
    // Opens `path` through Open File, as if the user had chosen it.
    QList<SeenMessageBox> openFile(const QString &path);
    QList<SeenMessageBox> pressSpectrum();

    WindowFixture<SpectrumWindow> m_form;
};

void TestSpectrumWindow::init()
{
    m_form.make()->show();
}

void TestSpectrumWindow::cleanup()
{
    m_form.reset();
    SetDecimalSeparator(QStringLiteral("."));
}

QList<SeenMessageBox> TestSpectrumWindow::openFile(const QString &path)
{
    m_form->setFileChooser([path](QWidget *) { return path; });
    return CollectMessageBoxes([this] {
        QTest::mouseClick(Control<QPushButton>(m_form, "openFileButton"), Qt::LeftButton);
    });
}

QList<SeenMessageBox> TestSpectrumWindow::pressSpectrum()
{
    return CollectMessageBoxes([this] {
        QTest::mouseClick(Control<QPushButton>(m_form, "spectrumButton"), Qt::LeftButton);
    });
}

void TestSpectrumWindow::levelTextsAfterCreation()
{
    QStringList levels;
    for (int column = 0; column < LevelCount; ++column) {
        levels << m_form->cell(column, 0);
        for (int row = 1; row < 4; ++row)
            QVERIFY(m_form->cell(column, row).isEmpty());
    }
    QCOMPARE(levels,
        QStringList({"-2.0", "-1.4", "-1.2", "-1.0", "-0.8", "-0.6", "1.4", "1.6", "1.8", "2.0",
            "2.2", "2.4", "2.6", "2.8", "3.0", "3.2", "3.4", "4.0"}));
}

void TestSpectrumWindow::layout()
{
    QCOMPARE(m_form->windowTitle(), QStringLiteral("    SPECTRUM"));
    QCOMPARE(Control<QPushButton>(m_form, "openFileButton")->text(), QStringLiteral("&Open File"));
    QCOMPARE(Control<QPushButton>(m_form, "openFileButton")->geometry(), QRect(56, 32, 75, 25));
    QCOMPARE(Control<QPushButton>(m_form, "spectrumButton")->geometry(), QRect(56, 104, 75, 25));
    QCOMPARE(
        Control<QPushButton>(m_form, "graphicSpectrumButton")->geometry(), QRect(168, 104, 97, 25));
    QCOMPARE(Control<QPushButton>(m_form, "closeButton")->geometry(), QRect(664, 344, 75, 25));
    QCOMPARE(Control<QTableWidget>(m_form, "grid")->geometry(), QRect(56, 152, 705, 105));
    QCOMPARE(Control<QTableWidget>(m_form, "grid")->columnCount(), 18);
    QCOMPARE(Control<QTableWidget>(m_form, "grid")->rowCount(), 4);
    QCOMPARE(Control<QTableWidget>(m_form, "grid")->columnWidth(17), 38);
    QCOMPARE(Control<QTableWidget>(m_form, "grid")->rowHeight(3), 25);
    QVERIFY(Control<QLineEdit>(m_form, "workTimeEdit")->isReadOnly());
    QVERIFY(Control<QLineEdit>(m_form, "pathEdit")->isReadOnly());
    QCOMPARE(
        Control<QLabel>(m_form, "frequencyLegend")->text(), QStringLiteral("E - Frequency [1/h] "));
    // Tab order: Open File, Spectrum, GraphicSpectrum, Close.
    QCOMPARE(Control<QPushButton>(m_form, "openFileButton")->nextInFocusChain(),
        Control<QPushButton>(m_form, "spectrumButton"));
    QCOMPARE(Control<QPushButton>(m_form, "spectrumButton")->nextInFocusChain(),
        Control<QPushButton>(m_form, "graphicSpectrumButton"));
    QCOMPARE(Control<QPushButton>(m_form, "graphicSpectrumButton")->nextInFocusChain(),
        Control<QPushButton>(m_form, "closeButton"));
}

void TestSpectrumWindow::workedColumns_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("count");
    QTest::addColumn<QString>("frequency");
    QTest::addColumn<QString>("logarithm");
    QTest::newRow("-2.0") << 0 << "1"
                          << "0.00396561529487371"
                          << "-2.40168952941895";
    QTest::newRow("-0.6") << 5 << "2480"
                          << "9.83472633361816"
                          << "0.992762267589569";
    QTest::newRow("1.4") << 6 << "2533"
                         << "10.044903755188"
                         << "1.00194573402405";
    QTest::newRow("2.4") << 11 << "234"
                         << "0.927954018115997"
                         << "-0.0324735417962074";
    QTest::newRow("3.2") << 15 << "3"
                         << "0.0118968468159437"
                         << "-1.92456817626953";
}

void TestSpectrumWindow::workedColumns()
{
    QFETCH(int, column);
    QFETCH(QString, count);
    QFETCH(QString, frequency);
    QFETCH(QString, logarithm);

    WriteFile(QStringLiteral("demo.dat"), DemonstrationFileBytes());
    QVERIFY(openFile(m_form.dir().filePath(QStringLiteral("demo.dat"))).isEmpty());
    QCOMPARE(ReadAll(QStringLiteral("bufor.txt")), DemonstrationFileBytes());
    QCOMPARE(Control<QLineEdit>(m_form, "pathEdit")->text(),
        m_form.dir().filePath(QStringLiteral("demo.dat")));
    // Open File alone does not touch the table.
    QVERIFY(m_form->cell(column, 1).isEmpty());

    QVERIFY(pressSpectrum().isEmpty());
    QCOMPARE(m_form->cell(column, 1), count);
    QCOMPARE(m_form->cell(column, 2), frequency);
    QCOMPARE(m_form->cell(column, 3), logarithm);
    QCOMPARE(Control<QLineEdit>(m_form, "workTimeEdit")->text(), QStringLiteral("252.16667175293"));
}

void TestSpectrumWindow::decimalComma()
{
    SetDecimalSeparator(QStringLiteral(","));
    WriteFile(QStringLiteral("bufor.txt"), DemonstrationFileBytes());
    pressSpectrum();
    QCOMPARE(m_form->cell(0, 2), QStringLiteral("0,00396561529487371"));
    QCOMPARE(m_form->cell(0, 0), QStringLiteral("-2.0"));
    QCOMPARE(Control<QLineEdit>(m_form, "workTimeEdit")->text(), QStringLiteral("252,16667175293"));
}

void TestSpectrumWindow::allZeroRecord()
{
    WriteFile(QStringLiteral("bufor.txt"), RecordFileBytes(CounterRecord {}));
    QVERIFY(pressSpectrum().isEmpty());
    for (int column = 0; column < LevelCount; ++column) {
        QCOMPARE(m_form->cell(column, 1), QStringLiteral("0"));
        QCOMPARE(m_form->cell(column, 2), QStringLiteral("0"));
        QCOMPARE(m_form->cell(column, 3), QStringLiteral(" "));
    }
    QCOMPARE(Control<QLineEdit>(m_form, "workTimeEdit")->text(), QStringLiteral("0"));
}

void TestSpectrumWindow::spectrumTwiceGivesTheSame()
{
    WriteFile(QStringLiteral("bufor.txt"), DemonstrationFileBytes());
    pressSpectrum();
    const QStringList first = gridTexts(*m_form.get());
    pressSpectrum();
    QCOMPARE(gridTexts(*m_form.get()), first);
}

void TestSpectrumWindow::closeBlanksResultsOnly()
{
    WriteFile(QStringLiteral("demo.dat"), DemonstrationFileBytes());
    openFile(m_form.dir().filePath(QStringLiteral("demo.dat")));
    pressSpectrum();
    QTest::mouseClick(Control<QPushButton>(m_form, "closeButton"), Qt::LeftButton);
    QVERIFY(!m_form->isVisible());
    m_form->show();
    for (int column = 0; column < LevelCount; ++column) {
        QCOMPARE(m_form->cell(column, 0), QString::fromLatin1(LoadLevels[column].text));
        for (int row = 1; row < 4; ++row)
            QCOMPARE(m_form->cell(column, row), QStringLiteral(" "));
    }
    QCOMPARE(Control<QLineEdit>(m_form, "workTimeEdit")->text(), QStringLiteral("252.16667175293"));
    QCOMPARE(Control<QLineEdit>(m_form, "pathEdit")->text(),
        m_form.dir().filePath(QStringLiteral("demo.dat")));
}

void TestSpectrumWindow::missingWorkingCopy()
{
    WriteFile(QStringLiteral("bufor.txt"), DemonstrationFileBytes());
    pressSpectrum();
    const QStringList before = gridTexts(*m_form.get());
    QFile::remove(QStringLiteral("bufor.txt"));

    const QList<SeenMessageBox> boxes = pressSpectrum();
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes[0].text, QStringLiteral("Please open file first"));
    QCOMPARE(boxes[0].title, QStringLiteral("Mistake"));
    QCOMPARE(boxes[0].icon, QMessageBox::NoIcon);
    QCOMPARE(boxes[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(gridTexts(*m_form.get()), before);
    QCOMPARE(Control<QLineEdit>(m_form, "workTimeEdit")->text(), QStringLiteral("252.16667175293"));
}

void TestSpectrumWindow::malformedWorkingCopyIsRefused_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("problem");
    QByteArray text = DemonstrationFileBytes();
    text.replace("09e5", "oops");
    QTest::newRow("text") << text
                          << "the value at position 6 (line 7) is not a hexadecimal number.";
    QTest::newRow("21 values") << DemonstrationFileBytes().left(
        21 * 6) << "the file ends after 21 values; the value at position 21 (line 22) is missing.";
    QByteArray negative = DemonstrationFileBytes();
    negative.replace("0050", "-050");
    QTest::newRow("negative") << negative << "the value at position 3 (line 4) is negative.";
}

void TestSpectrumWindow::malformedWorkingCopyIsRefused()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, problem);
    WriteFile(QStringLiteral("bufor.txt"), RecordFileBytes(CounterRecord {}));
    pressSpectrum();
    const QStringList before = gridTexts(*m_form.get());

    WriteFile(QStringLiteral("bufor.txt"), bytes);
    const QList<SeenMessageBox> boxes = pressSpectrum();
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes[0].title, QStringLiteral("Mistake"));
    QCOMPARE(boxes[0].text, "Not a valid record in \"bufor.txt\": " + problem);
    QCOMPARE(gridTexts(*m_form.get()), before);
    QCOMPARE(Control<QLineEdit>(m_form, "workTimeEdit")->text(), QStringLiteral("0"));
}

void TestSpectrumWindow::openFileFailures_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("text");
    QTest::newRow("chosen file vanished") << "vanished"
                                          << ""
                                          << "Can't open file";
    QTest::newRow("chosen name is a directory") << "directory"
                                                << ""
                                                << "Can't open file";
    QTest::newRow("bufor.txt is a directory") << "bufor-directory"
                                              << "Mistake"
                                              << "\"bufor.txt\"";
    QTest::newRow("chosen file opens but cannot be read")
        << "unreadable"
        << "Mistake"
        << "Cannot read \"/proc/self/mem\": Input/output error";
    QTest::newRow("full disk") << "full disk"
                               << "Mistake"
                               << "Cannot write \"bufor.txt\": No space left on device";
}

void TestSpectrumWindow::openFileFailures()
{
    QFETCH(QString, setup);
    QFETCH(QString, title);
    QFETCH(QString, text);

    // The working copy on a disk with room for a small copy only.
    std::unique_ptr<SmallDisk> disk;
    if (setup == "full disk") {
        disk = std::make_unique<SmallDisk>(64 * 1024);
        if (!disk->ready())
            QSKIP(qPrintable(disk->reason()));
    }
    // The working folder on that disk (a link to it would be refused), for this test only.
    const struct WorkIn
    {
        WorkIn(const QString &folder)
            : previous(QDir::currentPath())
        {
            if (!folder.isEmpty())
                QDir::setCurrent(folder);
        }
        ~WorkIn() { QDir::setCurrent(previous); }
        QString previous;
    } workIn(disk ? disk->path() : QString());
    // A previous, successful Open File.
    WriteFile(m_form.dir().filePath(QStringLiteral("first.dat")), DemonstrationFileBytes());
    openFile(m_form.dir().filePath(QStringLiteral("first.dat")));

    QString chosen = m_form.dir().filePath(QStringLiteral("second.dat"));
    WriteFile(chosen, RecordFileBytes(CounterRecord {}));
    if (setup == "vanished") {
        QFile::remove(chosen);
    } else if (setup == "directory") {
        chosen = m_form.dir().filePath(QStringLiteral("folder.dat"));
        QDir().mkdir(chosen);
    } else if (setup == "unreadable") {
        chosen = QStringLiteral("/proc/self/mem");
    } else if (setup == "full disk") {
        WriteFile(chosen, QByteArray(200 * 1024, '0'));
    } else {
        // Only a directory in the way of bufor.txt can make its replacement fail for root.
        QFile::remove(QStringLiteral("bufor.txt"));
        QDir().mkdir(QStringLiteral("bufor.txt"));
    }

    const QList<SeenMessageBox> boxes = openFile(chosen);
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes[0].title, title);
    QVERIFY2(boxes[0].text.contains(text), qPrintable(boxes[0].text));
    QCOMPARE(Control<QLineEdit>(m_form, "pathEdit")->text(),
        m_form.dir().filePath(QStringLiteral("first.dat")));
    if (setup != "bufor-directory")
        QCOMPARE(ReadAll(QStringLiteral("bufor.txt")), DemonstrationFileBytes());
    QCOMPARE(QDir()
                 .entryList({QStringLiteral("*bufor*"), QStringLiteral(".zemra-*")},
                     QDir::Files | QDir::Hidden)
                 .size(),
        setup == "bufor-directory" ? 0 : 1);
    if (disk) {
        QCOMPARE(QDir(disk->path()).entryList(QDir::Files | QDir::Hidden),
            QStringList {QStringLiteral("bufor.txt")});
        QCOMPARE(ReadAll(QStringLiteral("bufor.txt")), DemonstrationFileBytes());
    }
}

void TestSpectrumWindow::cancelledDialogChangesNothing()
{
    WriteFile(QStringLiteral("bufor.txt"), "previous");
    QVERIFY(openFile(QString()).isEmpty());
    QVERIFY(Control<QLineEdit>(m_form, "pathEdit")->text().isEmpty());
    QCOMPARE(ReadAll(QStringLiteral("bufor.txt")), QByteArray("previous"));
}

void TestSpectrumWindow::cancelledCopyChangesNothing()
{
    WriteFile(QStringLiteral("first.dat"), DemonstrationFileBytes());
    openFile(m_form.dir().filePath(QStringLiteral("first.dat")));
    const QString big = m_form.dir().filePath(QStringLiteral("big.dat"));
    WriteFile(big, QByteArray(1 << 20, '0'));
    // The user presses Cancel in the progress dialog of the second piece.
    QStringList labels;
    m_form->setProgressFactory([&labels](QWidget *, const QString &label) -> CopyProgress {
        labels.append(label);
        return [pieces = 0](qint64, qint64) mutable { return ++pieces < 2; };
    });
    const QList<SeenMessageBox> boxes = openFile(big);
    QCOMPARE(labels, QStringList {QStringLiteral("Copying \"%1\" to \"bufor.txt\" ...").arg(big)});
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes[0].title, QStringLiteral("Mistake"));
    QCOMPARE(boxes[0].text,
        QStringLiteral("The copy of \"%1\" to \"bufor.txt\" was cancelled.").arg(big));
    QCOMPARE(ReadAll(QStringLiteral("bufor.txt")), DemonstrationFileBytes());
    QCOMPARE(Control<QLineEdit>(m_form, "pathEdit")->text(),
        m_form.dir().filePath(QStringLiteral("first.dat")));
    QCOMPARE(QDir().entryList({QStringLiteral("*bufor*")}, QDir::Files).size(), 1);
}

ZEMRA_TEST_MAIN(TestSpectrumWindow)
#include "tst_spectrumwindow.moc"
