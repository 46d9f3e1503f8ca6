#include "CounterRecord.h"
#include "DataCopyWindow.h"
#include "SpectrumWindow.h"
#include "TestSupport.h"
#include "TimersWindow.h"
#include "ZemraApplication.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QTest>

#include <memory>

#if defined(Q_OS_UNIX)
#include <sys/file.h>
#include <unistd.h>
#endif

namespace {
const QString Date = QStringLiteral("2002-10-30 08:37:38");

// Another program's exclusive lock on a file, held while the object lives.
class ForeignLock
{
public:
    explicit ForeignLock(const QString &name)
        : m_file(name)
    {
        m_locked = m_file.open(QIODevice::ReadWrite);
#if defined(Q_OS_UNIX)
        m_locked = m_locked && ::flock(m_file.handle(), LOCK_EX | LOCK_NB) == 0;
#else
        m_locked = false;
#endif
    }
    bool locked() const
    {
        return m_locked;
    }

private:
    QFile m_file;
    bool m_locked = false;
};

// Whether another opener could take an exclusive lock on the file right now.
bool lockable(const QString &name)
{
    return ForeignLock(name).locked();
}

QStringList directoryEntries()
{
    return QDir().entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System, QDir::Name);
}
} // namespace

class TestDataCopy : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void layout_data();
    void layout();
    void portButtonsOnlyChangeTheText();
    void firstCopyWritesOneRecord();
    void eachCopyTakesTheWholeIntermediateFile();
    void nameIsTakenUnchanged_data();
    void nameIsTakenUnchanged();
    void fileOpenThenCloseEmptiesTheFile();
    void enterInTheNameFieldPressesNothing();
    void fileOpenFailures_data();
    void fileOpenFailures();
    void secondFileOpenLetsTheFirstGo();
    void copyWithoutDataFile_data();
    void copyWithoutDataFile();
    void appendFailureChangesNothing();
    void intermediateDeviceIsRefused();
    void writeFailureLeavesIntermediateFileAsItWas_data();
    void writeFailureLeavesIntermediateFileAsItWas();
    void workingFilesAreRefusedAsDataFiles_data();
    void workingFilesAreRefusedAsDataFiles();
    void dataFileGoneBeforeTheCopy_data();
    void dataFileGoneBeforeTheCopy();
    void copyKeepsPermissionsAndLinks();
    void failedCopyTakesBackOnlyItsOwnRecord_data();
    void failedCopyTakesBackOnlyItsOwnRecord();
    void dataFileOpensInTheOtherWindows();

private:
    QList<SeenMessageBox> press(QPushButton *button);
    QList<SeenMessageBox> fileOpen(const QString &name);
    QList<SeenMessageBox> dataCopy();
    QWidget *control(const QString &name) const;

    WindowFixture<DataCopyWindow> m_form;
};

void TestDataCopy::init()
{
    m_form.make()->show();
}

void TestDataCopy::cleanup()
{
    m_form.reset();
}

QList<SeenMessageBox> TestDataCopy::press(QPushButton *button)
{
    return CollectMessageBoxes([button] { QTest::mouseClick(button, Qt::LeftButton); });
}

QList<SeenMessageBox> TestDataCopy::fileOpen(const QString &name)
{
    Control<QLineEdit>(m_form, "fileNameEdit")->setText(name);
    return press(Control<QPushButton>(m_form, "fileOpenButton"));
}

QList<SeenMessageBox> TestDataCopy::dataCopy()
{
    return press(Control<QPushButton>(m_form, "dataCopyButton"));
}

QWidget *TestDataCopy::control(const QString &name) const
{
    return Control<QWidget>(m_form, qPrintable(name));
}

