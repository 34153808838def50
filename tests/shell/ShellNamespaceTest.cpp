#include "shell/ShellNamespace.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "FakeVolumeSource.h"
#include "TableRow.h"
#include "shell/Volumes.h"

namespace {

const ItemId home("\0home", 5);
const ItemId computer("\0computer", 9);
const ItemId network("\0network", 8);

struct OrderCase : TableRow {
    ItemId first;
    QString firstName;
    ItemId second;
    QString secondName;
};

class ShellOrder : public ::testing::TestWithParam<OrderCase> { };

struct Machine {
    QTemporaryDir dir;
    FakeVolumeSource source { mountLine("8:2", "/", "ext4", "/dev/sda2")
        + mountLine("8:17", (dir.path() + "/stick").toUtf8().constData(), "ext4", "/dev/sdb1") };
    Volumes volumes { source };
    ShellNamespace shell { dir.path() + "/Desktop", dir.path() + "/home", volumes };
};

} // namespace

TEST_P(ShellOrder, PutsTheFirstBeforeTheSecond)
{
    Machine machine;
    const auto &row = GetParam();
    const auto first = machine.shell.sortKey(row.first, row.firstName);
    const auto second = machine.shell.sortKey(row.second, row.secondName);
    EXPECT_LT(ShellNamespace::compare(first, second), 0);
    EXPECT_GT(ShellNamespace::compare(second, first), 0);
}

INSTANTIATE_TEST_SUITE_P(Names, ShellOrder,
    ::testing::Values(OrderCase { "NumbersByValue", "file9", "file9", "file10", "file10" },
        OrderCase { "CaseIgnored", "apple", "apple", "Banana", "Banana" },
        OrderCase { "SameNameDifferentCaseStillOrdered", "Photos", "Photos", "photos", "photos" },
        OrderCase { "HomeBeforeComputer", home, "Home", computer, "Computer" },
        OrderCase { "ComputerBeforeNetwork", computer, "Computer", network, "Network" },
        OrderCase { "DesktopItemsBeforeFolders", network, "Network", "Aardvark", "Aardvark" },
        OrderCase { "DrivesByLetter", ShellNamespace::driveId('C'), "Zed (C:)",
            ShellNamespace::driveId('D'), "Alpha (D:)" }),
    RowName());

TEST(ShellNamespace, APathParsesThroughTheVolumeWithTheLongestMountPoint)
{
    Machine machine;
    QDir().mkpath(machine.dir.filePath("stick/a/b"));
    const QString path = machine.dir.filePath("stick/a/b");
    const auto list = machine.shell.parse(path);
    ASSERT_TRUE(list);
    EXPECT_EQ(*list, ItemIdList({ computer, ShellNamespace::driveId('D'), "a", "b" }));
    EXPECT_EQ(machine.shell.pathOf(*list), path);
    const auto outside = machine.shell.parse(machine.dir.path());
    ASSERT_TRUE(outside);
    EXPECT_EQ(outside->at(1), ShellNamespace::driveId('C'));
    EXPECT_EQ(machine.shell.pathOf(*outside), machine.dir.path());
    EXPECT_FALSE(machine.shell.parse(machine.dir.filePath("stick/missing")));
}
