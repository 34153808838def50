#include "platform/ChangeNotification.h"

#include <poll.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "TableRow.h"
#include "WaitFor.h"

namespace {

bool woken(const ChangeNotification::Watch &watch)
{
    pollfd fd { watch.descriptor(), POLLIN, 0 };
    return poll(&fd, 1, 0) == 1;
}

struct FilterCase : TableRow {
    quint32 filter;
    bool makeFile; // a file is made, else a folder
    bool wakes;
};

class ChangeFilter : public ::testing::TestWithParam<FilterCase> { };

} // namespace

TEST_P(ChangeFilter, WakesOnlyForWhatTheFilterNames)
{
    QTemporaryDir dir;
    QDir().mkdir(dir.filePath("watched"));
    QDir().mkdir(dir.filePath("marker"));
    ChangeNotification notification;
    auto watch = notification.watch(dir.filePath("watched"), GetParam().filter);
    auto marker = notification.watch(dir.filePath("marker"), ChangeDirName);
    ASSERT_TRUE(watch && marker);
    if (GetParam().makeFile) {
        QFile file(dir.filePath("watched/f"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    } else {
        QDir().mkdir(dir.filePath("watched/d"));
    }
    // Events arrive in order: once the marker is woken, the change above has been seen.
    QDir().mkdir(dir.filePath("marker/m"));
    EXPECT_SOON(woken(*marker));
    EXPECT_EQ(woken(*watch), GetParam().wakes);
}

INSTANTIATE_TEST_SUITE_P(Filters, ChangeFilter,
    ::testing::Values(FilterCase { "FolderNamesSeeANewFolder", ChangeDirName, false, true },
        FilterCase { "FolderNamesIgnoreANewFile", ChangeDirName | ChangeAttributes, true, false },
        FilterCase { "FileNamesSeeANewFile", ChangeFileName, true, true },
        FilterCase { "FileNamesIgnoreANewFolder", ChangeFileName, false, false }),
    RowName());

TEST(ChangeNotification, ManyWatchesShareOneInstanceAndAFolderWatchedTwiceWakesBoth)
{
    QTemporaryDir dir;
    ChangeNotification notification;
    std::vector<std::unique_ptr<ChangeNotification::Watch>> watches;
    for (int i = 0; i < 200; ++i) {
        QDir().mkdir(dir.filePath(QString::number(i)));
        watches.push_back(notification.watch(dir.filePath(QString::number(i)), ChangeDirName));
    }
    EXPECT_EQ(notification.instances(), 1);
    EXPECT_EQ(notification.watchCount(), 200);
    auto twice = notification.watch(dir.filePath("0"), ChangeDirName);
    QDir().mkdir(dir.filePath("0/new"));
    EXPECT_SOON(woken(*watches[0]) && woken(*twice));
    watches[0].reset();
    twice->rearm();
    QDir().mkdir(dir.filePath("0/newer"));
    EXPECT_SOON(woken(*twice));
}

TEST(ChangeNotification, AFolderThatIsNotThereGivesNoWatch)
{
    QTemporaryDir dir;
    ChangeNotification notification;
    EXPECT_EQ(notification.watch(dir.filePath("missing"), ChangeDirName), nullptr);
    EXPECT_EQ(notification.watchCount(), 0);
}