void TestDataCopy::layout_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QRect>("geometry"); // labels: only the top-left corner counts
    QTest::addColumn<int>("pixelSize");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<bool>("tabStop");
    QTest::addColumn<bool>("readOnly");

    QTest::newRow("openComButton")
        << "openComButton"
        << "&OpenCom" << QRect(16, 32, 75, 25) << 11 << false << true << false;
    QTest::newRow("portEdit") << "portEdit"
                              << "" << QRect(136, 32, 49, 21) << 11 << false << false << true;
    QTest::newRow("fileNameLabel")
        << "fileNameLabel"
        << "Enter File Name:" << QRect(16, 80, 0, 0) << 11 << true << false << false;
    QTest::newRow("fileNameEdit") << "fileNameEdit"
                                  << "" << QRect(136, 72, 145, 24) << 13 << true << false << false;
    QTest::newRow("fileNameHintLabel")
        << "fileNameHintLabel"
        << "File Name:  ?.dat" << QRect(152, 96, 0, 0) << 13 << true << false << false;
    QTest::newRow("fileOpenButton")
        << "fileOpenButton"
        << "&FileOpen" << QRect(16, 128, 75, 25) << 11 << false << true << false;
    QTest::newRow("openedFileEdit") << "openedFileEdit"
                                    << "" << QRect(136, 128, 145, 24) << 13 << true << true << true;
    QTest::newRow("dataCopyButton")
        << "dataCopyButton"
        << "&DataCopy" << QRect(16, 168, 75, 25) << 11 << false << true << false;
    QTest::newRow("recordLabel") << "recordLabel"
                                 << "DATA" << QRect(16, 208, 0, 0) << 13 << true << false << false;
    QTest::newRow("recordEdit") << "recordEdit"
                                << "" << QRect(64, 208, 625, 21) << 11 << false << false << true;
    QTest::newRow("dateLabel") << "dateLabel"
                               << "DATE" << QRect(16, 240, 0, 0) << 13 << true << false << false;
    QTest::newRow("dateEdit") << "dateEdit"
                              << "" << QRect(64, 240, 113, 21) << 11 << false << false << true;
    QTest::newRow("closeComButton")
        << "closeComButton"
        << "CloseCo&m" << QRect(16, 280, 75, 25) << 11 << false << true << false;
    QTest::newRow("closeButton") << "closeButton"
                                 << "&Close" << QRect(552, 296, 75, 25) << 11 << false << true
                                 << false;
}

void TestDataCopy::layout()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(QRect, geometry);
    QFETCH(int, pixelSize);
    QFETCH(bool, bold);
    QFETCH(bool, tabStop);
    QFETCH(bool, readOnly);

    QCOMPARE(m_form->windowTitle(), QStringLiteral("     DATA COPY"));
    QCOMPARE(m_form->outerSize(), QSize(700, 375));

    QWidget *widget = control(name);
    QVERIFY(widget);
    if (auto *label = qobject_cast<QLabel *>(widget)) {
        QCOMPARE(label->text(), text);
        QCOMPARE(label->pos(), geometry.topLeft());
        // The whole text fits.
        QVERIFY(label->width() >= label->fontMetrics().horizontalAdvance(text));
    } else {
        QCOMPARE(widget->geometry(), geometry);
    }
    if (auto *button = qobject_cast<QPushButton *>(widget))
        QCOMPARE(button->text(), text);
    if (auto *edit = qobject_cast<QLineEdit *>(widget)) {
        QCOMPARE(edit->text(), text);
        QCOMPARE(edit->isReadOnly(), readOnly);
    }
    QCOMPARE(widget->font().pixelSize(), pixelSize);
    QCOMPARE(widget->font().bold(), bold);
    QCOMPARE(bool(widget->focusPolicy() & Qt::TabFocus), tabStop);
    const QColor ink = widget->palette().color(QPalette::WindowText);
    QCOMPARE(ink == Colours::Red, name == QLatin1String("fileNameHintLabel"));

    // Tab order: OpenCom, FileOpen, DataCopy, CloseCom, Close.
    QCOMPARE(Control<QPushButton>(m_form, "openComButton")->nextInFocusChain(),
        Control<QPushButton>(m_form, "fileOpenButton"));
    QCOMPARE(Control<QPushButton>(m_form, "fileOpenButton")->nextInFocusChain(),
        Control<QPushButton>(m_form, "dataCopyButton"));
    QCOMPARE(Control<QPushButton>(m_form, "dataCopyButton")->nextInFocusChain(),
        Control<QPushButton>(m_form, "closeComButton"));
    QCOMPARE(Control<QPushButton>(m_form, "closeComButton")->nextInFocusChain(),
        Control<QPushButton>(m_form, "closeButton"));
}

