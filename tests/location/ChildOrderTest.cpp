#include <QDateTime>
#include <QFile>

#include <gtest/gtest.h>

#include "ShellTreeWorld.h"
#include "TableRow.h"
#include "TestFiles.h"

namespace {

struct OrderRow : TableRow {
    TFileSortType type;
    TFileSortOrder order;
    QStringList shown;
};

class ChildOrderRule : public ::testing::TestWithParam<OrderRow> { };

} // namespace

// Folders come first, in the file manager's name order, whatever the files are sorted by.
TEST_P(ChildOrderRule, SortsFilesByTheKeyAndFoldersByName)
{
    ShellTreeWorld world;
    world.makeFolders({ "media/files/sub" });
    // name, size, age in days
    const struct {
        const char *name;
        int size;
        int age;
    } files[] = { { "b.txt", 30, 1 }, { "a.png", 10, 3 }, { "c.jpg", 20, 2 } };
    for (const auto &file : files) {
        const QString path = world.path("media/files/") + file.name;
        writeFileBytes(path, QByteArray(file.size, 'x'));
        QFile handle(path);
        ASSERT_TRUE(handle.open(QIODevice::ReadWrite));
        handle.setFileTime(
            QDateTime::currentDateTime().addDays(-file.age), QFileDevice::FileModificationTime);
    }
    TShellTree &tree = world.shownTree();
    tree.setOptions(TF_FOLDERS | TF_NONFOLDERS);
    tree.setPath(world.path("media/files"));
    world.node("media/files")->setExpanded(true);
    tree.setFileSortType(GetParam().type);
    tree.setFileSortOrder(GetParam().order);
    EXPECT_EQ(ShellTreeWorld::childNames(world.node("media/files")), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(Orders, ChildOrderRule,
    ::testing::Values(
        OrderRow { "ByName", so_Name, so_Ascending, { "sub", "a.png", "b.txt", "c.jpg" } },
        OrderRow { "BySize", so_Size, so_Ascending, { "sub", "a.png", "c.jpg", "b.txt" } },
        OrderRow {
            "ByDateDescending", so_Date, so_Descending, { "sub", "b.txt", "c.jpg", "a.png" } },
        OrderRow { "ByType", so_Type, so_Ascending, { "sub", "c.jpg", "a.png", "b.txt" } }),
    RowName());
