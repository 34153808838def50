#include "platform/AtomicFile.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "TestFiles.h"

// What replacing a file must not change besides its bytes: a link stays a link to the file it
// named, and the file keeps its permissions.
TEST(AtomicFile, ReplacesTheFileALinkNamesAndKeepsItsPermissions)
{
    QTemporaryDir dir;
    const QString real = dir.filePath("real.ini");
    const QString link = dir.filePath("link.ini");
    writeFileBytes(real, "old");
    ASSERT_TRUE(
        QFile::setPermissions(real, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    ASSERT_TRUE(QFile::link(real, link));

    ASSERT_TRUE(writeFileAtomically(link, "new"));

    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(fileBytes(real), "new");
    EXPECT_EQ(
        QFile::permissions(real) & 0xF0FF, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
}