void TestDataCopy::portButtonsOnlyChangeTheText()
{
    const QStringList before = directoryEntries();
    press(Control<QPushButton>(m_form, "openComButton"));
    QCOMPARE(Control<QLineEdit>(m_form, "portEdit")->text(), QStringLiteral("COM1"));
    press(Control<QPushButton>(m_form, "closeComButton"));
    QCOMPARE(Control<QLineEdit>(m_form, "portEdit")->text(), QStringLiteral(" "));
    press(Control<QPushButton>(m_form, "openComButton"));
    QVERIFY(press(Control<QPushButton>(m_form, "closeButton")).isEmpty());
    QCOMPARE(Control<QLineEdit>(m_form, "portEdit")->text(), QStringLiteral(" "));
    QVERIFY(!m_form->isVisible());
    QCOMPARE(directoryEntries(), before);
}

void TestDataCopy::firstCopyWritesOneRecord()
{
    QVERIFY(fileOpen(QStringLiteral("test.dat")).isEmpty());
    QCOMPARE(Control<QLineEdit>(m_form, "openedFileEdit")->text(), QStringLiteral("test.dat"));
    QVERIFY(QFile::exists(QStringLiteral("test.dat")));
    QVERIFY(m_form->hasDataFile());
    // Held against other writers until the copy.
    QVERIFY(!lockable(QStringLiteral("test.dat")));
    QVERIFY(Control<QLineEdit>(m_form, "recordEdit")->text().isEmpty());

    QVERIFY(dataCopy().isEmpty());
    const QByteArray bytes = ReadAll(QStringLiteral("test.dat"));
    QCOMPARE(bytes.size(), 132);
    QCOMPARE(bytes, DemonstrationFileBytes());
    QVERIFY(bytes.endsWith("\r\n0029\r\n"));
    QCOMPARE(ReadAll(QStringLiteral("dane.txt")), bytes);
    QVERIFY(!m_form->hasDataFile());
    QVERIFY(lockable(QStringLiteral("test.dat")));

    // The text shows what the file holds, group for group.
    const QString text = Control<QLineEdit>(m_form, "recordEdit")->text();
    QCOMPARE(text,
        QStringLiteral("0001|0002|000A|0050|0280|09B0|09E5|04DC|02F3|01C9|0141|00EA|009A|0060|"
                       "001B|0003|0002|0001|0258|0015|0315|0029"));
    QStringList lines = QString::fromLatin1(bytes).split(QStringLiteral("\r\n"));
    lines.removeLast();
    QCOMPARE(text, lines.join(QLatin1Char('|')).toUpper());
    QCOMPARE(Control<QLineEdit>(m_form, "dateEdit")->text(), Date);
}

void TestDataCopy::eachCopyTakesTheWholeIntermediateFile()
{
    fileOpen(QStringLiteral("test.dat"));
    dataCopy();
    QVERIFY(fileOpen(QStringLiteral("b.dat")).isEmpty());
    QVERIFY(dataCopy().isEmpty());
    QCOMPARE(ReadAll(QStringLiteral("b.dat")), DemonstrationFileBytes().repeated(2));
    QCOMPARE(ReadAll(QStringLiteral("test.dat")), DemonstrationFileBytes());

    // A "dane.txt" left by an earlier run is carried on.
    WriteFile(QStringLiteral("dane.txt"), DemonstrationFileBytes().repeated(4));
    fileOpen(QStringLiteral("c.dat"));
    dataCopy();
    QCOMPARE(ReadAll(QStringLiteral("c.dat")).size(), 5 * 132);
    QCOMPARE(ReadAll(QStringLiteral("dane.txt")), ReadAll(QStringLiteral("c.dat")));
}

void TestDataCopy::nameIsTakenUnchanged_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("no extension") << "test";
    QTest::newRow("blanks kept") << " blank.dat ";
    QTest::newRow("folder") << "sub/in folder.dat";
}

void TestDataCopy::nameIsTakenUnchanged()
{
    QFETCH(QString, name);
    QDir().mkdir(QStringLiteral("sub"));
    QVERIFY(fileOpen(name).isEmpty());
    QCOMPARE(Control<QLineEdit>(m_form, "openedFileEdit")->text(), name);
    QVERIFY(QFileInfo(name).isFile());
    QVERIFY(!QFile::exists(name + QStringLiteral(".dat")));
    QVERIFY(!QFile::exists(name.trimmed()) || name.trimmed() == name);
    dataCopy();
    QCOMPARE(ReadAll(name), DemonstrationFileBytes());
}

