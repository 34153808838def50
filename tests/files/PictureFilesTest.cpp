#include "files/PictureFiles.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <future>
#include <jerror.h>
#include <jpeglib.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include "PictureTestData.h"
#include "ResourceLimit.h"
#include "TableRow.h"
#include "TestFiles.h"
#include "files/pathhelpers.h"
#include "platform/Failure.h"

using namespace picturetest;

namespace {

bool isJpegData(const QByteArray &data)
{
    return data.startsWith("\xFF\xD8\xFF");
}

bool isBitmapData(const QByteArray &data)
{
    return data.startsWith("BM");
}

bool isPngData(const QByteArray &data)
{
    return data.startsWith("\x89PNG\r\n\x1A\n");
}

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

class PictureFolder : public ::testing::Test {
protected:
    QString path(const QString &name) const { return dir.filePath(name); }
    QStringList entries() const
    {
        return QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    }

    QTemporaryDir dir;
};

} // namespace

struct ExtensionCase : TableRow {
    QString path;
    QString extension;
};

class FileExtension : public ::testing::TestWithParam<ExtensionCase> { };

TEST_P(FileExtension, IsTheLowerCasedTextFromTheLastDotOfTheLastComponent)
{
    EXPECT_EQ(fileExtension(GetParam().path), GetParam().extension);
}

INSTANTIATE_TEST_SUITE_P(Rows, FileExtension,
    ::testing::Values(ExtensionCase { "Plain", "/tmp/a.jpg", ".jpg" },
        ExtensionCase { "UpperCase", "/tmp/a.JPG", ".jpg" },
        ExtensionCase { "MixedCase", "a.JpEg", ".jpeg" },
        ExtensionCase { "LastDotWins", "/tmp/a.tar.BMP", ".bmp" },
        ExtensionCase { "None", "/tmp/picture", "" },
        ExtensionCase { "DotOnlyInAFolder", "/tmp/pics.d/picture", "" },
        ExtensionCase { "TrailingDot", "/tmp/picture.", "." },
        ExtensionCase { "HiddenFile", "/home/u/.hidden", ".hidden" },
        ExtensionCase {
            "OnlyAToZLowered", QString::fromUtf8("x.ÄöJPG"), QString::fromUtf8(".Äöjpg") }),
    RowName());

struct SaveCase : TableRow {
    QString fileName;
    int filterIndex;
    QString savedName;
    SavedAs kind;
    bool (*isExpectedData)(const QByteArray &);
};

class SaveByExtension : public PictureFolder, public ::testing::WithParamInterface<SaveCase> { };

TEST_P(SaveByExtension, WritesTheDataTheExtensionAsksFor)
{
    const SaveCase &row = GetParam();
    QString name = path(row.fileName);
    EXPECT_EQ(bmpimage2fname(Picture(samplePicture()), name, row.filterIndex), row.kind);
    EXPECT_EQ(name, path(row.savedName)) << "the appended extension stays in the caller's name";
    EXPECT_TRUE(row.isExpectedData(fileBytes(path(row.savedName))));
    EXPECT_EQ(entries(), QStringList { row.savedName }) << "nothing else is left behind";
}

INSTANTIATE_TEST_SUITE_P(Rows, SaveByExtension,
    ::testing::Values(SaveCase { "Jpg", "p.jpg", 2, "p.jpg", SavedAs::Jpeg, isJpegData },
        SaveCase { "UpperCaseJpg", "p.JPG", 2, "p.JPG", SavedAs::Jpeg, isJpegData },
        SaveCase { "MixedCaseJpeg", "p.JpEg", 2, "p.JpEg", SavedAs::Jpeg, isJpegData },
        SaveCase { "NoExtensionFilter1", "p", 1, "p.jpg", SavedAs::Jpeg, isJpegData },
        SaveCase { "NoExtensionFilter2", "p", 2, "p.bmp", SavedAs::Other, isBitmapData },
        SaveCase { "NoExtensionOtherFilter", "p", 0, "p.bmp", SavedAs::Other, isBitmapData },
        SaveCase { "Bmp", "p.bmp", 1, "p.bmp", SavedAs::Other, isBitmapData },
        SaveCase { "PngIsRealPng", "p.PNG", 1, "p.PNG", SavedAs::Other, isPngData },
        SaveCase { "IcoGetsBitmapData", "p.ico", 1, "p.ico", SavedAs::Other, isBitmapData },
        SaveCase { "EmfGetsBitmapData", "p.emf", 1, "p.emf", SavedAs::Other, isBitmapData },
        SaveCase { "WmfGetsBitmapData", "p.wmf", 1, "p.wmf", SavedAs::Other, isBitmapData },
        SaveCase { "GifGetsBitmapData", "p.gif", 1, "p.gif", SavedAs::Other, isBitmapData }),
    RowName());

