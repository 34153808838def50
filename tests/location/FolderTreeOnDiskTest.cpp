// The folder tree against what real file systems do: many folders, folders replaced, deleted or
// named in bytes that are not UTF-8, with the watchers running.

#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTreeWidgetItemIterator>

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include "ResourceLimit.h"
#include "ShellTreeWorld.h"
#include "TableRow.h"
#include "WaitFor.h"
#include "files/PictureFiles.h"

namespace {

// Expands `relative` and answers its node.
TShellNode *expanded(ShellTreeWorld &world, const QString &relative)
{
    world.tree->setPath(world.path(relative));
    TShellNode *node = world.node(relative);
    if (node)
        node->setExpanded(true);
    return node;
}

} // namespace

TEST(FolderTreeOnDisk, AThousandEmptySubfoldersLeaveDescriptorsToSaveAndOpenAPicture)
{
    ShellTreeWorld world;
    for (int i = 0; i < 1000; ++i)
        QDir().mkpath(world.path(QStringLiteral("media/archive/%1").arg(i)));
    world.shownTree();
    const ResourceLimit limit(RLIMIT_NOFILE, 256);
    TShellNode *archive = expanded(world, "media/archive");
    ASSERT_EQ(archive->childCount(), 1000);
    // Every subfolder and the archive itself are watched.
    EXPECT_GE(world.notification.watchCount(), 1001);
    QImage image(8, 8, QImage::Format_RGB888);
    image.fill(Qt::yellow);
    QString name = world.path("saved.jpg");
    EXPECT_NO_THROW(bmpimage2fname(Picture(image), name, 1));
    EXPECT_NO_THROW(EXPECT_EQ(fname2bmpimage(name).image().size(), QSize(8, 8)));
    EXPECT_TRUE(world.prompts.boxes.empty());
}

struct ReplaceCase : TableRow {
    std::function<void(const QString &folder)> replace;
};

class ReplacedFolder : public ::testing::TestWithParam<ReplaceCase> { };

TEST_P(ReplacedFolder, ShowsTheChildrenOfTheFolderNowUnderItsName)
{
    ShellTreeWorld world;
    world.makeFolders({ "media/A/old" });
    world.shownTree();
    expanded(world, "media/A");
    GetParam().replace(world.path("media/A"));
    world.makeFolders({ "media/A/new" });
    EXPECT_EQ_SOON(ShellTreeWorld::childNames(world.node("media/A")), QStringList({ "new" }));
    // And it is still watched there.
    world.makeFolders({ "media/A/newer" });
    EXPECT_EQ_SOON(
        ShellTreeWorld::childNames(world.node("media/A")), QStringList({ "new", "newer" }));
}

INSTANTIATE_TEST_SUITE_P(Replacements, ReplacedFolder,
    ::testing::Values(ReplaceCase { "MovedAwayAndMadeAgain",
                          [](const QString &folder) {
                              QDir().rename(folder, folder + ".old");
                              QDir().mkdir(folder);
                          } },
        ReplaceCase { "DeletedAndMadeAgain",
            [](const QString &folder) {
                QDir(folder).removeRecursively();
                QDir().mkdir(folder);
            } }),
    RowName());

TEST(FolderTreeOnDisk, AFolderStaysWatchedWhenItListsNothingOrLosesItsLastSubfolder)
{
    ShellTreeWorld world;
    world.makeFolders({ "media/empty", "media/one/last" });
    world.shownTree();
    TShellNode *empty = expanded(world, "media/empty");
    TShellNode *one = expanded(world, "media/one");
    QDir().rmdir(world.path("media/one/last"));
    EXPECT_EQ_SOON(one->childCount(), 0);
    world.makeFolders({ "media/empty/first", "media/one/again" });
    EXPECT_EQ_SOON(ShellTreeWorld::childNames(empty), QStringList({ "first" }));
    EXPECT_EQ_SOON(ShellTreeWorld::childNames(one), QStringList({ "again" }));
}

TEST(FolderTreeOnDisk, ALinkToAFolderAppearsAndLeavesLikeAFolder)
{
    ShellTreeWorld world;
    world.makeFolders({ "media/shown", "elsewhere" });
    world.shownTree();
    TShellNode *shown = expanded(world, "media/shown");
    ASSERT_TRUE(QFile::link(world.path("elsewhere"), world.path("media/shown/link")));
    EXPECT_EQ_SOON(ShellTreeWorld::childNames(shown), QStringList({ "link" }));
    ASSERT_TRUE(QFile::remove(world.path("media/shown/link")));
    EXPECT_EQ_SOON(shown->childCount(), 0);
}

