#include "FullFileSystem.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

#include <QFile>

#include <gtest/gtest.h>
#include <sys/mount.h>

FullFileSystem::FullFileSystem()
{
    mounted = ::mount("quillet-test", QFile::encodeName(dir.path()).constData(), "tmpfs", 0,
                  "size=256k")
        == 0;
}

FullFileSystem::~FullFileSystem()
{
    if (mounted)
        ::umount2(QFile::encodeName(dir.path()).constData(), MNT_DETACH);
}

void FullFileSystem::fill()
{
    const QByteArray filler = QFile::encodeName(dir.filePath(QStringLiteral("filler")));
    const int fd = ::open(filler.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    ASSERT_GE(fd, 0);
    const QByteArray block(4096, 'f');
    while (::write(fd, block.constData(), size_t(block.size())) > 0) { }
    const int error = errno;
    ::close(fd);
    ASSERT_EQ(error, ENOSPC);
}
