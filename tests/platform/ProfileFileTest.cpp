#include "platform/ProfileFile.h"

#include <ostream>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "TableRow.h"
#include "TestFiles.h"
#include "platform/Failure.h"

namespace {

// Bytes of a literal that may hold NUL bytes.
template<std::size_t N> QByteArray raw(const char (&text)[N])
{
    return QByteArray(text, N - 1);
}

class ProfileFileTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path = dir.filePath("quillet.ini");
};

} // namespace

struct ReadCase : TableRow {
    QByteArray file;
    QString section;
    QString key;
    QString expected; // "<def>" when the default comes back
};

class ProfileRead : public ProfileFileTest, public ::testing::WithParamInterface<ReadCase> { };

TEST_P(ProfileRead, FindsTheValueAsTheProfileFunctionsDo)
{
    writeFileBytes(path, GetParam().file);
    const ProfileFile file(path);
    EXPECT_EQ(file.readString(GetParam().section, GetParam().key, "<def>"), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Lines, ProfileRead,
    ::testing::Values(ReadCase { "PlainKey", "[Edit]\r\nRed=12\r\n", "Edit", "Red", "12" },
        ReadCase { "NamesIgnoreCase", "[eDiT]\r\nrED=12\r\n", "Edit", "Red", "12" },
        ReadCase { "BlanksAroundNamesAndValues", "  [ Edit ]  \r\n\t Red \t=  a b  \r\n", "Edit",
            "Red", "a b" },
        ReadCase { "NoFinalLineEnd", "[Edit]\r\nRed=99", "Edit", "Red", "99" },
        ReadCase { "EqualsSignInsideTheValue", "[L]\r\nSave=a=b\r\n", "L", "Save", "a=b" },
        ReadCase { "MatchingQuotesDropped", "[L]\r\nSave=\" x \"\r\n", "L", "Save", " x " },
        ReadCase {
            "ByteOrderMarkBeforeFirstSection", "\xEF\xBB\xBF[L]\r\nSave=x\r\n", "L", "Save", "x" },
        ReadCase { "FirstOfDuplicateKeys", "[L]\r\nSave=one\r\nsave=two\r\n", "L", "Save", "one" },
        ReadCase { "FirstOfDuplicateSections", "[L]\r\nSave=one\r\n[l]\r\nSave=two\r\n", "L",
            "Save", "one" },
        ReadCase { "KeyOnlyInSecondOfDuplicateSections", "[L]\r\nOther=1\r\n[L]\r\nSave=two\r\n",
            "L", "Save", "two" },
        ReadCase { "KeyOutsideAnySection", "Save=x\r\n[L]\r\nOther=1\r\n", "L", "Save", "<def>" },
        ReadCase { "HeaderWithoutClosingBracketIsNoSection", "[L]\r\n[Edit\r\nSave=x\r\n", "Edit",
            "Save", "<def>" },
        ReadCase {
            "NulBytesInOtherLines", raw("[L]\r\nJunk=\0\0\0\r\nSave=x\r\n"), "L", "Save", "x" },
        ReadCase { "BinaryGarbageAround",
            raw("\x89PNG\r\n\x1a\n\0\xff\xfe\n[L]\r\nSave=x\r\n\xde\xad\xbe\xef"), "L", "Save",
            "x" },
        ReadCase { "EmptyFile", "", "L", "Save", "<def>" }),
    RowName());

struct IntegerCase : TableRow {
    QByteArray text;
    int expected; // 7 is the default asked for
};

class ProfileInteger : public ProfileFileTest,
                       public ::testing::WithParamInterface<IntegerCase> { };

TEST_P(ProfileInteger, ReadsDecimalOrHexadecimalElseTheDefault)
{
    writeFileBytes(path, "[Edit]\r\nRed=" + GetParam().text + "\r\n");
    EXPECT_EQ(ProfileFile(path).readInteger("Edit", "Red", 7), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Texts, ProfileInteger,
    ::testing::Values(IntegerCase { "Decimal", "128", 128 }, IntegerCase { "Negative", "-1", -1 },
        IntegerCase { "HexLowerX", "0x80", 128 }, IntegerCase { "HexUpperX", "0X1f", 31 },
        IntegerCase { "Dollar", "$FF", 255 },
        IntegerCase { "HexAllBitsIsMinusOne", "0xFFFFFFFF", -1 },
        IntegerCase { "IntMin", "-2147483648", -2147483647 - 1 },
        IntegerCase { "DecimalPastIntMax", "2147483648", 7 },
        IntegerCase { "HexPast32Bits", "0x100000000", 7 },
        IntegerCase { "ZeroXAloneIsNotHex", "0x", 7 }, IntegerCase { "DollarAlone", "$", 7 },
        IntegerCase { "TrailingLetters", "12abc", 7 }, IntegerCase { "Word", "yes", 7 },
        IntegerCase { "Empty", "", 7 }),
    RowName());

TEST_F(ProfileFileTest, BooleansAreIntegersWhereAnythingButZeroIsTrue)
{
    writeFileBytes(path, "[G]\r\nTwo=2\r\nHexZero=0x0\r\nYes=yes\r\n");
    const ProfileFile file(path);
    EXPECT_TRUE(file.readBool("G", "Two", false));
    EXPECT_FALSE(file.readBool("G", "HexZero", true));
    EXPECT_FALSE(file.readBool("G", "Yes", false));
    EXPECT_TRUE(file.readBool("G", "Yes", true));
    EXPECT_TRUE(file.readBool("G", "Absent", true));
}

TEST_F(ProfileFileTest, LongValuesAreCutAt2047Characters)
{
    writeFileBytes(path,
        "[L]\r\nSave=" + QByteArray(10000, 'a') + "\r\nEmoji=" + QByteArray(2046, 'b')
            + "\xF0\x9F\x98\x80" + "\r\n");
    const ProfileFile file(path);
    EXPECT_EQ(file.readString("L", "Save", {}), QString(2047, 'a'));
    // The cut never leaves half of a character that takes two UTF-16 units.
    EXPECT_EQ(file.readString("L", "Emoji", {}), QString(2046, 'b'));
}

TEST_F(ProfileFileTest, MissingFileFolderOrUnreadablePathGivesDefaults)
{
    EXPECT_EQ(ProfileFile(path).readString("L", "Save", "d"), "d");
    EXPECT_EQ(ProfileFile(dir.filePath("no/such/folder.ini")).readInteger("E", "R", 3), 3);
    EXPECT_EQ(ProfileFile(dir.path()).readInteger("E", "R", 4), 4);
}

TEST_F(ProfileFileTest, FollowsChangesThatOthersMakeBetweenItsReadsAndWrites)
{
    writeFileBytes(path, "[L]\r\nSave=first\r\n");
    ProfileFile file(path);
    ASSERT_EQ(file.readString("L", "Save", {}), "first");
    writeFileBytes(path, "[L]\r\nSave=second, longer\r\n");
    EXPECT_EQ(file.readString("L", "Save", {}), "second, longer");
    file.writeString("L", "Mine", "2");
    EXPECT_EQ(fileBytes(path), "[L]\r\nSave=second, longer\r\nMine=2\r\n");
    QFile::remove(path);
    EXPECT_EQ(file.readString("L", "Save", "gone"), "gone");
}

struct WriteCase : TableRow {
    QByteArray before;
    QString section;
    QString key;
    QString value;
    QByteArray after;
};

class ProfileWrite : public ProfileFileTest, public ::testing::WithParamInterface<WriteCase> { };

TEST_P(ProfileWrite, ChangesOnlyTheLineItWrites)
{
    writeFileBytes(path, GetParam().before);
    ProfileFile file(path);
    file.writeString(GetParam().section, GetParam().key, GetParam().value);
    EXPECT_EQ(fileBytes(path), GetParam().after);
    EXPECT_EQ(file.readString(GetParam().section, GetParam().key, "<def>"), GetParam().value);
    EXPECT_EQ(ProfileFile(path).readString(GetParam().section, GetParam().key, "<def>"),
        GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(Files, ProfileWrite,
    ::testing::Values(WriteCase { "ReplacesValueKeepsFilesSpellingAndLineEnd",
                          "[edit]\n  red = 1 \n;c\n", "Edit", "Red", "2", "[edit]\nred=2\n;c\n" },
        WriteCase { "NewKeyAtEndOfItsSectionBeforeBlankLines",
            "[Edit]\r\nRed=1\r\n;note\r\n\r\n[Other]\r\nx=1\r\n", "Edit", "Blue", "0",
            "[Edit]\r\nRed=1\r\n;note\r\nBlue=0\r\n\r\n[Other]\r\nx=1\r\n" },
        WriteCase { "NewKeyInEmptySection", "[Edit]\r\n[Other]\r\n", "Edit", "Red", "1",
            "[Edit]\r\nRed=1\r\n[Other]\r\n" },
        WriteCase { "NewKeyAfterLastLineWithoutLineEnd", "[Edit]\r\nRed=1", "Edit", "Green", "2",
            "[Edit]\r\nRed=1\r\nGreen=2\r\n" },
        WriteCase { "NewSectionAfterLastLineWithoutLineEnd", "[A]\r\nx=1", "Edit", "Red", "1",
            "[A]\r\nx=1\r\n[Edit]\r\nRed=1\r\n" },
        WriteCase { "NewSectionAfterFileEndingInCarriageReturn", "[A]\rx=1\r", "Edit", "Red", "1",
            "[A]\rx=1\r\n[Edit]\r\nRed=1\r\n" },
        WriteCase { "FirstOfDuplicateKeys", "[L]\r\nSave=a\r\nSave=b\r\n", "L", "Save", "c",
            "[L]\r\nSave=c\r\nSave=b\r\n" },
        WriteCase { "FirstOfDuplicateSections", "[L]\r\nx=1\r\n[L]\r\ny=2\r\n", "L", "Save", "c",
            "[L]\r\nx=1\r\nSave=c\r\n[L]\r\ny=2\r\n" },
        WriteCase { "NulAndBinaryBytesKept", raw("\0\xff\n[L]\r\nSave=a\r\n\0\x01"), "L", "Save",
            "bb", raw("\0\xff\n[L]\r\nSave=bb\r\n\0\x01") },
        WriteCase { "ByteOrderMarkKept", "\xEF\xBB\xBF", "L", "Save", "x",
            "\xEF\xBB\xBF[L]\r\nSave=x\r\n" },
        WriteCase { "BlanksAtTheEndsAreQuoted", "", "L", "Save", " x ", "[L]\r\nSave=\" x \"\r\n" },
        WriteCase { "Utf8Value", "", "L", "Save", QString::fromUtf8("/home/\xC3\xA9t\xC3\xA9"),
            "[L]\r\nSave=/home/\xC3\xA9t\xC3\xA9\r\n" }),
    RowName());

struct UnfitCase : TableRow {
    QString section;
    QString key;
    QString value;
};

class ProfileUnfit : public ProfileFileTest, public ::testing::WithParamInterface<UnfitCase> { };

TEST_P(ProfileUnfit, KeepsTheEarlierValueAndWritesTheRest)
{
    writeFileBytes(path, "[L]\r\nSave=old\r\n");
    ProfileFile file(path);
    file.write({ { GetParam().section, GetParam().key, GetParam().value }, { "L", "Mode", "1" } });
    EXPECT_EQ(fileBytes(path), "[L]\r\nSave=old\r\nMode=1\r\n");
}

INSTANTIATE_TEST_SUITE_P(NotOneLine, ProfileUnfit,
    ::testing::Values(UnfitCase { "LineFeedInValue", "L", "Save", "/tmp/a\nb" },
        UnfitCase { "CarriageReturnInValue", "L", "Save", "a\rb" },
        UnfitCase { "AbsentKeyStaysAbsent", "L", "New", "a\nb" },
        UnfitCase { "EqualsSignInKey", "L", "Sa=ve", "x" },
        UnfitCase { "BracketInSection", "L]", "Save", "x" }),
    RowName());

TEST_F(ProfileFileTest, FailedWriteNamesTheFileAndLosesNothing)
{
    // Root may write into read-only folders; a folder where the file should be stops anyone.
    ASSERT_TRUE(QDir(dir.path()).mkdir("quillet.ini"));
    writeFileBytes(dir.filePath("quillet.ini/keep.txt"), "keep");
    const QStringList entriesBefore = QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden);
    ProfileFile onFolder(path);
    try {
        onFolder.writeString("L", "Save", "x");
        FAIL() << "writing over a folder succeeded";
    } catch (const Failure &failure) {
        EXPECT_EQ(failure.message(), "Unable to write to " + QDir::toNativeSeparators(path));
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden), entriesBefore);
    EXPECT_EQ(fileBytes(dir.filePath("quillet.ini/keep.txt")), "keep");
}
