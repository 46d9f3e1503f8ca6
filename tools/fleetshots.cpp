// The windows of zemra-fleet for `make screenshots`, over a made-up register of a few invented
// aircraft (registrations under the prefix QX-, which no state uses; types of invented names):
// the fleet window and an aircraft's page, each of its tabs, into <output>/fleet/.
#include "FleetShots.h"

#include "CounterRecord.h"
#include "FleetStyle.h"
#include "FleetWindow.h"
#include "Register.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QSettings>
#include <QTabWidget>
#include <QTableView>

#include <algorithm>
#include <cstdio>

namespace {
// Running totals of a made-up spectrum after `months` months of `hours` hours each, flown with
// the weight `harsh` (1: the type's usual flying); `events` counts at -1.4 g so far.
// The counts of a month of the type's usual flying at each level.
int monthly(int level)
{
    static const int weights[LevelCount]
        = {0, 0, 3, 10, 45, 120, 130, 70, 40, 24, 14, 9, 6, 3, 1, 1, 0, 0};
    return weights[level] * (level > 11 ? 2 : 1);
}

CounterRecord totals(int months, int hours, double harsh, int events)
{
    CounterRecord words {};
    for (int level = 0; level < LevelCount; ++level)
        words[level] = std::uint16_t(months * monthly(level) * harsh);
    words[1] = std::uint16_t(events);
    const int seconds = months * hours * 3600;
    words[ActiveSecondsWord] = std::uint16_t(seconds % 43200);
    words[ActivePeriodsWord] = std::uint16_t(seconds / 43200);
    words[BatterySecondsWord] = 600;
    words[BatteryPeriodsWord] = 30;
    return words;
}

// A made-up design spectrum (NOT real data): the usual flying at 16 h a month, per 1000 h.
QString designText()
{
    QString text = QStringLiteral(
        "# Made-up example, NOT real data\nname,Kestrel 3 (made up)\n"
        "source,Invented\ntable,none\npage,none\nnormalisation,per 1000 h\naxis,n\n");
    for (int level = 0; level < LevelCount; ++level)
        text += QStringLiteral("%1,%2,%3\n")
                    .arg(LoadLevels[level].n < 1 ? QStringLiteral("negative")
                                                 : QStringLiteral("positive"),
                        QLatin1String(LoadLevels[level].text))
                    .arg(std::max(2.0, monthly(level) * 1000.0 / 16));
    return text;
}

DamageParameters curve(double stressPerG)
{
    DamageParameters p;
    p.stressPerG = stressPerG, p.slope = 5, p.enduranceStress = 80, p.enduranceCycles = 2e6;
    p.designLife = 6000;
    return p;
}

struct Plane
{
    const char *registration;
    const char *type;
    int months;
    int hoursAMonth;
    double harsh;
    int eventMonth; // a count at -1.4 g in this month and in the year after it; 0: none
};

// The register in `folder`: its location, or an empty text after saying why not.
QString makeRegister(const QDir &folder)
{
    const QString path = folder.filePath(QStringLiteral("fleet.sqlite"));
    folder.mkpath(QStringLiteral("flights"));
    OpenedRegister opened
        = Register::open(ParseRegisterLocation(path).location, Register::Access::Write);
    if (!opened.ok()) {
        std::fprintf(stderr, "screenshots: %s\n", qPrintable(opened.message()));
        return {};
    }
    Register &reg = *opened.reg;
    StructuralData kestrel, heron;
    kestrel.damage = curve(95);
    kestrel.limits = LimitLoads {3.8, -1.52};
    heron.damage = curve(80);
    reg.setType(QStringLiteral("Kestrel 3"), kestrel);
    reg.setType(QStringLiteral("Heron 9T"), heron);
    if (const TypeResult design = reg.setTypeDesign(QStringLiteral("Kestrel 3"),
            DesignSpectrumFile {QStringLiteral("kestrel.csv"), designText()});
        !design.ok()) {
        std::fprintf(stderr, "screenshots: %s\n", qPrintable(design.message()));
        return {};
    }
    const Plane planes[]
        = {{"QX-KAE", "Kestrel 3", 30, 22, 1.6, 11}, {"QX-KAB", "Kestrel 3", 24, 18, 1.0, 0},
            {"QX-HNA", "Heron 9T", 20, 30, 1.3, 0}, {"QX-KAC", "Kestrel 3", 14, 15, 0.7, 6},
            {"QX-HNB", "Heron 9T", 9, 26, 0.9, 0}, {"QX-HND", "Heron 9T", 4, 12, 0.5, 0}};
    for (const Plane &plane : planes) {
        const QString registration = QString::fromLatin1(plane.registration);
        AircraftChange change {
            registration, QString::fromLatin1(plane.type), CombineMode::Running, {}, {}, {}};
        if (registration == QLatin1String("QX-HNA"))
            change.checks = CheckSettings {{}, 500, {}, {}};
        if (!reg.setAircraft(change).ok())
            return {};
        for (int month = 1; month <= plane.months; ++month) {
            const QDate taken = QDate(2026, 12, 1).addMonths(month - plane.months);
            // The files as the reader names them: registration and day, in the folder flights/.
            const QString name = QStringLiteral("flights/%1-%2.dat")
                                     .arg(registration, taken.toString(Qt::ISODate));
            const int events = plane.eventMonth == 0
                ? 0
                : int(month >= plane.eventMonth) + int(month >= plane.eventMonth + 12);
            const CounterRecord words = totals(month, plane.hoursAMonth, plane.harsh, events);
            QFile out(folder.filePath(name));
            if (!out.open(QIODevice::WriteOnly) || out.write(RecordFileBytes(words)) < 0)
                return {};
            out.close();
            const AddResult added = reg.add(registration, {{name, taken}});
            if (!added.ok()) {
                std::fprintf(stderr, "screenshots: %s\n", qPrintable(added.message()));
                return {};
            }
        }
    }
    return path;
}

bool save(QWidget *window, const QString &file)
{
    window->show();
    QCoreApplication::processEvents();
    if (window->grab().save(file))
        return true;
    std::fprintf(stderr, "screenshots: cannot write %s\n", qPrintable(file));
    return false;
}
} // namespace