TEST_F(PictureFolder, RoundTripsKeepSizeAndPixels)
{
    const QImage picture = samplePicture(200, 120);
    for (const QString &fileName : QStringList { "a.jpg", "b.JPEG", "c.JpEg" }) {
        QString name = path(fileName);
        bmpimage2fname(Picture(picture), name, 2);
        const QImage loaded = fname2bmpimage(name).image();
        EXPECT_EQ(loaded.format(), QImage::Format_RGB888) << fileName.toStdString();
        EXPECT_LT(meanDifference(loaded, picture), 3.0) << fileName.toStdString();
    }

    QString png = path("d.png");
    bmpimage2fname(Picture(picture), png, 1);
    EXPECT_EQ(fname2bmpimage(png).image().convertToFormat(QImage::Format_RGB888), picture);

    const QImage icon = samplePicture(32, 32).convertToFormat(QImage::Format_ARGB32);
    writeFileBytes(path("app.ico"), qtEncoded(icon, "ico"));
    const Picture loadedIcon = fname2bmpimage(path("app.ico"));
    EXPECT_EQ(loadedIcon.image().convertToFormat(QImage::Format_ARGB32), icon) << "a bitmap";
}

TEST_F(PictureFolder, PaletteBitmapKeepsItsFormatThroughLoadAndSave)
{
    // More than 16 colours, or Qt would write a 4-bit file.
    QImage palette(37, 21, QImage::Format_Indexed8);
    QList<QRgb> colours;
    for (int i = 0; i < 40; ++i)
        colours.append(qRgb(6 * i, 255 - 5 * i, (i * 37) % 256));
    palette.setColorTable(colours);
    for (int y = 0; y < palette.height(); ++y)
        for (int x = 0; x < palette.width(); ++x)
            palette.setPixel(x, y, (x * 7 + y * 3) % 40);
    const QString original = path("palette.bmp");
    writeFileBytes(original, qtEncoded(palette, "bmp"));
    ASSERT_EQ(uchar(fileBytes(original)[28]), 8) << "bits per pixel sit at offset 28";

    const Picture loaded = fname2bmpimage(original);
    EXPECT_EQ(loaded.image().format(), QImage::Format_Indexed8);
    QString copy = path("copy.bmp");
    EXPECT_EQ(bmpimage2fname(loaded, copy, 1), SavedAs::Other);
    const QByteArray written = fileBytes(copy);
    EXPECT_EQ(uchar(written[28]), 8) << "still an 8-bit palette bitmap";
    EXPECT_EQ(QImage::fromData(written, "bmp").convertToFormat(QImage::Format_RGB888),
        palette.convertToFormat(QImage::Format_RGB888));
}

TEST_F(PictureFolder, SlowLargePicturesWithinTheLimitOpen)
{
    // 6000 x 6000 at 32 bits is above Qt's default allocation limit but within ours.
    QImage large(6000, 6000, QImage::Format_RGB32);
    large.fill(qRgb(250, 250, 245));
    QImageWriter writer(path("large.png"), "png");
    writer.setQuality(80); // fast deflate: this picture compresses well anyway
    ASSERT_TRUE(writer.write(large));
    large = QImage();
    EXPECT_EQ(fname2bmpimage(path("large.png")).size(), QSize(6000, 6000));
}

// --- Saves that fail touch no file -------------------------------------------------------

