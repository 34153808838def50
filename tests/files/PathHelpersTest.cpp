#include "files/pathhelpers.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "TableRow.h"

namespace {

struct StringCase : TableRow {
    PathStyle style;
    QString input;
    QString expected;
};

constexpr PathStyle Win = PathStyle::Windows;
constexpr PathStyle Unix = PathStyle::Unix;

} // namespace

class NameWithoutExtension : public ::testing::TestWithParam<StringCase> { };
TEST_P(NameWithoutExtension, TakesTheNameUpToItsLastDot)
{
    EXPECT_EQ(fnamenoext(GetParam().input, GetParam().style), GetParam().expected);
}
INSTANTIATE_TEST_SUITE_P(Paths, NameWithoutExtension,
    ::testing::Values(StringCase { "WinTwoDots", Win, "C:\\pics\\a.b.jpg", "a.b" },
        StringCase { "WinOnlyLeadingDot", Win, "C:\\x\\.jpg", "" },
        StringCase { "WinNoDot", Win, "C:\\x.d\\name", "name" },
        StringCase { "WinAfterDriveColon", Win, "C:name.txt", "name" },
        StringCase { "UnixTwoDots", Unix, "/home/u/a.b.jpg", "a.b" },
        StringCase { "UnixDotOnlyInFolder", Unix, "/home/u.d/name", "name" },
        StringCase { "UnixHiddenFile", Unix, "/home/u/.bashrc", "" }),
    RowName());

class TrailingSeparator : public ::testing::TestWithParam<StringCase> { };
TEST_P(TrailingSeparator, RemovesExactlyOne)
{
    QString path = GetParam().input;
    nobackslash(path, GetParam().style);
    EXPECT_EQ(path, GetParam().expected);
}
INSTANTIATE_TEST_SUITE_P(Paths, TrailingSeparator,
    ::testing::Values(StringCase { "WinEmpty", Win, "", "" },
        StringCase { "WinDriveRoot", Win, "C:\\", "C:" },
        StringCase { "WinTwoAtEnd", Win, "C:\\a\\\\", "C:\\a\\" },
        StringCase { "WinNoneAtEnd", Win, "C:\\a", "C:\\a" },
        StringCase { "WinSlashIsNoSeparator", Win, "C:/a/", "C:/a/" },
        StringCase { "UnixRootStays", Unix, "/", "/" },
        StringCase { "UnixFolder", Unix, "/tmp/", "/tmp" },
        StringCase { "UnixTwoAtEnd", Unix, "/tmp//", "/tmp/" }),
    RowName());

TEST(JoinPath, PutsExactlyOneSeparatorBetween)
{
    EXPECT_EQ(joinPath("/", "x", Unix), "/x");
    EXPECT_EQ(joinPath("/tmp", "x", Unix), "/tmp/x");
    EXPECT_EQ(joinPath("/tmp/", "/x", Unix), "/tmp/x");
    EXPECT_EQ(joinPath("C:", "x", Win), "C:\\x");
    EXPECT_EQ(joinPath("C:\\a\\", "b", Win), "C:\\a\\b");
    EXPECT_EQ(joinPath("", "b", Win), "b");
}

TEST(StringHelpers, LastPositionAndReverse)
{
    EXPECT_EQ(lastpos("ab", "xabyab"), 5);
    EXPECT_EQ(lastpos(".", "abc.efg.ijk"), 8);
    EXPECT_EQ(lastpos(".", "name"), 0);
    EXPECT_EQ(lastpos("", "name"), 0);
    EXPECT_EQ(lastpos("aa", "aaa"), 2);
    EXPECT_EQ(lastpos("long", "lo"), 0);
    EXPECT_EQ(reversestring(""), "");
    EXPECT_EQ(reversestring(QString::fromUtf8("a\xF0\x9F\x98\x80"
                                              "b")),
        QString::fromUtf8("b\xF0\x9F\x98\x80"
                          "a"));
}

