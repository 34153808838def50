#include "platform/DataFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "TableRow.h"

// "@" stands for a fresh temporary folder that holds "exe".
struct ChoiceCase : TableRow {
    bool executableWritable;
    QString configHome;
    QString home;
    QString expected;
};

class DataFolderChoice : public ::testing::TestWithParam<ChoiceCase> { };

TEST_P(DataFolderChoice, PicksTheFolderForSettingsAndHistory)
{
    const ChoiceCase &row = GetParam();
    QTemporaryDir dir;
    const auto at = [&](QString text) { return text.replace('@', dir.path()); };
    ASSERT_TRUE(QDir(dir.path()).mkpath("exe"));
    const QString folder = chooseDataFolder(dir.filePath("exe"), at(row.configHome), at(row.home),
        [&](const QString &f) { return f == dir.filePath("exe") && row.executableWritable; });
    EXPECT_EQ(folder, at(row.expected));
    EXPECT_TRUE(QFileInfo(folder).isDir());
}

TEST(DataFolder, AProgramUnderUsrNeverKeepsItsFilesBesideItselfEvenForRoot)
{
    QTemporaryDir dir;
    const QString folder = chooseDataFolder(
        "/usr/lib/quillet", dir.filePath("cfg"), dir.path(), [](const QString &) { return true; });
    EXPECT_EQ(folder, QDir::toNativeSeparators(dir.filePath("cfg/quillet/")));
}

INSTANTIATE_TEST_SUITE_P(Rows, DataFolderChoice,
    ::testing::Values(ChoiceCase { "WritableExecutableFolder", true, "@/cfg", "@/home", "@/exe/" },
        ChoiceCase { "ReadOnlyGoesToConfigHome", false, "@/cfg", "@/home", "@/cfg/quillet/" },
        ChoiceCase { "TrailingSlashInConfigHome", false, "@/cfg/", "@/home", "@/cfg/quillet/" },
        ChoiceCase { "UnsetConfigHome", false, "", "@/home", "@/home/.config/quillet/" },
        ChoiceCase {
            "RelativeConfigHomeIgnored", false, "cfg", "@/home", "@/home/.config/quillet/" },
        ChoiceCase { "NoAbsoluteHomeKeepsExecutableFolder", false, "cfg", "home", "@/exe/" }),
    RowName());

// Whoever runs the test, the probe answers as saving the settings would: root writes into a
// folder without write permission, and nobody makes a file in /proc.
TEST(DataFolderProbe, AnswersAsSavingTheSettingsWould)
{
    QTemporaryDir dir;
    const QString readOnly = dir.filePath("read-only");
    ASSERT_TRUE(QDir(dir.path()).mkdir("read-only"));
    ASSERT_TRUE(QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::ExeOwner));
    QSaveFile settings(QDir(readOnly).filePath("quillet.ini"));
    const bool saves = settings.open(QIODevice::WriteOnly) && settings.commit();
    EXPECT_EQ(canCreateFilesIn(readOnly), saves);
    EXPECT_TRUE(canCreateFilesIn(dir.path()));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
    EXPECT_FALSE(canCreateFilesIn(dir.filePath("missing")));
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("missing")));
    QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST(DataFolderProbe, UnwritableExecutableFolderSendsFilesToConfigHome)
{
    QTemporaryDir dir;
    const QString folder = chooseDataFolder("/proc", dir.filePath("cfg"), dir.path());
    EXPECT_EQ(folder, dir.filePath("cfg/quillet/"));
    EXPECT_TRUE(QFileInfo(folder).isDir());
}

// "@" stands for a fresh temporary folder holding "exe", "cfg" and "home"; "Pictures" is made
// in home only where the row says so.
struct SaveFolderCase : TableRow {
    QString dataFolder;
    bool installListed;
    bool picturesExists;
    QString expected;
};

class DefaultSaveFolder : public ::testing::TestWithParam<SaveFolderCase> { };

TEST_P(DefaultSaveFolder, IsBesideAPortableCopyElseThePicturesFolder)
{
    const SaveFolderCase &row = GetParam();
    QTemporaryDir dir;
    const auto at = [&](QString text) { return text.replace('@', dir.path()); };
    ASSERT_TRUE(QDir(dir.path()).mkpath("exe") && QDir(dir.path()).mkpath("home"));
    if (row.picturesExists) {
        ASSERT_TRUE(QDir(dir.path()).mkpath("home/Pictures"));
    }
    if (row.installListed) {
        QFile list(dir.filePath("exe/installed-files.txt"));
        ASSERT_TRUE(list.open(QIODevice::WriteOnly));
    }
    EXPECT_EQ(defaultSaveFolder(at(row.dataFolder), dir.filePath("exe"),
                  dir.filePath("home/Pictures"), dir.filePath("home")),
        at(row.expected));
}

INSTANTIATE_TEST_SUITE_P(Rows, DefaultSaveFolder,
    ::testing::Values(SaveFolderCase { "PortableCopy", "@/exe/", false, true, "@/exe/" },
        SaveFolderCase { "InstalledForTheUser", "@/exe/", true, true, "@/home/Pictures/" },
        SaveFolderCase {
            "InstalledForAllUsers", "@/cfg/quillet/", false, true, "@/home/Pictures/" },
        SaveFolderCase { "NoPicturesFolder", "@/cfg/quillet/", false, false, "@/home/" }),
    RowName());
