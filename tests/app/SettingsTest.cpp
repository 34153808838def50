#include "app/Settings.h"

#include <ostream>

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "TableRow.h"
#include "TestFiles.h"
#include "platform/Failure.h"
#include "platform/ProfileFile.h"

namespace {

class SettingsTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path = dir.filePath("quillet.ini");
};

} // namespace

struct PathCase : TableRow {
    QString executable;
    QString settings;
};

class SettingsFilePath : public ::testing::TestWithParam<PathCase> { };

TEST_P(SettingsFilePath, SitsBesideTheExecutableWithTheIniExtension)
{
    EXPECT_EQ(settingsFilePath(GetParam().executable), GetParam().settings);
}

INSTANTIATE_TEST_SUITE_P(Executables, SettingsFilePath,
    ::testing::Values(PathCase { "NoExtension", "/opt/q/quillet", "/opt/q/quillet.ini" },
        PathCase { "ExtensionReplaced", "/opt/q/quillet.exe", "/opt/q/quillet.ini" },
        PathCase { "OnlyTheLastExtension", "/opt/q/quillet.bin.x", "/opt/q/quillet.bin.ini" },
        PathCase { "DotInFolderOnly", "/opt/my.app/quillet", "/opt/my.app/quillet.ini" },
        PathCase { "NameThatIsAllExtension", "/opt/q/.quillet", "/opt/q/.ini" },
        PathCase { "TrailingDot", "/opt/q/quillet.", "/opt/q/quillet.ini" }),
    RowName());

struct ValueCase : TableRow {
    QByteArray file;
    bool selectionmode;
    QRgb markcol;
};

class SettingsValues : public SettingsTest, public ::testing::WithParamInterface<ValueCase> { };

TEST_P(SettingsValues, StartWithTheDefaultWhereAValueIsNotValid)
{
    writeFileBytes(path, GetParam().file);
    const Settings settings = readSettings(ProfileFile(path));
    EXPECT_EQ(settings.selectionmode, GetParam().selectionmode);
    EXPECT_EQ(settings.markcol, GetParam().markcol);
}

INSTANTIATE_TEST_SUITE_P(HandEdited, SettingsValues,
    ::testing::Values(ValueCase { "EmptyFile", "", false, qRgb(255, 0, 0) },
        ValueCase {
            "SelectionModeTwoIsTrue", "[General]\r\nSelection mode=2\r\n", true, qRgb(255, 0, 0) },
        ValueCase { "SelectionModeYesIsFalse", "[General]\r\nSelection mode=yes\r\n", false,
            qRgb(255, 0, 0) },
        ValueCase { "HexAndDollarChannels", "[Edit]\r\nRed=0x80\r\nGreen=$FF\r\nBlue=0X10\r\n",
            false, qRgb(128, 255, 16) },
        ValueCase { "ChannelsKeepTheirLow8Bits", "[Edit]\r\nRed=256\r\nGreen=-1\r\nBlue=300\r\n",
            false, qRgb(0, 255, 44) },
        ValueCase { "InvalidChannelsTakeTheirDefaults",
            "[Edit]\r\nRed=red\r\nGreen=99999999999\r\nBlue=0x\r\n", false, qRgb(255, 0, 0) }),
    RowName());

TEST_F(SettingsTest, NoFileStartsWithDefaultsAndClosingCreatesTheFiveKeys)
{
    ProfileFile file(path);
    const Settings read = readSettings(file);
    EXPECT_EQ(read.save, "");
    EXPECT_FALSE(read.selectionmode);
    EXPECT_EQ(read.markcol, qRgb(255, 0, 0));
    EXPECT_FALSE(QFile::exists(path));

    writeSettings(file, Settings { "/home/me/Pictures", true, qRgb(255, 255, 0) });
    EXPECT_EQ(fileBytes(path),
        "[Location]\r\nSave=/home/me/Pictures\r\n[General]\r\nSelection mode=1\r\n[Edit]\r\n"
        "Red=255\r\nGreen=255\r\nBlue=0\r\n");
}

TEST_F(SettingsTest, WritingAHandEditedFileChangesOnlyTheFiveValues)
{
    writeFileBytes(path,
        "; my notes\r\n[Edit]\r\nRed=0x80\r\nWidth=3\r\n\r\n[Location]\r\nsave = /old\r\n"
        "[Other]\r\nKeep=me\r\n");
    ProfileFile file(path);
    writeSettings(file, Settings { "/new", false, qRgb(1, 2, 3) });
    EXPECT_EQ(fileBytes(path),
        "; my notes\r\n[Edit]\r\nRed=1\r\nWidth=3\r\nGreen=2\r\nBlue=3\r\n\r\n[Location]\r\n"
        "save=/new\r\n[Other]\r\nKeep=me\r\n[General]\r\nSelection mode=0\r\n");
    const Settings back = readSettings(ProfileFile(path));
    EXPECT_EQ(back.save, "/new");
    EXPECT_FALSE(back.selectionmode);
    EXPECT_EQ(back.markcol, qRgb(1, 2, 3));
}

