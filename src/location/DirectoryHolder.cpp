#include "location/DirectoryHolder.h"

#include <cerrno>
#include <fcntl.h>
#include <system_error>
#include <unistd.h>

#include <QDir>
#include <QFile>

#include "files/pathhelpers.h"
#include "platform/Failure.h"

namespace {

// A folder counts as entered when it can be opened for listing, as a directory list box lists it.
void enter(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        throw Failure(QString::fromLocal8Bit(std::generic_category().message(error)));
    }
    ::close(fd);
}

} // namespace

DirectoryHolder::DirectoryHolder(QString start) : folder(std::move(start)) { }

bool DirectoryHolder::setDirectory(const QString &path)
{
    if (path.isEmpty())
        return false;
    // Held as the path the user picked, symbolic links left as they are.
    const QString target = QDir::cleanPath(path.startsWith(u'/') ? path : joinPath(folder, path));
    if (target == folder)
        return false;
    enter(target);
    folder = target;
    return true;
}