void TestDataCopy::fileOpenThenCloseEmptiesTheFile()
{
    WriteFile(QStringLiteral("old.dat"), "earlier contents");
    fileOpen(QStringLiteral("old.dat"));
    press(Control<QPushButton>(m_form, "closeButton"));
    QVERIFY(!m_form->isVisible());
    QCOMPARE(QFileInfo(QStringLiteral("old.dat")).size(), 0);

    // The open data file and the texts survive hiding and showing.
    m_form->show();
    QCOMPARE(Control<QLineEdit>(m_form, "fileNameEdit")->text(), QStringLiteral("old.dat"));
    QCOMPARE(Control<QLineEdit>(m_form, "openedFileEdit")->text(), QStringLiteral("old.dat"));
    QVERIFY(dataCopy().isEmpty());
    QCOMPARE(ReadAll(QStringLiteral("old.dat")), DemonstrationFileBytes());
    press(Control<QPushButton>(m_form, "closeButton"));
    m_form->show();
    QCOMPARE(Control<QLineEdit>(m_form, "dateEdit")->text(), Date);
    QCOMPARE(Control<QLineEdit>(m_form, "recordEdit")->text(), RecordText(DemonstrationRecord));
}

void TestDataCopy::enterInTheNameFieldPressesNothing()
{
    m_form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_form));
    QTest::mouseClick(Control<QLineEdit>(m_form, "fileNameEdit"), Qt::LeftButton);
    QVERIFY(Control<QLineEdit>(m_form, "fileNameEdit")->hasFocus());
    const QList<SeenMessageBox> boxes = CollectMessageBoxes([this] {
        QTest::keyClicks(Control<QLineEdit>(m_form, "fileNameEdit"), QStringLiteral("typed.dat"));
        QTest::keyClick(Control<QLineEdit>(m_form, "fileNameEdit"), Qt::Key_Return);
    });
    QVERIFY(boxes.isEmpty());
    QVERIFY(m_form->isVisible());
    QVERIFY(Control<QLineEdit>(m_form, "portEdit")->text().isEmpty());
    QVERIFY(!QFile::exists(QStringLiteral("typed.dat")));
    press(Control<QPushButton>(m_form, "fileOpenButton"));
    QVERIFY(QFile::exists(QStringLiteral("typed.dat")));
}

void TestDataCopy::fileOpenFailures_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("reason");
    QTest::newRow("empty name") << ""
                                << ""
                                << "no file name was given";
    QTest::newRow("missing folder") << ""
                                    << "nowhere/x.dat"
                                    << "No such file or directory";
    QTest::newRow("directory") << "directory"
                               << "folder.dat"
                               << "directory";
    QTest::newRow("no permission") << "read-only folder"
                                   << "locked/x.dat"
                                   << "Permission denied";
    QTest::newRow("in use") << "in use"
                            << "busy.dat"
                            << "in use by another program";
}

