#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include "ShellTreeWorld.h"
#include "TableRow.h"
#include "location/ShellContextMenu.h"

namespace {

QImage pictureOf(const QTreeWidgetItem *node)
{
    return node->icon(0).pixmap(16).toImage();
}

} // namespace

TEST(ShellTree, DesktopHoldsHomeComputerNetworkAndItsOwnFoldersInFileManagerOrder)
{
    ShellTreeWorld world;
    world.makeFolders({ "Desktop/b10", "Desktop/b9", "Desktop/.secret" });
    TShellTree &tree = world.shownTree();
    TShellNode *root = tree.rootNode();
    EXPECT_EQ(ShellTreeWorld::childNames(root),
        QStringList({ "Home", "Computer", "Network", "b9", "b10" }));
    TShellNode *computer = root->childNode(1);
    computer->setExpanded(true);
    EXPECT_EQ(ShellTreeWorld::childNames(computer), QStringList({ "Root (C:)", "STICK (D:)" }));
    EXPECT_FALSE(root->icon(0).isNull());
    EXPECT_FALSE(computer->childNode(1)->icon(0).isNull());
    tree.setCurrentItem(root->childNode(2));
    EXPECT_EQ(tree.Path(), QString()) << "Network has no path";
    EXPECT_EQ(root->childNode(2)->childIndicatorPolicy(), QTreeWidgetItem::DontShowIndicator);
}

struct PathCase : TableRow {
    QString given;
    QString selected;
};

class ShellTreePath : public ::testing::TestWithParam<PathCase> { };

TEST_P(ShellTreePath, SelectsTheNearestListedFolder)
{
    ShellTreeWorld world;
    world.makeFolders({ "media/a/b", "media/a/.hidden" });
    TShellTree &tree = world.shownTree();
    tree.setPath(world.path(GetParam().given));
    EXPECT_EQ(tree.Path(), world.path(GetParam().selected));
    EXPECT_EQ(tree.selectedNode(), world.node(GetParam().selected));
}

INSTANTIATE_TEST_SUITE_P(Paths, ShellTreePath,
    ::testing::Values(PathCase { "ExistingFolder", "media/a/b", "media/a/b" },
        PathCase { "MissingFolderGivesItsNearestAncestor", "media/a/x/y", "media/a" },
        PathCase { "HiddenFolderGivesItsParent", "media/a/.hidden", "media/a" },
        PathCase { "DriveRoot", "media", "media" }),
    RowName());

TEST(ShellTree, TheCurrentPathChangesNothing)
{
    ShellTreeWorld world;
    world.makeFolders({ "home/h" });
    TShellTree &tree = world.shownTree();
    tree.setPath(world.path("home/h"));
    int changes = 0;
    tree.OnChange = [&](TShellTree *) { ++changes; };
    tree.setPath(world.path("home/h"));
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(tree.Path(), world.path("home/h"));
}

TEST(ShellTree, PathSetBeforeTheTreeIsShownIsSelectedWhenItIs)
{
    ShellTreeWorld world;
    world.makeFolders({ "media/a" });
    TShellTree &tree = world.makeTree();
    int changes = 0;
    tree.OnChange = [&](TShellTree *) { ++changes; };
    tree.setPath(world.path("media/a"));
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(tree.Path(), world.path("media/a"));
    // Nothing a user could see is listed or watched before then: that waits for the first show.
    EXPECT_EQ(tree.rootNode()->childCount(), 0);
    EXPECT_EQ(world.notification.watchCount(), 0);
    tree.show();
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(tree.selectedNode(), world.node("media/a"));
}

TEST(ShellTree, ListingAgainKeepsTheNodesTheirExpansionAndTheSelection)
{
    ShellTreeWorld world;
    world.makeFolders({ "media/a/b/c", "media/z" });
    TShellTree &tree = world.shownTree();
    tree.setPath(world.path("media/a/b"));
    TShellNode *a = world.node("media/a");
    TShellNode *b = world.node("media/a/b");
    TShellNode *drive = a->parentNode();
    drive->setExpanded(false);
    drive->setExpanded(true);
    tree.hide();
    tree.show();
    EXPECT_EQ(world.node("media/a"), a);
    EXPECT_EQ(world.node("media/a/b"), b);
    EXPECT_TRUE(a->isExpanded());
    EXPECT_TRUE(b->isExpanded());
    EXPECT_EQ(tree.selectedNode(), b);
}

TEST(ShellTree, ShowingTheTreeAgainListsWhatChangedWhileItWasHidden)
{
    ShellTreeWorld world;
    world.makeFolders({ "media/a/old" });
    TShellTree &tree = world.shownTree();
    tree.setUpdAutoThread(false);
    tree.setPath(world.path("media/a"));
    tree.hide();
    world.makeFolders({ "media/a/new" });
    QDir().rmdir(world.path("media/a/old"));
    tree.show();
    EXPECT_EQ(ShellTreeWorld::childNames(world.node("media/a")), QStringList({ "new" }));
}