TEST_F(PictureFolder, EmptyPictureFailsUnderEveryNameAndTouchesNoFile)
{
    for (const QString &fileName : QStringList { "e.jpg", "e.bmp", "e.png", "e.gif", "e" }) {
        writeFileBytes(path(fileName), "previous content");
        for (int filterIndex : { 1, 2 }) {
            QString name = path(fileName);
            QString fresh = path("new" + fileName);
            EXPECT_THROW(bmpimage2fname(Picture::emptyPicture(), name, filterIndex), Failure);
            EXPECT_THROW(bmpimage2fname(Picture::emptyPicture(), fresh, filterIndex), Failure);
        }
        EXPECT_EQ(fileBytes(path(fileName)), "previous content");
    }
    EXPECT_EQ(entries().size(), 5);
}

TEST_F(PictureFolder, ZeroSizeBitmapWritesAnEmptyJpegAndRefusesOtherKinds)
{
    for (const QString &fileName : QStringList { "z.jpg", "z.bmp", "z.png" }) {
        writeFileBytes(path(fileName), "previous content");
        QString name = path(fileName);
        const QString message = failureOf([&] { bmpimage2fname(Picture(), name, 1); });
        if (fileName.endsWith(".jpg")) {
            EXPECT_EQ(message, "(no failure)");
            EXPECT_EQ(fileBytes(name), QByteArray());
        } else {
            EXPECT_TRUE(message.contains("zero width or height")) << message.toStdString();
            EXPECT_EQ(fileBytes(name), "previous content");
        }
    }
}

TEST_F(PictureFolder, MissingFoldersAndFoldersInTheWayCannotBeCreated)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.jpg"));
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.bmp"));
    for (const QString &fileName :
        QStringList { "gone/p.jpg", "gone/p.bmp", "folder.jpg", "folder.bmp" }) {
        QString name = path(fileName);
        EXPECT_EQ(failureOf([&] { bmpimage2fname(Picture(samplePicture()), name, 1); }),
            "Cannot create file " + native(name));
    }
    EXPECT_EQ(entries(), QStringList({ "folder.bmp", "folder.jpg" }));
}

TEST_F(PictureFolder, FailedWriteKeepsTheReplacedFileAndLeavesNoPartialOne)
{
    const QByteArray previous = qtEncoded(samplePicture(8, 8), "bmp");
    for (const QString &fileName : QStringList { "keep.jpg", "keep.bmp", "keep.png" }) {
        QString name = path(fileName);
        writeFileBytes(name, previous);
        FileSizeLimit limit(512);
        EXPECT_EQ(failureOf([&] { bmpimage2fname(Picture(samplePicture(400, 300)), name, 1); }),
            "Cannot create file " + native(name));
        EXPECT_EQ(fileBytes(name), previous) << fileName.toStdString();
    }
    EXPECT_EQ(entries(), QStringList({ "keep.bmp", "keep.jpg", "keep.png" }));
}

// --- Loads that fail ---------------------------------------------------------------------

enum class Setup { File, Folder, LinkToDevice, Nothing };

struct BadLoadCase : TableRow {
    QString fileName;
    Setup setup;
    QByteArray content;
    QString messageStart; // %1: the native path
};

class BadPictureFile : public PictureFolder, public ::testing::WithParamInterface<BadLoadCase> { };

TEST_P(BadPictureFile, FailsWithAClearMessage)
{
    const BadLoadCase &row = GetParam();
    const QString name = path(row.fileName);
    if (row.setup == Setup::File)
        writeFileBytes(name, row.content);
    if (row.setup == Setup::Folder) {
        ASSERT_TRUE(QDir().mkdir(name));
    }
    if (row.setup == Setup::LinkToDevice) {
        ASSERT_TRUE(QFile::link("/dev/zero", name));
    }
    const QString message = failureOf([&] { fname2bmpimage(name); });
    // Some messages name the file (%1), the rest do not.
    const QString start(row.messageStart);
    const QString expected = start.contains("%1") ? start.arg(native(name)) : start;
    EXPECT_TRUE(message.startsWith(expected)) << message.toStdString() << "\ndoes not start with\n"
                                              << expected.toStdString();
}

