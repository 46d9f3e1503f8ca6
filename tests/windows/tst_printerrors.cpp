#include "ChartWindow.h"
#include "CounterRecord.h"
#include "MessageBox.h"
#include "TestSupport.h"
#include "ZemraApplication.h"

#include <QFile>
#include <QPrinter>
#include <QPushButton>
#include <QTest>

// A print that fails is named in the standard error box.
class TestPrintErrors : public QObject
{
    Q_OBJECT
private slots:
    void printFailuresReachTheErrorBox_data();
    void printFailuresReachTheErrorBox();
};

namespace {
std::unique_ptr<QPrinter> pdfPrinter(const QString &fileName)
{
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(fileName);
    return printer;
}
} // namespace

void TestPrintErrors::printFailuresReachTheErrorBox_data()
{
    QTest::addColumn<bool>("printerInstalled");
    QTest::addColumn<QString>("text");
    QTest::newRow("no default printer")
        << false << QStringLiteral("No default printer is installed.");
    QTest::newRow("printer cannot start")
        << true << QStringLiteral("The printer could not start the document.");
}

void TestPrintErrors::printFailuresReachTheErrorBox()
{
    QFETCH(bool, printerInstalled);
    QFETCH(QString, text);
    TempWorkDir dir;
    ChartWindow form;
    WriteFile(WorkingCopyName, DemonstrationFileBytes());
    const QString unwritable = dir.filePath(QStringLiteral("no/such/folder/out.pdf"));
    form.setPrinterSource([&]() -> std::unique_ptr<QPrinter> {
        if (!printerInstalled)
            return nullptr;
        return pdfPrinter(unwritable);
    });
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const QList<SeenMessageBox> seen = CollectMessageBoxes([&] {
        QTest::mouseClick(Control<QPushButton>(&form, "printButton"), Qt::LeftButton);
        QTest::qWait(30);
    });
    QCOMPARE(seen.size(), 1);
    QCOMPARE(seen[0].text, text);
    QCOMPARE(seen[0].title, ApplicationTitle());
    QCOMPARE(seen[0].icon, QMessageBox::Critical);
    QVERIFY(!QFile::exists(unwritable));
}

ZEMRA_TEST_MAIN(TestPrintErrors)
#include "tst_printerrors.moc"