TEST(ShellTree, OnlyAFolderWithAListableSubfolderHasAnExpansionButton)
{
    ShellTreeWorld world;
    world.makeFolders({ "media/onlyhidden/.x", "media/parent/child", "media/empty" });
    TShellTree &tree = world.shownTree();
    tree.setPath(world.path("media"));
    EXPECT_EQ(
        world.node("media/onlyhidden")->childIndicatorPolicy(), QTreeWidgetItem::DontShowIndicator);
    EXPECT_EQ(
        world.node("media/empty")->childIndicatorPolicy(), QTreeWidgetItem::DontShowIndicator);
    EXPECT_EQ(world.node("media/parent")->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);
}

TEST(ShellTree, SymlinkedFolderCarriesTheLinkOverlay)
{
    ShellTreeWorld world;
    world.makeFolders({ "media/real" });
    ASSERT_TRUE(QFile::link(world.path("media/real"), world.path("media/link")));
    TShellTree &tree = world.shownTree();
    tree.setPath(world.path("media"));
    TShellNode *drive = tree.selectedNode();
    ASSERT_EQ(ShellTreeWorld::childNames(drive), QStringList({ "link", "real" }));
    EXPECT_NE(pictureOf(drive->child(0)), pictureOf(drive->child(1)));
    tree.setShowLinkOverlay(false);
    EXPECT_EQ(pictureOf(drive->child(0)), pictureOf(drive->child(1)));
}

TEST(ShellTree, AnUnmountedVolumeLeavesComputerAndComesBackUnderItsLetter)
{
    ShellTreeWorld world;
    world.makeFolders({ "media/a" });
    TShellTree &tree = world.shownTree();
    tree.setPath(world.path("media/a"));
    TShellNode *computer = tree.selectedNode()->parentNode()->parentNode();
    world.setMediumInserted(false);
    EXPECT_EQ(ShellTreeWorld::childNames(computer), QStringList({ "Root (C:)" }));
    EXPECT_EQ(tree.selectedNode(), computer);
    EXPECT_TRUE(world.prompts.boxes.empty());
    world.setMediumInserted(true);
    EXPECT_EQ(ShellTreeWorld::childNames(computer), QStringList({ "Root (C:)", "STICK (D:)" }));
    computer->childNode(1)->setExpanded(true);
    EXPECT_EQ(ShellTreeWorld::childNames(computer->childNode(1)), QStringList({ "a" }));
}

TEST(ShellTree, SelectingByIdentifiersAnswersWhetherTheWholeListWasFound)
{
    ShellTreeWorld world;
    world.makeFolders({ "media/a/b" });
    TShellTree &tree = world.shownTree();
    const ItemIdList a = *world.shell.parse(world.path("media/a"));
    EXPECT_TRUE(tree.selectIdList(a, true));
    EXPECT_EQ(tree.Path(), world.path("media/a"));
    EXPECT_TRUE(tree.selectIdList({ "b" }, false));
    EXPECT_EQ(tree.Path(), world.path("media/a/b"));
    EXPECT_FALSE(tree.selectIdList(a + ItemIdList { "missing" }, true));
    EXPECT_EQ(tree.Path(), world.path("media/a/b"));
}

TEST(ShellTree, AWheelNotchScrollsOnePage)
{
    ShellTreeWorld world;
    for (int i = 0; i < 60; ++i)
        world.makeFolders({ QStringLiteral("Desktop/f%1").arg(i) });
    TShellTree &tree = world.shownTree();
    QScrollBar *bar = tree.verticalScrollBar();
    ASSERT_GT(bar->maximum(), bar->pageStep());
    QWheelEvent toward(QPointF(10, 10), tree.viewport()->mapToGlobal(QPointF(10, 10)), {},
        QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(tree.viewport(), &toward);
    EXPECT_EQ(bar->value(), bar->pageStep());
}

TEST(ShellTree, RightClickOpensTheFolderMenuWithoutMovingTheSelection)
{
    ShellTreeWorld world;
    world.makeFolders({ "Desktop/projects" });
    TShellTree &tree = world.shownTree();
    TShellNode *projects = world.node("Desktop/projects");
    const QPoint at = tree.visualItemRect(projects).center();
    QContextMenuEvent click(QContextMenuEvent::Mouse, at, tree.viewport()->mapToGlobal(at));
    QTest::mouseClick(tree.viewport(), Qt::RightButton, {}, at);
    QApplication::sendEvent(tree.viewport(), &click);
    auto *menu = qobject_cast<ShellContextMenu *>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    menu->copyPathAction()->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), world.path("Desktop/projects"));
    EXPECT_EQ(tree.selectedNode(), tree.rootNode());
    menu->close();
}