void TestDataCopy::fileOpenFailures()
{
    QFETCH(QString, setup);
    QFETCH(QString, name);
    QFETCH(QString, reason);

    std::unique_ptr<ForeignLock> holder;
    const auto restore = qScopeGuard([] {
        QFile::setPermissions(QStringLiteral("locked"),
            QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    });
    if (setup == "directory") {
        QDir().mkdir(name);
    } else if (setup == "read-only folder") {
        QDir().mkdir(QStringLiteral("locked"));
        QFile::setPermissions(
            QStringLiteral("locked"), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        if (QFile(QStringLiteral("locked/probe")).open(QIODevice::WriteOnly))
            QSKIP("permissions do not bind this user");
    } else if (setup == "in use") {
        WriteFile(name, "another program's data");
        holder = std::make_unique<ForeignLock>(name);
        if (!holder->locked())
            QSKIP("no file locks here");
    }
    const QStringList before = directoryEntries();

    const QList<SeenMessageBox> boxes = fileOpen(name);
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes[0].title, QStringLiteral("Mistake"));
    QVERIFY2(boxes[0].text.startsWith(QStringLiteral("Cannot create \"%1\": ").arg(name)),
        qPrintable(boxes[0].text));
    QVERIFY2(boxes[0].text.contains(reason, Qt::CaseInsensitive), qPrintable(boxes[0].text));
    QCOMPARE(Control<QLineEdit>(m_form, "openedFileEdit")->text(), name);
    QVERIFY(!m_form->hasDataFile());
    QCOMPARE(directoryEntries(), before);
    if (setup == "in use")
        QCOMPARE(ReadAll(name), QByteArray("another program's data"));

    // Nothing to copy into: the copy is refused before "dane.txt" is touched.
    const QList<SeenMessageBox> copyBoxes = dataCopy();
    QCOMPARE(copyBoxes.size(), 1);
    QCOMPARE(copyBoxes[0].text, QStringLiteral("Please open file first"));
    QVERIFY(!QFile::exists(QStringLiteral("dane.txt")));
}

void TestDataCopy::secondFileOpenLetsTheFirstGo()
{
    fileOpen(QStringLiteral("a.dat"));
    QVERIFY(fileOpen(QStringLiteral("b.dat")).isEmpty());
    QVERIFY(lockable(QStringLiteral("a.dat")));
    QVERIFY(!lockable(QStringLiteral("b.dat")));

    // The same name again works only because the earlier handle was closed.
    QVERIFY(fileOpen(QStringLiteral("b.dat")).isEmpty());
    QVERIFY(dataCopy().isEmpty());
    QCOMPARE(ReadAll(QStringLiteral("b.dat")), DemonstrationFileBytes());
    QCOMPARE(QFileInfo(QStringLiteral("a.dat")).size(), 0);
}

void TestDataCopy::copyWithoutDataFile_data()
{
    QTest::addColumn<QString>("history");
    QTest::newRow("none created") << "none";
    QTest::newRow("creation failed") << "failed";
    QTest::newRow("closed by the previous copy") << "copied";
}

void TestDataCopy::copyWithoutDataFile()
{
    QFETCH(QString, history);
    if (history == "failed") {
        QCOMPARE(fileOpen(QStringLiteral("missing/x.dat")).size(), 1);
    } else if (history == "copied") {
        fileOpen(QStringLiteral("test.dat"));
        dataCopy();
    } else {
        Control<QLineEdit>(m_form, "recordEdit")->setText(QStringLiteral("earlier record"));
        Control<QLineEdit>(m_form, "dateEdit")->setText(QStringLiteral("earlier date"));
    }
    const QString record = Control<QLineEdit>(m_form, "recordEdit")->text();
    const QString date = Control<QLineEdit>(m_form, "dateEdit")->text();
    const QByteArray intermediate = ReadAll(QStringLiteral("dane.txt"));
    const QStringList entries = directoryEntries();

    const QList<SeenMessageBox> boxes = dataCopy();
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes[0].text, QStringLiteral("Please open file first"));
    QCOMPARE(boxes[0].title, QStringLiteral("Mistake"));
    QCOMPARE(boxes[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(ReadAll(QStringLiteral("dane.txt")), intermediate);
    QCOMPARE(directoryEntries(), entries);
    QCOMPARE(Control<QLineEdit>(m_form, "recordEdit")->text(), record);
    QCOMPARE(Control<QLineEdit>(m_form, "dateEdit")->text(), date);
    if (history == "copied")
        QCOMPARE(ReadAll(QStringLiteral("test.dat")), DemonstrationFileBytes());
}

void TestDataCopy::appendFailureChangesNothing()
{
    QDir().mkdir(QStringLiteral("dane.txt"));
    fileOpen(QStringLiteral("test.dat"));
    const QList<SeenMessageBox> boxes = dataCopy();
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes[0].title, QStringLiteral("Mistake"));
    QVERIFY2(boxes[0].text.contains(QStringLiteral("\"dane.txt\"")), qPrintable(boxes[0].text));
    QCOMPARE(QFileInfo(QStringLiteral("test.dat")).size(), 0);
    QVERIFY(Control<QLineEdit>(m_form, "recordEdit")->text().isEmpty());
    QVERIFY(Control<QLineEdit>(m_form, "dateEdit")->text().isEmpty());

    // Once the cause is gone the same data file takes the copy.
    QVERIFY(m_form->hasDataFile());
    QDir().rmdir(QStringLiteral("dane.txt"));
    QVERIFY(dataCopy().isEmpty());
    QCOMPARE(ReadAll(QStringLiteral("test.dat")), DemonstrationFileBytes());
    QCOMPARE(Control<QLineEdit>(m_form, "dateEdit")->text(), Date);
}

void TestDataCopy::intermediateDeviceIsRefused()
{
    // An intermediate "file" that would swallow what is appended and give nothing back.
    if (!QFile::link(QStringLiteral("/dev/null"), QStringLiteral("dane.txt")))
        QSKIP("no /dev/null to link to");
    fileOpen(QStringLiteral("test.dat"));
    const QList<SeenMessageBox> boxes = dataCopy();
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes[0].title, QStringLiteral("Mistake"));
    QVERIFY2(boxes[0].text.startsWith(
                 QStringLiteral("\"dane.txt\" is a symbolic link to \"/dev/null\", not a file")),
        qPrintable(boxes[0].text));
    QCOMPARE(QFileInfo(QStringLiteral("test.dat")).size(), 0);
    QVERIFY(Control<QLineEdit>(m_form, "recordEdit")->text().isEmpty());
    QVERIFY(Control<QLineEdit>(m_form, "dateEdit")->text().isEmpty());
}

