#include <atomic>
#include <thread>

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include "ShellTreeWorld.h"
#include "WaitFor.h"
#include "location/TDiscMonitorThread.h"
#include "location/WatcherMailbox.h"

namespace {

int inotifyInstances()
{
    int count = 0;
    for (const QFileInfo &fd : QDir("/proc/self/fd").entryInfoList(QDir::System | QDir::Files)) {
        if (fd.symLinkTarget().contains("inotify"))
            ++count;
    }
    return count;
}

} // namespace

TEST(DiscMonitor, FoldersMadeOrDeletedElsewhereShowSortedInPlace)
{
    ShellTreeWorld world;
    world.makeFolders({ "media/a/x1", "media/a/x3" });
    TShellTree &tree = world.shownTree();
    tree.setPath(world.path("media/a"));
    TShellNode *a = world.node("media/a");
    world.makeFolders({ "media/a/x2" });
    EXPECT_EQ_SOON(ShellTreeWorld::childNames(a), QStringList({ "x1", "x2", "x3" }));
    QDir().rmdir(world.path("media/a/x1"));
    EXPECT_EQ_SOON(ShellTreeWorld::childNames(a), QStringList({ "x2", "x3" }));
}

TEST(DiscMonitor, FirstSubfolderOfALeafGivesItAButton)
{
    ShellTreeWorld world;
    world.makeFolders({ "media/a/leaf" });
    TShellTree &tree = world.shownTree();
    tree.setPath(world.path("media/a"));
    TShellNode *leaf = world.node("media/a/leaf");
    ASSERT_EQ(leaf->childIndicatorPolicy(), QTreeWidgetItem::DontShowIndicator);
    world.makeFolders({ "media/a/leaf/sub" });
    EXPECT_EQ_SOON(leaf->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);
}

TEST(DiscMonitor, CollapsingEndsTheChildrensThreadsAndExpandingStartsTheLeavesAgain)
{
    ShellTreeWorld world;
    world.makeFolders({ "media/a/l1", "media/a/l2", "media/a/l3", "media/a/deep/x" });
    TShellTree &tree = world.shownTree();
    tree.setPath(world.path("media/a"));
    TShellNode *a = world.node("media/a");
    const int expanded = threadCount();
    a->setExpanded(false);
    EXPECT_EQ_SOON(threadCount(), expanded - 3);
    a->setExpanded(true);
    EXPECT_EQ_SOON(threadCount(), expanded);
    EXPECT_EQ(inotifyInstances(), 1);
}

TEST(DiscMonitor, ChangingTheFilterReArmsEveryWatcher)
{
    ShellTreeWorld world;
    world.makeFolders({ "media/a/sub" });
    TShellTree &tree = world.shownTree();
    tree.setPath(world.path("media/a"));
    TShellNode *a = world.node("media/a");
    tree.setOptions(TF_FOLDERS | TF_NONFOLDERS);
    QFile file(world.path("media/a/note.txt"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    EXPECT_EQ_SOON(ShellTreeWorld::childNames(a), QStringList({ "sub", "note.txt" }));
}

TEST(DiscMonitor, AFolderThatCannotBeWatchedEndsItsWatcherQuietly)
{
    ShellTreeWorld world;
    int refreshes = 0;
    WatcherMailbox mailbox([&](quint64, quint64) { ++refreshes; }, [](quint64) {});
    TDiscMonitorThread watcher(
        world.notification, mailbox, 1, 1, QFile::encodeName(world.path("gone")), ChangeDirName);
    watcher.start();
    EXPECT_SOON(watcher.isFinished());
    EXPECT_TRUE(watcher.failed());
    EXPECT_EQ(refreshes, 0);
}

TEST(DiscMonitor, DestroyingTheTreeWhileFoldersComeAndGoIsSafe)
{
    ShellTreeWorld world;
    world.makeFolders({ "media/churn" });
    const int before = threadCount();
    TShellTree &tree = world.shownTree();
    tree.setPath(world.path("media/churn"));
    std::atomic<int> made = 0;
    std::atomic<bool> quit = false;
    std::thread writer([&] {
        for (int i = 0; i < 3000 && !quit; ++i) {
            const QString folder = world.path(QStringLiteral("media/churn/f%1").arg(i % 200));
            if (!QDir().mkdir(folder))
                QDir().rmdir(folder);
            ++made;
        }
    });
    TShellNode *churn = world.node("media/churn");
    EXPECT_SOON(churn->childCount() > 0);
    EXPECT_SOON(made > 1500);
    world.tree.reset();
    quit = true;
    writer.join();
    EXPECT_EQ(world.notification.watchCount(), 0);
    EXPECT_EQ(threadCount(), before);
}