int FleetScreenshots(const QString &output)
{
    UseFleetStyle(); // as zemra-fleet's main() does; zemra's windows are done by now
    const QString folder = output + QStringLiteral("/fleet");
    QDir().mkpath(folder);
    const QString location = makeRegister(QDir::current());
    if (location.isEmpty())
        return 1;
    QSettings settings(QDir::current().filePath(QStringLiteral("fleet.ini")), QSettings::IniFormat);
    FleetWindow window(settings);
    window.show();
    window.openLocation(location);
    window.waitUntilIdle();
    // Wide enough for every column of the table, as tall as a few more rows need.
    auto *table = window.findChild<QTableView *>(QStringLiteral("fleetTable"));
    window.resize(std::max(window.width(), table->horizontalHeader()->length() + 60), 420);
    // The status's colour seen on the lead's row too, not the selection's.
    table->clearSelection();
    int failures = save(&window, folder + QStringLiteral("/fleet.png")) ? 0 : 1;

    QWidget *page = nullptr;
    QObject::connect(
        &window, &FleetWindow::aircraftShown, [&page](QWidget *shown) { page = shown; });
    window.showAircraft(QStringLiteral("QX-KAC"));
    window.waitUntilIdle();
    auto *tabs = page ? page->findChild<QTabWidget *>() : nullptr;
    if (!tabs) {
        std::fprintf(stderr, "screenshots: the aircraft's page was not shown\n");
        return failures + 1;
    }
    // The history at the size of all its columns and rows, the other tabs at the page's own.
    const QSize size = page->size();
    const char *names[]
        = {"aircraft-history", "aircraft-trend", "aircraft-overlimit", "aircraft-exceedance"};
    for (int tab = 0; tab < tabs->count() && tab < int(std::size(names)); ++tab) {
        tabs->setCurrentIndex(tab);
        auto *history = page->findChild<QTableView *>(QStringLiteral("historyTable"));
        if (tab == 0 && history)
            page->resize(std::max(size.width(), history->horizontalHeader()->length() + 70),
                std::max(size.height(), history->verticalHeader()->length() + 150));
        else
            page->resize(size);
        const QString file = folder + QLatin1Char('/') + QLatin1String(names[tab]) + ".png";
        failures += save(page, file) ? 0 : 1;
    }
    page->close();
    return failures;
}