namespace {

const QByteArray goodBitmap = qtEncoded(samplePicture(), "bmp");
const QByteArray goodPng = qtEncoded(samplePicture(), "png");
const QByteArray goodIcon
    = qtEncoded(samplePicture(32, 32).convertToFormat(QImage::Format_ARGB32), "ico");
const QByteArray goodJpeg = qtEncoded(samplePicture(), "jpeg");
const QByteArray text = "Dear user, this file holds no picture at all.\n";

QByteArray bitmapClaiming(int width, int height)
{
    QByteArray bitmap = goodBitmap;
    for (int i = 0; i < 4; ++i) {
        bitmap[18 + i] = char((width >> (8 * i)) & 0xFF);
        bitmap[22 + i] = char((height >> (8 * i)) & 0xFF);
    }
    return bitmap;
}

const QString cannotOpen = "Cannot open file %1";
const QString notARegularFile = "Cannot open file %1: it is not a regular file";
const QString metafile = "Cannot open file %1: metafiles are not supported";
const QString damagedBitmap = "Cannot read %1: the file is damaged or is not a bitmap file";
const QString damagedIcon = "Cannot read %1: the file is damaged or is not an icon file";
const QString damagedPng = "Cannot read %1: the file is damaged or is not a PNG file";
const QString tooLarge = "The picture is too large to open: ";

constexpr Setup file = Setup::File;

} // namespace

INSTANTIATE_TEST_SUITE_P(Rows, BadPictureFile,
    ::testing::Values(BadLoadCase { "ZeroByteJpg", "z.jpg", file, {}, jpegError(JERR_INPUT_EMPTY) },
        BadLoadCase { "ZeroByteJpeg", "z.jpeg", file, {}, jpegError(JERR_INPUT_EMPTY) },
        BadLoadCase { "ZeroByteBmp", "z.bmp", file, {}, damagedBitmap },
        BadLoadCase { "ZeroByteIco", "z.ico", file, {}, damagedIcon },
        BadLoadCase { "ZeroBytePng", "z.png", file, {}, damagedPng },
        BadLoadCase { "TextAsJpg", "t.jpg", file, text, jpegError(JERR_NO_SOI) },
        BadLoadCase { "TextAsBmp", "t.bmp", file, text, damagedBitmap },
        BadLoadCase { "TextAsIco", "t.ico", file, text, damagedIcon },
        BadLoadCase { "TextAsPng", "t.png", file, text, damagedPng },
        BadLoadCase { "PngDataAsBmpIsNotSniffed", "p.bmp", file, goodPng, damagedBitmap },
        BadLoadCase {
            "BmpDataAsJpegIsNotSniffed", "b.JPEG", file, goodBitmap, jpegError(JERR_NO_SOI) },
        BadLoadCase { "JpegTruncatedInHeader", "cut.jpg", file,
            goodJpeg.left(findMarker(goodJpeg, 0xC0) + 6), "JPEG error #" },
        BadLoadCase { "BmpTruncatedInHeader", "cut.bmp", file, goodBitmap.left(20), damagedBitmap },
        BadLoadCase { "IcoTruncatedInDirectory", "cut.ico", file, goodIcon.left(10), damagedIcon },
        BadLoadCase { "PngTruncatedInHeader", "cut.png", file, goodPng.left(20), damagedPng },
        BadLoadCase {
            "PngTruncatedInData", "half.png", file, goodPng.left(goodPng.size() / 2), damagedPng },
        BadLoadCase { "JpegClaiming65535Square", "huge.jpg", file,
            withFrameSize(goodJpeg, 65535, 65535), tooLarge + "65535 x 65535 pixels" },
        BadLoadCase { "BmpClaiming9000Square", "huge.bmp", file, bitmapClaiming(9000, 9000),
            tooLarge + "9000 x 9000 pixels" },
        BadLoadCase { "BmpClaiming65535Square", "huger.bmp", file, bitmapClaiming(65535, 65535),
            damagedBitmap },
        BadLoadCase {
            "BmpClaimingNegativeWidth", "neg.bmp", file, bitmapClaiming(-5, 64), damagedBitmap },
        BadLoadCase { "FolderNamedJpg", "f.jpg", Setup::Folder, {}, cannotOpen },
        BadLoadCase { "FolderNamedJPEG", "f.JPEG", Setup::Folder, {}, cannotOpen },
        BadLoadCase { "FolderNamedBmp", "f.bmp", Setup::Folder, {}, cannotOpen },
        BadLoadCase { "FolderNamedIco", "f.ico", Setup::Folder, {}, cannotOpen },
        BadLoadCase { "FolderNamedPng", "f.png", Setup::Folder, {}, cannotOpen },
        BadLoadCase { "DeviceNamedJpg", "zero.jpg", Setup::LinkToDevice, {}, notARegularFile },
        BadLoadCase { "VanishedJpg", "gone/p.jpg", Setup::Nothing, {}, cannotOpen },
        BadLoadCase { "VanishedBmp", "p.bmp", Setup::Nothing, {}, cannotOpen },
        BadLoadCase { "VanishedPng", "p.png", Setup::Nothing, {}, cannotOpen },
        // The extension decides before the file is looked at.
        BadLoadCase { "GifWithBitmapInside", "p.gif", file, goodBitmap,
            "Unknown picture file extension (.gif)" },
        BadLoadCase { "ExtensionAsWritten", "p.GiF", Setup::Nothing, {},
            "Unknown picture file extension (.GiF)" },
        BadLoadCase {
            "NoExtension", "picture", file, goodBitmap, "Unknown picture file extension (.)" },
        BadLoadCase { "Emf", "p.emf", file, goodBitmap, metafile },
        BadLoadCase { "UpperCaseWmf", "p.WMF", Setup::Nothing, {}, metafile }),
    RowName());

