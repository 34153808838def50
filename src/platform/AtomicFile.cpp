#include "platform/AtomicFile.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <sys/stat.h>

namespace {

constexpr qsizetype bufferSize = 64 * 1024;
constexpr int noFailingStep = -1;
std::atomic<int> failingStep = noFailingStep;

bool injectedFailure(AtomicFile::Step step)
{
    if (failingStep.load(std::memory_order_relaxed) != int(step))
        return false;
    errno = EIO;
    return true;
}

// A link is followed, so the file it names is replaced and the link stays a link.
QString resolvedTarget(const QString &target)
{
    const QFileInfo info(target);
    if (!info.isSymLink())
        return target;
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.symLinkTarget() : canonical;
}

// A new file in the target's folder, with the target's permissions when it exists and with the
// umask's otherwise, as the target itself would have been created.
int createTemporary(const QString &target, QByteArray &tempPath)
{
    const QFileInfo info(target);
    const QString stem = info.absolutePath() + QLatin1String("/.") + info.fileName() + u'.';
    struct stat existing { };
    const bool exists = ::stat(QFile::encodeName(target).constData(), &existing) == 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        if (injectedFailure(AtomicFile::Step::Create))
            return -1;
        tempPath = QFile::encodeName(
            stem + QString::number(QRandomGenerator::global()->generate(), 36) + u'~');
        const int fd = ::open(tempPath.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            if (exists)
                ::fchmod(fd, existing.st_mode & 07777);
            return fd;
        }
        if (errno != EEXIST)
            return -1;
    }
    return -1;
}

bool writeAll(int fd, const char *data, qsizetype size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size_t(size));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        size -= written;
    }
    return true;
}

// The rename itself is on disk only once the folder is synced; a failure here loses nothing,
// since the target then holds either the old or the new content, each whole.
void syncFolderOf(const QString &path)
{
    const int dir = ::open(
        QFile::encodeName(QFileInfo(path).absolutePath()).constData(), O_RDONLY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

} // namespace

AtomicFile::AtomicFile(const QString &target) : targetPath(resolvedTarget(target)) { }

AtomicFile::~AtomicFile()
{
    cancel();
}

void AtomicFile::failStepForTesting(std::optional<Step> step)
{
    failingStep = step ? int(*step) : noFailingStep;
}

bool AtomicFile::open(OpenMode mode)
{
    if (mode != QIODevice::WriteOnly)
        return false;
    // A folder that takes no new file is a failure even where the target itself could be
    // overwritten in place: writing in place is what leaves a file half written when it fails.
    fd = createTemporary(targetPath, tempPath);
    if (fd < 0) {
        setErrorString(QString::fromLocal8Bit(strerror(errno)));
        return false;
    }
    failed = false;
    buffer.reserve(bufferSize);
    return QIODevice::open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

qint64 AtomicFile::readData(char *, qint64)
{
    return -1;
}

qint64 AtomicFile::writeData(const char *data, qint64 size)
{
    if (failed || fd < 0)
        return -1;
    buffer.append(data, size);
    if (buffer.size() >= bufferSize && !writeBuffer(Step::Write))
        return -1;
    return size;
}

bool AtomicFile::writeBuffer(Step step)
{
    failed = failed || injectedFailure(step) || !writeAll(fd, buffer.constData(), buffer.size());
    if (failed)
        setErrorString(QString::fromLocal8Bit(strerror(errno)));
    buffer.clear();
    return !failed;
}

bool AtomicFile::commit()
{
    if (fd < 0)
        return false;
    const bool written
        = writeBuffer(Step::Flush) && !injectedFailure(Step::Sync) && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    fd = -1;
    if (!written || !closed || injectedFailure(Step::Rename)
        || ::rename(tempPath.constData(), QFile::encodeName(targetPath).constData()) != 0) {
        setErrorString(QString::fromLocal8Bit(strerror(errno)));
        cancel();
        return false;
    }
    tempPath.clear();
    QIODevice::close();
    syncFolderOf(targetPath);
    return true;
}

void AtomicFile::cancel()
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
    if (!tempPath.isEmpty())
        ::unlink(tempPath.constData());
    tempPath.clear();
    buffer.clear();
    if (isOpen())
        QIODevice::close();
}

bool writeFileAtomically(const QString &path, const QByteArray &bytes)
{
    AtomicFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}