void TestDataCopy::writeFailureLeavesIntermediateFileAsItWas_data()
{
    QTest::addColumn<int>("recordsBefore");
    QTest::addColumn<bool>("diskFull");
    QTest::newRow("first copy, disk already full") << 0 << true;
    QTest::newRow("601st copy, disk fills during the copy") << 600 << false;
}

void TestDataCopy::writeFailureLeavesIntermediateFileAsItWas()
{
    QFETCH(int, recordsBefore);
    QFETCH(bool, diskFull);
    SmallDisk disk(64 * 1024);
    if (!disk.ready())
        QSKIP(qPrintable(disk.reason()));
    if (recordsBefore > 0)
        WriteFile(QStringLiteral("dane.txt"), DemonstrationFileBytes().repeated(recordsBefore));
    const QString name = disk.filePath(QStringLiteral("test.dat"));

    QVERIFY(fileOpen(name).isEmpty());
    if (diskFull)
        disk.fill();
    const QList<SeenMessageBox> boxes = dataCopy();
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes[0].title, QStringLiteral("Mistake"));
    QCOMPARE(boxes[0].text,
        QStringLiteral("Cannot write \"%1\": No space left on device\n\"dane.txt\" was left as it "
                       "was.")
            .arg(name));
    QCOMPARE(QFile::exists(QStringLiteral("dane.txt")), recordsBefore > 0);
    QCOMPARE(ReadAll(QStringLiteral("dane.txt")), DemonstrationFileBytes().repeated(recordsBefore));
    QVERIFY(Control<QLineEdit>(m_form, "recordEdit")->text().isEmpty());
    QVERIFY(Control<QLineEdit>(m_form, "dateEdit")->text().isEmpty());
    // The data file is as FileOpen left it, still held for another try; nothing else is left.
    QCOMPARE(QFileInfo(name).size(), 0);
    QVERIFY(m_form->hasDataFile());
    QVERIFY(!lockable(name));
    QCOMPARE(QDir(disk.path()).entryList(QDir::Files | QDir::Hidden).size(), diskFull ? 2 : 1);

    // The next good copy holds one record per copy that succeeded.
    fileOpen(QStringLiteral("good.dat"));
    QVERIFY(dataCopy().isEmpty());
    QCOMPARE(
        ReadAll(QStringLiteral("good.dat")), DemonstrationFileBytes().repeated(recordsBefore + 1));
}

void TestDataCopy::workingFilesAreRefusedAsDataFiles_data()
{
    QTest::addColumn<QString>("working");
    QTest::addColumn<QString>("how"); // how the typed name leads to the working file
    QTest::addColumn<bool>("present");
    for (const QString &working : {QStringLiteral("dane.txt"), QStringLiteral("bufor.txt")}) {
        for (const QString &how :
            {QStringLiteral("bare name"), QStringLiteral("./name"), QStringLiteral("full path"),
                QStringLiteral("symbolic link"), QStringLiteral("hard link")})
            QTest::newRow(qPrintable(working + QLatin1String(", ") + how))
                << working << how << true;
        QTest::newRow(qPrintable(working + QLatin1String(", not made yet")))
            << working << "bare name" << false;
        QTest::newRow(qPrintable(working + QLatin1String(", link to it, not made yet")))
            << working << "symbolic link" << false;
    }
}

