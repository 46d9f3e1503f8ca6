#include "OutputFile.h"

#include "RegularFile.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <sys/stat.h>
#include <unistd.h>

namespace {
// A descriptor as a QIODevice, in large blocks, keeping the system's reason of a failed write:
// QFile on a handle reports a full disk as "Unknown error".
class DescriptorWriter : public QIODevice
{
public:
    explicit DescriptorWriter(int fd)
        : m_fd(fd)
    {
        open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    }
    ~DescriptorWriter() override { close(); }
    bool isSequential() const override { return true; }
    // Writes what is held; false, with error() set, when any write failed.
    bool finish() { return drain() && m_error == 0; }
    int error() const { return m_error; }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 size) override
    {
        if (m_error != 0)
            return -1;
        m_held.append(data, size);
        if (m_held.size() >= 64 * 1024 && !drain())
            return -1;
        return size;
    }

private:
    bool drain()
    {
        const char *data = m_held.constData();
        qint64 left = m_held.size();
        while (left > 0 && m_error == 0) {
            const ssize_t put = ::write(m_fd, data, size_t(left));
            if (put < 0 && errno == EINTR)
                continue;
            if (put <= 0) {
                m_error = put < 0 ? errno : EIO;
                setErrorString(QString::fromLocal8Bit(std::strerror(m_error)));
                break;
            }
            data += put;
            left -= put;
        }
        m_held.resize(0);
        return m_error == 0;
    }

    int m_fd;
    QByteArray m_held;
    int m_error = 0;
};
} // namespace

QString OutputName(const QString &fileName)
{
    return fileName == QLatin1String("-") ? QStringLiteral("standard output") : fileName;
}

Result CheckOutputIsNoInput(
    const QString &fileName, const QStringList &inputs, const QString &inputsAre)
{
    struct stat output
    {
    };
    // An output not there yet (or a link to nothing) is no input.
    if (fileName == QLatin1String("-") || ::stat(QFile::encodeName(fileName), &output) != 0)
        return {};
    for (const QString &input : inputs) {
        struct stat status
        {
        };
        if (::stat(QFile::encodeName(input), &status) != 0 || !SameFile(status, output))
            continue;
        if (!inputsAre.isEmpty())
            return Result(Result::Invalid,
                QStringLiteral("Cannot write \"%1\": it is %2 \"%3\". Name another file.")
                    .arg(fileName, inputsAre, input));
        return Result(Result::Invalid,
            QStringLiteral("Cannot write \"%1\": it is \"%2\", which this command reads; an "
                           "output never replaces one of its inputs. Name another file.")
                .arg(fileName, input));
    }
    return {};
}

Result WriteOutputFile(
    const QString &fileName, const std::function<Result(QIODevice &device)> &write)
{
    const QString shownName = OutputName(fileName);
    const bool stream = fileName == QLatin1String("-");
    FileReplacement replacement;
    if (stream) {
        std::fflush(stdout); // what stdio holds goes first
    } else {
        // A kill at the rename of an earlier run left its temporary here; nobody else will.
        RemoveStaleTemporaries(QFileInfo(ReplacementPath(fileName)).absolutePath());
        if (const Result begun = replacement.begin(fileName); !begun.ok())
            return begun;
    }
    DescriptorWriter device(stream ? STDOUT_FILENO : replacement.file().handle());
    const Result written = write(device);
    const bool finished = device.finish();
    if (!finished) {
        // Standard output closed, or its reader gone: nothing to say, the command just ends.
        if (stream && (device.error() == EPIPE || device.error() == EBADF))
            return Result(Result::Failed, QString());
        return Result(Result::Failed,
            QStringLiteral("Cannot write \"%1\": %2").arg(shownName, device.errorString()));
    }
    if (!written.ok())
        return written;
    return stream ? Result() : replacement.commit();
}