TEST(ShortLeft, KeepsTheEndBehindThreeDots)
{
    EXPECT_EQ(shortleft("0123456789", 10), "0123456789");
    EXPECT_EQ(shortleft("0123456789", 9), "...456789");
    EXPECT_EQ(shortleft("0123456789", 2), "...");
    EXPECT_EQ(shortleft("0123456789", -5), "...");
    EXPECT_EQ(shortleft("", 0), "");
    // 70000 characters cut to 16 bits would look shorter than the limit and stay whole.
    const QString longText = QString(69990, u'a') + "0123456789";
    const QString shortened = shortleft(longText, 5000);
    EXPECT_EQ(shortened.size(), 5000);
    EXPECT_TRUE(shortened.startsWith("...aaa") && shortened.endsWith("0123456789"));
}

// A drive table in memory: which folders exist, and which folders were created in what order.
class FakeDrives : public FolderSystem {
public:
    explicit FakeDrives(QSet<QString> folders) : folders(std::move(folders)) { }
    char kind(const QString &path) const override { return folders.contains(path) ? 'd' : 'n'; }
    bool createFolder(const QString &path) override
    {
        created << path;
        if (path == refuse)
            return false;
        folders << path;
        return true;
    }
    QSet<QString> folders;
    QStringList created;
    QString refuse;
};

TEST(MakeDirsWindows, CreatesTheChainBelowAnExistingDriveOnly)
{
    FakeDrives drives({ "C:", "C:\\old" });
    EXPECT_TRUE(makedirs("C:\\a\\b\\c\\", Win, drives));
    EXPECT_EQ(drives.created, QStringList({ "C:\\a", "C:\\a\\b", "C:\\a\\b\\c" }));
    drives.created.clear();
    EXPECT_TRUE(makedirs("C:\\old", Win, drives));
    EXPECT_TRUE(makedirs("C:\\", Win, drives));
    EXPECT_FALSE(makedirs("X:\\a\\b", Win, drives));
    EXPECT_FALSE(makedirs("relative\\a", Win, drives));
    EXPECT_TRUE(drives.created.isEmpty());
    drives.refuse = "C:\\n\\m";
    EXPECT_FALSE(makedirs("C:\\n\\m\\k", Win, drives));
    EXPECT_EQ(drives.created, QStringList({ "C:\\n", "C:\\n\\m" }));
}

TEST(MakeDirsOnDisk, CreatesAMissingParentChain)
{
    QTemporaryDir dir;
    const QString deep = dir.path() + "/a/b/c";
    EXPECT_TRUE(makedirs(deep + "/"));
    EXPECT_EQ(pathkind(deep), 'd');
    EXPECT_TRUE(makedirs(deep));
    EXPECT_TRUE(makedirs("/"));
    QFile blocker(dir.path() + "/file");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    EXPECT_FALSE(makedirs(dir.path() + "/file/sub"));
    EXPECT_EQ(pathkind(dir.path() + "/file"), 'f');
}

TEST(PathQueries, KindAndSize)
{
    QTemporaryDir dir;
    QFile file(dir.path() + "/big");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    const qint64 fiveGiB = qint64(5) << 30;
    // A sparse file: its size needs more than 32 bits.
    ASSERT_TRUE(file.resize(fiveGiB));
    file.close();
    EXPECT_EQ(fsize(file.fileName()), fiveGiB);
    EXPECT_EQ(pathkind(file.fileName()), 'f');
    EXPECT_EQ(pathkind(dir.path()), 'd');
    EXPECT_EQ(pathkind("/"), 'd');
    EXPECT_EQ(pathkind(dir.path() + "/missing"), 'n');
    EXPECT_EQ(pathkind(""), 'n');
    EXPECT_EQ(fsize(dir.path() + "/missing"), 0);
    EXPECT_EQ(fsize(dir.path()), 0);
    EXPECT_EQ(fsize("/"), 0);
}

TEST(Tables, DayAndDriveTypeNames)
{
    EXPECT_EQ(DayNames[0], "Mon");
    EXPECT_EQ(DayNames[6], "Sun");
    EXPECT_EQ(DriveTypeNames[1], "Does not exist");
    EXPECT_EQ(DriveTypeNames[4], "Network");
    EXPECT_EQ(DriveTypeNames[6], "RAMDISK");
}