void TestDataCopy::workingFilesAreRefusedAsDataFiles()
{
    QFETCH(QString, working);
    QFETCH(QString, how);
    QFETCH(bool, present);
    const QByteArray records = DemonstrationFileBytes().repeated(3);
    if (present) {
        WriteFile(QStringLiteral("dane.txt"), records);
        WriteFile(QStringLiteral("bufor.txt"), records);
    }
    QString name = working;
    if (how == "./name")
        name = QStringLiteral("./") + working;
    else if (how == "full path")
        name = m_form.dir().filePath(working);
    else if (how == "symbolic link")
        QVERIFY(QFile::link(working, name = QStringLiteral("link.dat")));
    else if (how == "hard link") {
        name = QStringLiteral("hard.dat");
        QCOMPARE(::link(qPrintable(working), qPrintable(name)), 0);
    }
    const QStringList entries = directoryEntries();

    const QList<SeenMessageBox> boxes = fileOpen(name);
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes[0].title, QStringLiteral("Mistake"));
    QCOMPARE(boxes[0].text,
        QStringLiteral("Cannot create \"%1\": it is the working file \"%2\"").arg(name, working));
    QVERIFY(!m_form->hasDataFile());
    QCOMPARE(directoryEntries(), entries);
    QCOMPARE(ReadAll(QStringLiteral("dane.txt")), present ? records : QByteArray());
    QCOMPARE(ReadAll(QStringLiteral("bufor.txt")), present ? records : QByteArray());

    // Nothing to copy into, so nothing is appended either.
    QCOMPARE(dataCopy().size(), 1);
    QCOMPARE(ReadAll(QStringLiteral("dane.txt")), present ? records : QByteArray());
}

void TestDataCopy::dataFileGoneBeforeTheCopy_data()
{
    QTest::addColumn<QString>("what");
    QTest::addColumn<QString>("reason");
    QTest::newRow("deleted") << "deleted"
                             << "it was deleted after FileOpen";
    QTest::newRow("replaced") << "replaced"
                              << "another file took its name after FileOpen";
}

void TestDataCopy::dataFileGoneBeforeTheCopy()
{
    QFETCH(QString, what);
    QFETCH(QString, reason);
    WriteFile(QStringLiteral("dane.txt"), DemonstrationFileBytes());
    QVERIFY(fileOpen(QStringLiteral("test.dat")).isEmpty());
    QFile::remove(QStringLiteral("test.dat"));
    if (what == "replaced")
        WriteFile(QStringLiteral("test.dat"), "another program's file");

    const QList<SeenMessageBox> boxes = dataCopy();
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes[0].title, QStringLiteral("Mistake"));
    QCOMPARE(boxes[0].text,
        QStringLiteral("Cannot write \"test.dat\": %1.\nPress FileOpen to create it again.")
            .arg(reason));
    QCOMPARE(ReadAll(QStringLiteral("dane.txt")), DemonstrationFileBytes());
    QCOMPARE(QFile::exists(QStringLiteral("test.dat")), what == "replaced");
    if (what == "replaced")
        QCOMPARE(ReadAll(QStringLiteral("test.dat")), QByteArray("another program's file"));
    QVERIFY(!m_form->hasDataFile());
    QVERIFY(Control<QLineEdit>(m_form, "dateEdit")->text().isEmpty());
}

void TestDataCopy::copyKeepsPermissionsAndLinks()
{
    // The content arrives by a rename; the file keeps its mode and a link still leads to it.
    QDir().mkdir(QStringLiteral("sub"));
    WriteFile(QStringLiteral("sub/target.dat"), "old");
    const auto mode = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadOther;
    QFile::setPermissions(QStringLiteral("sub/target.dat"), mode);
    QVERIFY(QFile::link(QStringLiteral("sub/target.dat"), QStringLiteral("link.dat")));
    fileOpen(QStringLiteral("link.dat"));
    QVERIFY(dataCopy().isEmpty());
    QVERIFY(QFileInfo(QStringLiteral("link.dat")).isSymLink());
    QCOMPARE(ReadAll(QStringLiteral("sub/target.dat")), DemonstrationFileBytes());
    QCOMPARE(QFile::permissions(QStringLiteral("sub/target.dat")) & ~QFileDevice::ReadUser
            & ~QFileDevice::WriteUser,
        mode);
    QCOMPARE(QDir(QStringLiteral("sub")).entryList(QDir::Files | QDir::Hidden),
        QStringList {"target.dat"});
}

void TestDataCopy::failedCopyTakesBackOnlyItsOwnRecord_data()
{
    QTest::addColumn<QString>("meanwhile"); // what another program does to "dane.txt"
    QTest::addColumn<QString>("note");
    QTest::newRow("nothing") << "nothing"
                             << "\"dane.txt\" was left as it was.";
    QTest::newRow("grown") << "grown"
                           << "\"dane.txt\" was changed meanwhile by another program and was "
                              "left as it is.";
    QTest::newRow("shortened") << "shortened"
                               << "\"dane.txt\" was changed meanwhile by another program and "
                                  "was left as it is.";
}