TEST_F(SettingsTest, ALocationWithALineBreakKeepsTheEarlierOneAndTheRestIsWritten)
{
    // A folder may be named so, but one line of the file cannot hold it.
    const Settings withBreak { "/a\nb", true, qRgb(1, 2, 3) };
    ProfileFile file(path);
    writeSettings(file, withBreak);
    EXPECT_EQ(fileBytes(path),
        "[General]\r\nSelection mode=1\r\n[Edit]\r\nRed=1\r\nGreen=2\r\nBlue=3\r\n");

    writeFileBytes(path, "[Location]\r\nSave=/old\r\n");
    writeSettings(file, withBreak);
    const Settings back = readSettings(file);
    EXPECT_EQ(back.save, "/old");
    EXPECT_TRUE(back.selectionmode);
    EXPECT_EQ(back.markcol, qRgb(1, 2, 3));
}

TEST_F(SettingsTest, AFolderThatCannotBeWrittenIsReportedAndWritesNothing)
{
    ProfileFile inMissingFolder(dir.filePath("gone/quillet.ini"));
    try {
        writeSettings(inMissingFolder, Settings {});
        FAIL() << "writing into a missing folder succeeded";
    } catch (const Failure &failure) {
        EXPECT_EQ(failure.message(), "Unable to write to " + dir.filePath("gone/quillet.ini"));
    }
    EXPECT_FALSE(QFile::exists(dir.filePath("gone")));
}

TEST_F(SettingsTest, BinaryFileGivesDefaultsAndKeepsEveryByte)
{
    QByteArray junk(1 << 20, Qt::Uninitialized);
    QRandomGenerator random(20240611);
    for (char &c : junk)
        c = char(random.bounded(256));
    junk.back() = 'z';
    writeFileBytes(path, junk);

    ProfileFile file(path);
    const Settings read = readSettings(file);
    EXPECT_FALSE(read.selectionmode);
    EXPECT_EQ(read.markcol, qRgb(255, 0, 0));

    writeSettings(file, Settings { "/p", false, qRgb(255, 0, 0) });
    const QByteArray expected = junk
        + "\r\n[Location]\r\nSave=/p\r\n[General]\r\nSelection mode=0\r\n[Edit]\r\nRed=255\r\n"
          "Green=0\r\nBlue=0\r\n";
    const QByteArray written = fileBytes(path);
    EXPECT_EQ(written.size(), expected.size());
    EXPECT_TRUE(written == expected);
}

TEST_F(SettingsTest, SlowEnormousFileIsReadAndWrittenWithoutLosingItsLines)
{
    // 50 MB: a 20 MB save location on one line and 30 MB of unknown keys.
    QByteArray junk = "[Junk]\r\n";
    junk.reserve(31 << 20);
    for (int i = 0; junk.size() < (30 << 20); ++i)
        junk.append("key").append(QByteArray::number(i)).append("=some unknown value\r\n");
    QByteArray file = "[Location]\r\nSave=";
    file.reserve(51 << 20);
    file.append(20 << 20, 'x').append("\r\n").append(junk).append("[Edit]\r\nRed=0x80");
    writeFileBytes(path, file);
    file.clear();

    ProfileFile settingsFile(path);
    const Settings read = readSettings(settingsFile);
    EXPECT_EQ(read.save, QString(2047, 'x'));
    EXPECT_EQ(read.markcol, qRgb(128, 0, 0));

    writeSettings(settingsFile, Settings { "/pics", true, qRgb(1, 2, 3) });
    const QByteArray written = fileBytes(path);
    const QByteArray head = "[Location]\r\nSave=/pics\r\n";
    const QByteArray tail
        = "[Edit]\r\nRed=1\r\nGreen=2\r\nBlue=3\r\n[General]\r\nSelection mode=1\r\n";
    EXPECT_EQ(written.size(), head.size() + junk.size() + tail.size());
    EXPECT_TRUE(written.startsWith(head));
    EXPECT_TRUE(QByteArrayView(written).sliced(head.size()).startsWith(junk));
    EXPECT_TRUE(written.endsWith(tail));
}
