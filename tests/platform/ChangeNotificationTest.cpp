#include "platform/ChangeNotification.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "TableRow.h"
#include "WaitFor.h"

namespace {

// What a watch raised since the last look.
bool woken(WakeReasons &wake, quint32 bit = 1)
{
    return wake.take(bit) != 0;
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
    WakeReasons wake;
    auto watch = notification.watch(
        QFile::encodeName(dir.filePath("watched")), GetParam().filter, wake, 1);
    auto marker
        = notification.watch(QFile::encodeName(dir.filePath("marker")), ChangeDirName, wake, 2);
    ASSERT_TRUE(watch && marker);
    if (GetParam().makeFile) {
        QFile file(dir.filePath("watched/f"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    } else {
        QDir().mkdir(dir.filePath("watched/d"));
    }
    // Events arrive in order: once the marker is woken, the change above has been seen.
    QDir().mkdir(dir.filePath("marker/m"));
    EXPECT_SOON(woken(wake, 2));
    EXPECT_EQ(woken(wake, 1), GetParam().wakes);
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
    WakeReasons wake;
    std::vector<std::unique_ptr<ChangeNotification::Watch>> watches;
    for (int i = 0; i < 200; ++i) {
        QDir().mkdir(dir.filePath(QString::number(i)));
        watches.push_back(notification.watch(
            QFile::encodeName(dir.filePath(QString::number(i))), ChangeDirName, wake, 1));
    }
    EXPECT_EQ(notification.instances(), 1);
    EXPECT_EQ(notification.watchCount(), 200);
    auto twice = notification.watch(QFile::encodeName(dir.filePath("0")), ChangeDirName, wake, 2);
    QDir().mkdir(dir.filePath("0/new"));
    quint32 seen = 0;
    EXPECT_SOON((seen |= wake.take(3)) == 3);
    watches[0].reset();
    QDir().mkdir(dir.filePath("0/newer"));
    EXPECT_SOON(woken(wake, 2));
}

TEST(ChangeNotification, AFolderThatIsNotThereGivesNoWatch)
{
    QTemporaryDir dir;
    ChangeNotification notification;
    WakeReasons wake;
    EXPECT_EQ(
        notification.watch(QFile::encodeName(dir.filePath("missing")), ChangeDirName, wake, 1),
        nullptr);
    EXPECT_EQ(notification.watchCount(), 0);
}
