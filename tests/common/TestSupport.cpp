#include "TestSupport.h"

#include "CounterRecord.h"
#include "WindowOwner.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include <cerrno>
#include <csignal>
#include <cstring>

#include <cstdio>

#include <grp.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

TempWorkDir::TempWorkDir()
    : m_previous(QDir::currentPath())
{
    QDir::setCurrent(m_dir.path());
}

TempWorkDir::~TempWorkDir()
{
    QDir::setCurrent(m_previous);
}

QList<SeenMessageBox> CollectMessageBoxes(const std::function<void()> &action)
{
    QList<SeenMessageBox> seen;
    QTimer timer;
    timer.setInterval(5);
    QObject::connect(&timer, &QTimer::timeout, [&seen] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        seen.append({box->windowTitle(), box->text(), box->icon(), box->standardButtons()});
        if (QAbstractButton *ok = box->button(QMessageBox::Ok))
            ok->click();
        else
            box->reject();
    });
    timer.start();
    action();
    timer.stop();
    return seen;
}

void OnModal(QWidget *widget, std::function<void()> handler)
{
    auto *timer = new QTimer;
    timer->setInterval(5);
    QPointer<QWidget> target(widget);
    QObject::connect(timer, &QTimer::timeout, [timer, target, handler = std::move(handler)] {
        if (target && QApplication::activeModalWidget() != target)
            return;
        timer->stop();
        timer->deleteLater();
        if (target)
            handler();
    });
    timer->start();
}

QByteArray ReadAll(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

void WriteFile(const QString &fileName, const QByteArray &bytes)
{
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write %s", qPrintable(fileName));
    file.write(bytes);
}

CounterRecord MadeUpTotals(int n, int hours, bool top)
{
    static const int weights[LevelCount]
        = {0, 1, 2, 8, 40, 100, 110, 60, 35, 20, 12, 8, 5, 3, 1, 1, 0, 0};
    CounterRecord words {};
    for (int level = 0; level < LevelCount; ++level)
        words[level] = std::uint16_t(n * weights[level]);
    if (top)
        words[LevelCount - 1] = 1;
    const int seconds = hours * 3600;
    words[ActiveSecondsWord] = std::uint16_t(seconds % 43200);
    words[ActivePeriodsWord] = std::uint16_t(seconds / 43200);
    words[BatterySecondsWord] = 100;
    return words;
}

void WriteRecordsFile(const QString &fileName, const QList<CounterRecord> &records)
{
    QByteArray bytes;
    for (const CounterRecord &record : records)
        bytes += RecordFileBytes(record);
    WriteFile(fileName, bytes);
}

QByteArray DemonstrationFileBytes()
{
    return QByteArrayLiteral("0001\r\n0002\r\n000a\r\n0050\r\n0280\r\n09b0\r\n09e5\r\n04dc\r\n"
                             "02f3\r\n01c9\r\n0141\r\n00ea\r\n009a\r\n0060\r\n001b\r\n0003\r\n"
                             "0002\r\n0001\r\n0258\r\n0015\r\n0315\r\n0029\r\n");
}

QObject *FindControl(const QObject *window, const char *name, const QMetaObject &type)
{
    QObject *found = nullptr;
    for (QObject *child : window->findChildren<QObject *>(QLatin1String(name))) {
        if (type.cast(child)) {
            found = child;
            break;
        }
    }
    if (!found)
        qFatal("%s has no %s named %s", qPrintable(window->objectName()), type.className(), name);
    return found;
}

namespace {
std::unique_ptr<WindowOwner> g_windows;
} // namespace

WindowOwner &programWindows()
{
    // The ports as mapped for every test: devices that do not exist (KeepOffRealPorts).
    if (!g_windows)
        g_windows = std::make_unique<WindowOwner>();
    return *g_windows;
}

void MakeWindows(const StartupOptions &options)
{
    g_windows = std::make_unique<WindowOwner>(options);
}

void DropWindows()
{
    g_windows.reset();
}

void KeepOffRealPorts()
{
    qputenv("ZEMRA_COM1", "/nonexistent/zemra-test/COM1");
    qputenv("ZEMRA_COM2", "/nonexistent/zemra-test/COM2");
    static QTemporaryDir settings;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(settings.path()));
}

namespace {
void watchdogExpired(int)
{
    static const char message[] = "Watchdog: the test blocked and was ended\n";
    (void)!::write(STDERR_FILENO, message, sizeof message - 1);
    ::_exit(3);
}
} // namespace

Watchdog::Watchdog(unsigned seconds)
{
    std::signal(SIGALRM, watchdogExpired);
    ::alarm(seconds);
}

Watchdog::~Watchdog()
{
    ::alarm(0);
}

namespace {
// The reason a private mount namespace cannot be had, or an empty string once it is.
QString privateMountNamespace()
{
    static const QString reason = []() -> QString {
        if (::unshare(CLONE_NEWNS) != 0)
            return QStringLiteral("no private mount namespace: %1")
                .arg(QString::fromLocal8Bit(std::strerror(errno)));
        // Mounts made from here on stay in this namespace.
        if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
            return QStringLiteral("mounts cannot be made private: %1")
                .arg(QString::fromLocal8Bit(std::strerror(errno)));
        return QString();
    }();
    return reason;
}
} // namespace

SmallDisk::SmallDisk(qint64 bytes)
{
    m_reason = privateMountNamespace();
    if (!m_reason.isEmpty())
        return;
    const QByteArray options = "size=" + QByteArray::number(bytes);
    if (::mount("tmpfs", QFile::encodeName(path()).constData(), "tmpfs", MS_NOSUID | MS_NODEV,
            options.constData())
        != 0)
        m_reason = QStringLiteral("cannot mount a RAM disk: %1")
                       .arg(QString::fromLocal8Bit(std::strerror(errno)));
}

SmallDisk::~SmallDisk()
{
    if (ready())
        ::umount2(QFile::encodeName(path()).constData(), MNT_DETACH);
}

void SmallDisk::fill()
{
    QFile filler(filePath(QStringLiteral("filler")));
    if (!filler.open(QIODevice::Append | QIODevice::Unbuffered))
        qFatal("cannot fill the RAM disk");
    const QByteArray block(4096, 'f');
    while (filler.write(block) == block.size()) { }
    // The last page may be partly free still.
    while (filler.write("f", 1) == 1) { }
}

bool MakeSpecialFile(const QString &kind, const QString &name)
{
    if (kind == QLatin1String("FIFO"))
        return ::mkfifo(QFile::encodeName(name).constData(), 0666) == 0;
    struct stat zero
    {
    };
    if (kind != QLatin1String("/dev/zero") || ::stat("/dev/zero", &zero) != 0
        || !S_ISCHR(zero.st_mode))
        return false;
    return ::mknod(QFile::encodeName(name).constData(), S_IFCHR | 0666, zero.st_rdev) == 0;
}

int RunAsNobody(const std::function<int()> &body)
{
    std::fflush(stdout);
    std::fflush(stderr);
    const pid_t child = ::fork();
    if (child < 0)
        return -1;
    if (child == 0) {
        constexpr uid_t Nobody = 65534;
        if (::setgroups(0, nullptr) != 0 || ::setgid(Nobody) != 0 || ::setuid(Nobody) != 0)
            ::_exit(100);
        ::_exit(body());
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}