TEST(FolderTreeOnDisk, ANameThatIsNotUtf8ListsExpandsAndIsWatched)
{
    ShellTreeWorld world;
    const QByteArray odd = QFile::encodeName(world.path("media/")) + "caf\xe9";
    ASSERT_EQ(::mkdir(odd.constData(), 0700), 0);
    ASSERT_EQ(::mkdir((odd + "/inner").constData(), 0700), 0);
    world.shownTree();
    TShellNode *media = expanded(world, "media");
    ASSERT_EQ(media->childCount(), 1);
    TShellNode *cafe = media->childNode(0);
    cafe->setExpanded(true);
    EXPECT_EQ(ShellTreeWorld::childNames(cafe), QStringList({ "inner" }));
    ASSERT_EQ(::mkdir((odd + "/later").constData(), 0700), 0);
    EXPECT_EQ_SOON(ShellTreeWorld::childNames(cafe), QStringList({ "inner", "later" }));
    EXPECT_FALSE(world.shell.holdsAsText(cafe->absolute));
    EXPECT_TRUE(world.shell.holdsAsText(media->absolute));
}

TEST(FolderTreeOnDisk, TheFileMaskChoosesTheFilesListed)
{
    ShellTreeWorld world;
    world.makeFolders({ "media/files" });
    for (const char *name : { "README", "notes.txt" })
        QFile(world.path("media/files/") + name).open(QIODevice::WriteOnly);
    TShellTree &tree = world.shownTree();
    tree.setOptions(TF_FOLDERS | TF_NONFOLDERS);
    tree.setFileMaskUse(true);
    TShellNode *files = expanded(world, "media/files");
    EXPECT_EQ(ShellTreeWorld::childNames(files), QStringList({ "notes.txt", "README" }));
    tree.setFileMask("*.txt");
    EXPECT_EQ(ShellTreeWorld::childNames(files), QStringList({ "notes.txt" }));
}

struct VanishCase : TableRow {
    bool parentFirst;
};

class VanishingFolders : public ::testing::TestWithParam<VanishCase> { };

TEST_P(VanishingFolders, LeaveTheTreeAndTheSelectionGoesToTheNearestFolderLeft)
{
    ShellTreeWorld world;
    world.makeFolders({ "media/W/D/d1/x", "media/W/D/d2" });
    TShellTree &tree = world.shownTree();
    expanded(world, "media/W/D/d1");
    tree.setCurrentItem(world.node("media/W/D/d2"));
    if (GetParam().parentFirst) {
        QDir(world.path("media/W/D")).removeRecursively();
    } else {
        for (const char *folder : { "D/d1/x", "D/d1", "D/d2", "D" })
            QDir().rmdir(world.path("media/W/") + folder);
    }
    EXPECT_EQ_SOON(world.node("media/W/D"), nullptr);
    EXPECT_EQ(tree.selectedNode(), world.node("media/W"));
    EXPECT_TRUE(world.prompts.boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(Orders, VanishingFolders,
    ::testing::Values(VanishCase { "ParentFirst", true }, VanishCase { "ChildFirst", false }),
    RowName());

TEST(FolderTreeOnDisk, AsRootATmpfsUnmountedUnderExpandedFoldersLeavesTheTreeWithoutABox)
{
    ShellTreeWorld world;
    const QByteArray stick = QFile::encodeName(world.path("media"));
    if (geteuid() != 0 || ::mount("quillet-test", stick.constData(), "tmpfs", 0, nullptr) != 0)
        GTEST_SKIP() << "mounting a tmpfs needs root";
    world.makeFolders({ "media/W/D/d1/x", "media/W/D/d2" });
    TShellTree &tree = world.shownTree();
    expanded(world, "media/W/D/d1");
    tree.setCurrentItem(world.node("media/W/D/d2"));
    TShellNode *computer = world.node("media")->parentNode();
    ASSERT_EQ(::umount2(stick.constData(), MNT_DETACH), 0);
    // The folders go first, as the watchers see them go; the mount table's notice follows.
    EXPECT_EQ_SOON(world.node("media/W"), nullptr);
    world.setMediumInserted(false);
    EXPECT_EQ(ShellTreeWorld::childNames(computer), QStringList({ "Root (C:)" }));
    EXPECT_EQ(tree.selectedNode(), computer);
    EXPECT_TRUE(world.prompts.boxes.empty());
}