void TestDataCopy::failedCopyTakesBackOnlyItsOwnRecord()
{
    // The user cancels the copy in its third piece. The record is taken back only from the
    // length this copy left: another program's change stays, and no gap is ever filled.
    QFETCH(QString, meanwhile);
    QFETCH(QString, note);
    const QByteArray records = DemonstrationFileBytes().repeated(1000);
    const QByteArray theirs = RecordFileBytes(CounterRecord {});
    WriteFile(QStringLiteral("dane.txt"), records);
    QStringList labels;
    m_form->setProgressFactory([&](QWidget *, const QString &label) -> CopyProgress {
        labels.append(label);
        return [&, pieces = 0](qint64, qint64) mutable {
            if (++pieces < 3)
                return true;
            if (meanwhile == "grown") {
                QFile file(QStringLiteral("dane.txt"));
                file.open(QIODevice::Append);
                file.write(theirs);
            } else if (meanwhile == "shortened") {
                QFile::resize(QStringLiteral("dane.txt"), 132);
            }
            return false;
        };
    });
    QVERIFY(fileOpen(QStringLiteral("test.dat")).isEmpty());
    const QList<SeenMessageBox> boxes = dataCopy();
    QCOMPARE(labels, QStringList {"Copying \"dane.txt\" into \"test.dat\" ..."});
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes[0].title, QStringLiteral("Mistake"));
    QCOMPARE(boxes[0].text, "The copy of \"dane.txt\" to \"test.dat\" was cancelled.\n" + note);
    QByteArray expected = records;
    if (meanwhile == "grown")
        expected += DemonstrationFileBytes() + theirs;
    else if (meanwhile == "shortened")
        expected = DemonstrationFileBytes();
    QCOMPARE(ReadAll(QStringLiteral("dane.txt")), expected);
    // The data file is as FileOpen left it, held for another try, with nothing beside it.
    QCOMPARE(QFileInfo(QStringLiteral("test.dat")).size(), 0);
    QVERIFY(!lockable(QStringLiteral("test.dat")));
    QCOMPARE(directoryEntries(), QStringList({"dane.txt", "test.dat"}));
    QVERIFY(Control<QLineEdit>(m_form, "dateEdit")->text().isEmpty());
}

void TestDataCopy::dataFileOpensInTheOtherWindows()
{
    fileOpen(QStringLiteral("flight.dat"));
    dataCopy();
    fileOpen(QStringLiteral("flight2.dat"));
    dataCopy();

    SpectrumWindow spectrum;
    spectrum.show();
    const QString path = m_form.dir().filePath(QStringLiteral("flight2.dat"));
    spectrum.setFileChooser([path](QWidget *) { return path; });
    QVERIFY(CollectMessageBoxes([&] {
        QTest::mouseClick(Control<QPushButton>(&spectrum, "openFileButton"), Qt::LeftButton);
    }).isEmpty());
    QVERIFY(CollectMessageBoxes([&] {
        QTest::mouseClick(Control<QPushButton>(&spectrum, "spectrumButton"), Qt::LeftButton);
    }).isEmpty());
    QCOMPARE(
        Control<QLineEdit>(&spectrum, "workTimeEdit")->text(), QStringLiteral("252.16667175293"));
    QCOMPARE(spectrum.cell(0, 1), QStringLiteral("1"));
    QCOMPARE(spectrum.cell(0, 2), QStringLiteral("0.00396561529487371"));
    QCOMPARE(spectrum.cell(6, 1), QStringLiteral("2533"));
    QCOMPARE(spectrum.cell(6, 3), QStringLiteral("1.00194573402405"));

    TimersWindow timers;
    timers.show();
    QVERIFY(CollectMessageBoxes([&] {
        QTest::mouseClick(Control<QPushButton>(&timers, "timeButton"), Qt::LeftButton);
    }).isEmpty());
    QCOMPARE(
        Control<QLineEdit>(&timers, "workTimeEdit")->text(), QStringLiteral("252.166666666667"));
    QCOMPARE(Control<QLineEdit>(&timers, "daysLeftEdit")->text(), QStringLiteral("344"));
}

ZEMRA_TEST_MAIN(TestDataCopy)
#include "tst_datacopywindow.moc"