TEST_F(PictureFolder, NamedPipeIsRefusedWithoutWaitingForAWriter)
{
    const QString pipe = path("pipe.jpg");
    ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    auto load
        = std::async(std::launch::async, [&] { return failureOf([&] { fname2bmpimage(pipe); }); });
    bool waited = false;
    // Should the load wait on the pipe, a writer that comes and goes at once gives it the end
    // of the data, so the test fails instead of hanging.
    while (load.wait_for(std::chrono::seconds(waited ? 1 : 5)) != std::future_status::ready) {
        waited = true;
        const int writer = ::open(QFile::encodeName(pipe).constData(), O_WRONLY | O_NONBLOCK);
        if (writer >= 0)
            ::close(writer);
    }
    EXPECT_FALSE(waited) << "the load waited for a writer";
    EXPECT_EQ(load.get(), QString(notARegularFile).arg(native(pipe)));
}

struct RealFile : TableRow {
    const char *file;
    QSize size;
    QString quadrants; // top-left, top-right, bottom-left, bottom-right
};

class RealPictureFile : public ::testing::TestWithParam<RealFile> { };

TEST_P(RealPictureFile, OpensAsAnUprightViewerShowsIt)
{
    const QImage picture = fname2bmpimage(testData(GetParam().file)).image();
    EXPECT_EQ(picture.format(), QImage::Format_RGB888);
    EXPECT_EQ(picture.size(), GetParam().size);
    EXPECT_EQ(quadrantColours(picture), GetParam().quadrants);
}

// Each shows red, green / blue and white or (the CMYK files, where black ink counts) mid-gray;
// the truncated file has lost its white corner, which decodes mid-gray.
INSTANTIATE_TEST_SUITE_P(Rows, RealPictureFile,
    ::testing::Values(
        RealFile { "CmykWithInvertedAdobeInk", "cmyk-adobe-inverted.jpg", { 64, 32 }, "RGBM" },
        RealFile { "YcckWithInvertedAdobeInk", "cmyk-ycck-adobe-inverted.jpg", { 64, 32 }, "RGBM" },
        RealFile { "CmykWithoutAdobeMarker", "cmyk-without-adobe-marker.jpg", { 64, 32 }, "RGBM" },
        RealFile { "ExifOrientation6", "exif-orientation-6-rotated.jpg", { 64, 32 }, "RGBW" },
        RealFile { "TruncatedInScan", "jpeg-truncated-in-scan.jpg", { 64, 32 }, "RGBM" }),
    RowName());

TEST_F(PictureFolder, TurnedPictureIsSavedUprightWithoutItsOrientation)
{
    QString name = path("saved.jpg");
    bmpimage2fname(fname2bmpimage(testData("exif-orientation-6-rotated.jpg")), name, 1);
    const QByteArray saved = fileBytes(name);
    EXPECT_FALSE(saved.contains("Exif"));
    const QImage reread = QImage::fromData(saved, "jpeg");
    EXPECT_EQ(reread.size(), QSize(64, 32));
    EXPECT_EQ(quadrantColours(reread), "RGBW");
}
