// The files the .deb installs beside each windowed program: its desktop entry names the program
// and its icon, the icon's source is there, the AppStream entry is the desktop entry's, and
// zemra-fleet's manual page lists exactly the options its --help prints.
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

namespace {
QByteArray readSource(const QString &relative)
{
    QFile file(QStringLiteral(ZEMRA_SOURCE_DIR "/") + relative);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The keys of a desktop entry's [Desktop Entry] group.
QMap<QString, QString> desktopKeys(const QByteArray &text)
{
    QMap<QString, QString> keys;
    bool inGroup = false;
    for (const QByteArray &raw : text.split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.startsWith(QLatin1Char('[')))
            inGroup = line == QLatin1String("[Desktop Entry]");
        else if (inGroup && line.contains(QLatin1Char('=')) && !line.startsWith(QLatin1Char('#')))
            keys.insert(line.section(QLatin1Char('='), 0, 0), line.section(QLatin1Char('='), 1));
    }
    return keys;
}

// The long options of a --help text: "  -h, --help  ..." or "  --register <LOCATION>  ...".
QSet<QString> helpOptions(const QByteArray &help)
{
    QSet<QString> names;
    static const QRegularExpression entry(
        QStringLiteral("^\\s+(?:-\\w, )?--([a-z-]+)"), QRegularExpression::MultilineOption);
    auto matches = entry.globalMatch(QString::fromUtf8(help));
    while (matches.hasNext())
        names.insert(matches.next().captured(1));
    return names;
}

// The long options a manual page's OPTIONS section describes: each ".TP" item's "\-\-name".
QSet<QString> manualOptions(const QByteArray &page)
{
    const qsizetype from = page.indexOf(".SH OPTIONS"), to = page.indexOf("\n.SH", from + 1);
    if (from < 0)
        return {};
    QSet<QString> names;
    static const QRegularExpression entry(
        QStringLiteral("^\\.TP\\n\\.B\\w* .*?\\\\-\\\\-((?:[a-z]|\\\\-)+)"),
        QRegularExpression::MultilineOption);
    auto matches = entry.globalMatch(QString::fromUtf8(page.mid(from, to - from)));
    while (matches.hasNext())
        names.insert(matches.next().captured(1).remove(QLatin1Char('\\')));
    return names;
}
} // namespace

class TestDesktopFiles : public QObject
{
    Q_OBJECT

private slots:
    void entries_data();
    void entries();
    void manualOptions();
};

void TestDesktopFiles::entries_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("icon");
    QTest::newRow("zemra") << "org.example.Zemra"
                           << "zemra"
                           << "resources/MAINICON.png";
    QTest::newRow("zemra-fleet") << "org.example.ZemraFleet"
                                 << "zemra-fleet"
                                 << "resources/linux/org.example.ZemraFleet.svg";
}

void TestDesktopFiles::entries()
{
    QFETCH(QString, id);
    QFETCH(QString, program);
    QFETCH(QString, icon);
    const auto keys = desktopKeys(readSource(QStringLiteral("resources/linux/%1.desktop").arg(id)));
    QCOMPARE(keys.value(QStringLiteral("Type")), QStringLiteral("Application"));
    QCOMPARE(keys.value(QStringLiteral("Exec")).section(QLatin1Char(' '), 0, 0), program);
    QCOMPARE(keys.value(QStringLiteral("Icon")), id);
    QVERIFY(!keys.value(QStringLiteral("Name")).isEmpty());
    QVERIFY(!readSource(icon).isEmpty());

    const QString metainfo
        = QString::fromUtf8(readSource(QStringLiteral("resources/linux/%1.metainfo.xml").arg(id)));
    QVERIFY(metainfo.contains(QStringLiteral("<id>%1</id>").arg(id)));
    QVERIFY(metainfo.contains(
        QStringLiteral("<launchable type=\"desktop-id\">%1.desktop</launchable>").arg(id)));
    // The manual page of the program, under its own name.
    QVERIFY(readSource(QStringLiteral("docs/man/%1.1").arg(program))
                .startsWith(".TH " + program.toUpper().toUtf8() + ' '));
}

void TestDesktopFiles::manualOptions()
{
    QProcess fleet;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    fleet.setProcessEnvironment(environment);
    fleet.start(QStringLiteral(ZEMRA_FLEET), {QStringLiteral("--help")});
    QVERIFY(fleet.waitForFinished(30000));
    QCOMPARE(fleet.exitCode(), 0);
    const QSet<QString> help = helpOptions(fleet.readAllStandardOutput());
    QVERIFY(help.contains(QStringLiteral("register")));
    QCOMPARE(::manualOptions(readSource(QStringLiteral("docs/man/zemra-fleet.1"))), help);
}

QTEST_GUILESS_MAIN(TestDesktopFiles)
#include "tst_desktopfiles.moc"
