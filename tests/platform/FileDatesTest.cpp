#include "platform/FileDates.h"

#include <fcntl.h>

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sys/stat.h>

TEST(DateText, ShortDateAndLongTimeWithoutMidnight)
{
    const QLocale german(QLocale::German, QLocale::Germany);
    QTemporaryDir dir;
    QFile file(dir.path() + "/f.jpg");
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(
        QDateTime(QDate(2021, 3, 4), QTime(5, 6, 7)), QFileDevice::FileModificationTime));
    // The locale's long time without the zone name Qt adds to it.
    EXPECT_EQ(fdatestr(file.fileName(), german), "04.03.21 05:06:07");
    EXPECT_EQ(fdatestr(file.fileName(), QLocale(QLocale::English, QLocale::UnitedStates)),
        "3/4/21 5:06:07 AM");
    ASSERT_TRUE(file.setFileTime(
        QDateTime(QDate(2021, 3, 4), QTime(0, 0)), QFileDevice::FileModificationTime));
    EXPECT_EQ(fdatestr(file.fileName(), german), "04.03.21");
    EXPECT_EQ(fdatestr(dir.path() + "/missing", german), "");
    // A path that vanished after the existence test has no valid time.
    EXPECT_EQ(datetimestr(QDateTime(), german), "");
    EXPECT_FALSE(fdatestr("/", german).isEmpty());
}

TEST(DateText, FolderShowsItsCreationNotItsLastChange)
{
    const QLocale german(QLocale::German, QLocale::Germany);
    QTemporaryDir dir;
    const QDateTime longAgo(QDate(2001, 1, 2), QTime(12, 0));
    const timespec times[2]
        = { { longAgo.toSecsSinceEpoch(), 0 }, { longAgo.toSecsSinceEpoch(), 0 } };
    ASSERT_EQ(utimensat(AT_FDCWD, QFile::encodeName(dir.path()).constData(), times, 0), 0);
    const QString shown = fdatestr(dir.path(), german);
    // Where the file system keeps no creation time, the last change stands in.
    const QString expected = QFileInfo(dir.path()).birthTime().isValid()
        ? german.toString(QDate::currentDate(), QLocale::ShortFormat) + " "
        : QStringLiteral("02.01.01 12:00:00");
    EXPECT_TRUE(shown.startsWith(expected)) << shown.toStdString();
}
