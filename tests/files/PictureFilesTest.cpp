#include "files/PictureFiles.h"
#include "PictureTestData.h"
#include "platform/Failure.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <jerror.h>
#include <jpeglib.h>
#include <sys/resource.h>

using namespace picturetest;

namespace {

QString loadFailure(const QString &path)
{
    try {
        fname2bmpimage(path);
    } catch (const Failure &failure) {
        return failure.message();
    }
    return QStringLiteral("(loaded)");
}

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

struct ExtensionCase {
    const char *name;
    QString path;
    QString extension;
};

void PrintTo(const ExtensionCase &row, std::ostream *out)
{
    *out << row.name;
}

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
            "OnlyAToZLowered", QString::fromUtf8("x.ÄÖJPG"), QString::fromUtf8(".ÄÖjpg") },
        ExtensionCase { "DigitsKept", "x.J2K", ".j2k" }),
    [](const auto &info) { return std::string(info.param.name); });

// --- Saving -------------------------------------------------------------------------------

struct SaveCase {
    const char *name;
    QString fileName;
    int filterIndex;
    QString savedName;
    SavedAs kind;
    bool (*isExpectedData)(const QByteArray &);
};

void PrintTo(const SaveCase &row, std::ostream *out)
{
    *out << row.name;
}

class SaveByExtension : public PictureFolder, public ::testing::WithParamInterface<SaveCase> { };

TEST_P(SaveByExtension, WritesTheDataTheExtensionAsksFor)
{
    const SaveCase &row = GetParam();
    QString name = path(row.fileName);
    EXPECT_EQ(bmpimage2fname(Picture(samplePicture()), name, row.filterIndex), row.kind);
    EXPECT_EQ(name, path(row.savedName)) << "the appended extension stays in the caller's name";
    EXPECT_TRUE(row.isExpectedData(readAll(path(row.savedName))));
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
        SaveCase { "PngIsRealPng", "p.png", 1, "p.png", SavedAs::Other, isPngData },
        SaveCase { "UpperCasePng", "p.PNG", 1, "p.PNG", SavedAs::Other, isPngData },
        SaveCase { "IcoGetsBitmapData", "p.ico", 1, "p.ico", SavedAs::Other, isBitmapData },
        SaveCase { "EmfGetsBitmapData", "p.emf", 1, "p.emf", SavedAs::Other, isBitmapData },
        SaveCase { "WmfGetsBitmapData", "p.wmf", 1, "p.wmf", SavedAs::Other, isBitmapData },
        SaveCase { "GifGetsBitmapData", "p.gif", 1, "p.gif", SavedAs::Other, isBitmapData },
        SaveCase { "TrailingDotGetsBitmapData", "p.", 1, "p.", SavedAs::Other, isBitmapData }),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(PictureFolder, JpegRoundTripKeepsSizeAndNearlyEveryPixel)
{
    const QImage picture = samplePicture(200, 120);
    for (const QString &fileName : QStringList { "a.jpg", "b.JPEG", "c.JpEg" }) {
        QString name = path(fileName);
        bmpimage2fname(Picture(picture), name, 2);
        const Picture loaded = fname2bmpimage(name);
        EXPECT_EQ(loaded.image().format(), QImage::Format_RGB888) << fileName.toStdString();
        ASSERT_EQ(loaded.size(), picture.size());
        EXPECT_LT(meanDifference(loaded.image(), picture), 3.0);
        // An independent decoder sees the same picture.
        EXPECT_LT(meanDifference(QImage::fromData(readAll(name), "jpeg"), picture), 3.0);
    }
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
    writeAll(original, qtEncoded(palette, "bmp"));
    // Bits per pixel sit at offset 28 of a Windows bitmap file.
    ASSERT_EQ(uchar(readAll(original)[28]), 8);

    const Picture loaded = fname2bmpimage(original);
    EXPECT_EQ(loaded.image().format(), QImage::Format_Indexed8);
    EXPECT_EQ(loaded.image().convertToFormat(QImage::Format_RGB888),
        palette.convertToFormat(QImage::Format_RGB888));

    QString copy = path("copy.bmp");
    EXPECT_EQ(bmpimage2fname(loaded, copy, 1), SavedAs::Other);
    const QByteArray written = readAll(copy);
    ASSERT_TRUE(isBitmapData(written));
    EXPECT_EQ(uchar(written[28]), 8) << "still an 8-bit palette bitmap";
    EXPECT_EQ(QImage::fromData(written, "bmp").convertToFormat(QImage::Format_RGB888),
        palette.convertToFormat(QImage::Format_RGB888));
}

TEST_F(PictureFolder, PngRoundTripIsExact)
{
    const QImage picture = samplePicture(50, 40);
    QString name = path("shot.png");
    bmpimage2fname(Picture(picture), name, 1);
    const Picture loaded = fname2bmpimage(name);
    EXPECT_EQ(loaded.image().convertToFormat(QImage::Format_RGB888), picture);
}

TEST_F(PictureFolder, IconsOpenAsBitmaps)
{
    const QImage icon = samplePicture(32, 32).convertToFormat(QImage::Format_ARGB32);
    writeAll(path("app.ico"), qtEncoded(icon, "ico"));
    const Picture loaded = fname2bmpimage(path("app.ico"));
    EXPECT_TRUE(loaded.hasPixels());
    ASSERT_EQ(loaded.size(), QSize(32, 32));
    EXPECT_EQ(loaded.image().convertToFormat(QImage::Format_RGB888),
        icon.convertToFormat(QImage::Format_RGB888));
}

TEST_F(PictureFolder, SavingOverAnOpenedBitmapReplacesIt)
{
    const QString name = path("old.bmp");
    writeAll(name, qtEncoded(samplePicture(10, 10), "bmp"));
    QString target = name;
    bmpimage2fname(Picture(samplePicture(30, 20)), target, 1);
    EXPECT_EQ(QImage::fromData(readAll(name), "bmp").size(), QSize(30, 20));
    EXPECT_EQ(entries(), QStringList { "old.bmp" });
}

// --- Saves that fail ----------------------------------------------------------------------

struct EmptySaveCase {
    const char *name;
    QString fileName;
    int filterIndex;
};

void PrintTo(const EmptySaveCase &row, std::ostream *out)
{
    *out << row.name;
}

class EmptyPictureSave : public PictureFolder,
                         public ::testing::WithParamInterface<EmptySaveCase> { };

TEST_P(EmptyPictureSave, FailsAndTouchesNoFile)
{
    const QString existing = path("existing" + fileExtension(GetParam().fileName));
    writeAll(existing, "previous content");
    QString fresh = path(GetParam().fileName);
    QString over = existing;
    EXPECT_THROW(bmpimage2fname(Picture::emptyPicture(), fresh, GetParam().filterIndex), Failure);
    EXPECT_THROW(bmpimage2fname(Picture::emptyPicture(), over, GetParam().filterIndex), Failure);
    EXPECT_EQ(readAll(existing), "previous content");
    EXPECT_EQ(entries(), QStringList { QFileInfo(existing).fileName() });
}

INSTANTIATE_TEST_SUITE_P(Rows, EmptyPictureSave,
    ::testing::Values(EmptySaveCase { "Jpg", "new.jpg", 1 }, EmptySaveCase { "Bmp", "new.bmp", 1 },
        EmptySaveCase { "Png", "new.png", 1 }, EmptySaveCase { "Gif", "new.gif", 1 },
        EmptySaveCase { "NoExtensionFilter1", "new", 1 },
        EmptySaveCase { "NoExtensionFilter2", "new", 2 }),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(PictureFolder, ZeroSizeBitmapUnderAJpegNameWritesAnEmptyFile)
{
    const QString name = path("zero.jpg");
    writeAll(name, "previous content");
    QString target = name;
    EXPECT_EQ(bmpimage2fname(Picture(), target, 1), SavedAs::Jpeg);
    EXPECT_TRUE(QFile::exists(name));
    EXPECT_EQ(QFileInfo(name).size(), 0);
}

TEST_F(PictureFolder, ZeroSizeBitmapUnderOtherNamesFailsClearlyAndKeepsTheOldFile)
{
    for (const QString &fileName : QStringList { "zero.bmp", "zero.png" }) {
        const QString name = path(fileName);
        writeAll(name, "previous content");
        QString target = name;
        try {
            bmpimage2fname(Picture(), target, 1);
            ADD_FAILURE() << "saved " << fileName.toStdString();
        } catch (const Failure &failure) {
            EXPECT_TRUE(failure.message().contains("zero width or height"));
        }
        EXPECT_EQ(readAll(name), "previous content");
    }
}

TEST_F(PictureFolder, SavingIntoAMissingFolderCannotCreateTheFile)
{
    for (const QString &fileName : QStringList { "gone/p.jpg", "gone/p.bmp" }) {
        QString name = path(fileName);
        try {
            bmpimage2fname(Picture(samplePicture()), name, 1);
            ADD_FAILURE() << "saved " << fileName.toStdString();
        } catch (const Failure &failure) {
            EXPECT_EQ(failure.message(), "Cannot create file " + QDir::toNativeSeparators(name));
        }
    }
    EXPECT_TRUE(entries().isEmpty());
}

TEST_F(PictureFolder, SavingOverAFolderFailsAndKeepsTheFolder)
{
    for (const QString &fileName : QStringList { "folder.jpg", "folder.bmp" }) {
        ASSERT_TRUE(QDir(dir.path()).mkdir(fileName));
        QString name = path(fileName);
        EXPECT_THROW(bmpimage2fname(Picture(samplePicture()), name, 1), Failure);
        EXPECT_TRUE(QFileInfo(name).isDir());
    }
    EXPECT_EQ(entries().size(), 2);
}

// Lets a test make writes fail part-way, as a full disk would: files may not grow beyond
// `bytes` while it lives.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &saved);
        previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limited = saved;
        limited.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previousHandler);
    }

private:
    rlimit saved {};
    void (*previousHandler)(int) = nullptr;
};

TEST_F(PictureFolder, FailedWriteKeepsTheReplacedFileAndLeavesNoPartialOne)
{
    const QByteArray previous = qtEncoded(samplePicture(8, 8), "bmp");
    const QImage large = samplePicture(400, 300);
    for (const QString &fileName : QStringList { "keep.jpg", "keep.bmp", "keep.png" }) {
        const QString name = path(fileName);
        writeAll(name, previous);
        QString target = name;
        {
            FileSizeLimit limit(2048);
            try {
                bmpimage2fname(Picture(large), target, 1);
                ADD_FAILURE() << "saved " << fileName.toStdString();
            } catch (const Failure &failure) {
                EXPECT_EQ(
                    failure.message(), "Cannot create file " + QDir::toNativeSeparators(name));
            }
        }
        EXPECT_EQ(readAll(name), previous) << fileName.toStdString();
    }
    EXPECT_EQ(entries(), QStringList({ "keep.bmp", "keep.jpg", "keep.png" }));
}

// --- Loading ------------------------------------------------------------------------------

struct RefusedNameCase {
    const char *name;
    QString fileName;
    QString message; // %1: the native path
};

void PrintTo(const RefusedNameCase &row, std::ostream *out)
{
    *out << row.name;
}

class RefusedExtension : public PictureFolder,
                         public ::testing::WithParamInterface<RefusedNameCase> { };

TEST_P(RefusedExtension, FailsWhetherOrNotTheFileExistsAndWhateverItHolds)
{
    const QString name = path(GetParam().fileName);
    const QString expected = QString(GetParam().message).arg(QDir::toNativeSeparators(name));
    EXPECT_EQ(loadFailure(name), expected) << "missing";
    writeAll(name, qtEncoded(samplePicture(), "bmp"));
    EXPECT_EQ(loadFailure(name), expected) << "a real bitmap inside";
}

INSTANTIATE_TEST_SUITE_P(Rows, RefusedExtension,
    ::testing::Values(RefusedNameCase { "Gif", "p.gif", "Unknown picture file extension (.gif)" },
        RefusedNameCase { "ExtensionAsWritten", "p.GiF", "Unknown picture file extension (.GiF)" },
        RefusedNameCase { "Jpe", "p.jpe", "Unknown picture file extension (.jpe)" },
        RefusedNameCase { "None", "picture", "Unknown picture file extension (.)" },
        RefusedNameCase { "Emf", "p.emf", "Cannot open file %1: metafiles are not supported" },
        RefusedNameCase {
            "UpperCaseWmf", "p.WMF", "Cannot open file %1: metafiles are not supported" }),
    [](const auto &info) { return std::string(info.param.name); });

struct BadFileCase {
    const char *name;
    QString fileName;
    QByteArray content;
    QString messageStart; // %1: the native path
};

void PrintTo(const BadFileCase &row, std::ostream *out)
{
    *out << row.name;
}

class BadPictureFile : public PictureFolder, public ::testing::WithParamInterface<BadFileCase> { };

TEST_P(BadPictureFile, FailsWithAClearMessage)
{
    const QString name = path(GetParam().fileName);
    writeAll(name, GetParam().content);
    const QString message = loadFailure(name);
    const QString expected = QString(GetParam().messageStart).arg(QDir::toNativeSeparators(name));
    EXPECT_TRUE(message.startsWith(expected)) << message.toStdString() << "\ndoes not start with\n"
                                              << expected.toStdString();
}

namespace {

QString jpegError(int code)
{
    return QStringLiteral("JPEG error #%1").arg(code);
}

const QByteArray goodBitmap = qtEncoded(samplePicture(), "bmp");
const QByteArray goodPng = qtEncoded(samplePicture(), "png");
const QByteArray goodIcon
    = qtEncoded(samplePicture(32, 32).convertToFormat(QImage::Format_ARGB32), "ico");
const QByteArray goodJpeg = qtJpeg(samplePicture());
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

const QString damagedBitmap = "Cannot read %1: the file is damaged or is not a bitmap file";
const QString damagedIcon = "Cannot read %1: the file is damaged or is not a icon file";
const QString damagedPng = "Cannot read %1: the file is damaged or is not a PNG file";

} // namespace

INSTANTIATE_TEST_SUITE_P(Rows, BadPictureFile,
    ::testing::Values(BadFileCase { "ZeroByteJpg", "zero.jpg", {}, jpegError(JERR_INPUT_EMPTY) },
        BadFileCase { "ZeroByteJpeg", "zero.jpeg", {}, jpegError(JERR_INPUT_EMPTY) },
        BadFileCase { "ZeroByteBmp", "zero.bmp", {}, damagedBitmap },
        BadFileCase { "ZeroByteIco", "zero.ico", {}, damagedIcon },
        BadFileCase { "ZeroBytePng", "zero.png", {}, damagedPng },
        BadFileCase { "TextAsJpg", "text.jpg", text, jpegError(JERR_NO_SOI) },
        BadFileCase { "TextAsBmp", "text.bmp", text, damagedBitmap },
        BadFileCase { "TextAsIco", "text.ico", text, damagedIcon },
        BadFileCase { "TextAsPng", "text.png", text, damagedPng },
        BadFileCase { "PngDataAsBmpIsNotSniffed", "png.bmp", goodPng, damagedBitmap },
        BadFileCase {
            "BitmapDataAsJpegIsNotSniffed", "bmp.jpeg", goodBitmap, jpegError(JERR_NO_SOI) },
        BadFileCase { "JpegTruncatedInHeader", "cut.jpg",
            goodJpeg.left(findMarker(goodJpeg, 0xC0) + 6), "JPEG error #" },
        BadFileCase { "BitmapTruncatedInHeader", "cut.bmp", goodBitmap.left(20), damagedBitmap },
        BadFileCase { "IconTruncatedInDirectory", "cut.ico", goodIcon.left(10), damagedIcon },
        BadFileCase { "PngTruncatedInHeader", "cut.png", goodPng.left(20), damagedPng },
        BadFileCase {
            "PngTruncatedInData", "cut-data.png", goodPng.left(goodPng.size() / 2), damagedPng },
        BadFileCase { "JpegClaiming65535Square", "huge.jpg", withFrameSize(goodJpeg, 65535, 65535),
            "The picture is too large to open: 65535 x 65535 pixels" },
        BadFileCase {
            "BitmapClaiming65535Square", "huge.bmp", bitmapClaiming(65535, 65535), damagedBitmap },
        BadFileCase { "BitmapClaiming9000Square", "large.bmp", bitmapClaiming(9000, 9000),
            "The picture is too large to open: 9000 x 9000 pixels" },
        BadFileCase {
            "BitmapClaimingNegativeWidth", "negative.bmp", bitmapClaiming(-5, 64), damagedBitmap }),
    [](const auto &info) { return std::string(info.param.name); });

class UnopenablePath : public PictureFolder, public ::testing::WithParamInterface<const char *> { };

TEST_P(UnopenablePath, CannotOpenFoldersOrVanishedPaths)
{
    const QString folder = path(QStringLiteral("folder") + GetParam());
    ASSERT_TRUE(QDir().mkdir(folder));
    EXPECT_EQ(loadFailure(folder), "Cannot open file " + QDir::toNativeSeparators(folder));

    const QString vanished = path(QStringLiteral("gone/p") + GetParam());
    EXPECT_EQ(loadFailure(vanished), "Cannot open file " + QDir::toNativeSeparators(vanished));

    const QString deleted = path(QStringLiteral("deleted") + GetParam());
    writeAll(deleted, goodBitmap);
    ASSERT_TRUE(QFile::remove(deleted));
    EXPECT_EQ(loadFailure(deleted), "Cannot open file " + QDir::toNativeSeparators(deleted));
}

INSTANTIATE_TEST_SUITE_P(Extensions, UnopenablePath,
    ::testing::Values(".jpg", ".jpeg", ".bmp", ".ico", ".png", ".JPG"), [](const auto &info) {
        std::string name = info.param + 1;
        return name == "JPG" ? std::string("UpperCaseJPG") : name;
    });

TEST_F(PictureFolder, LargePicturesWithinTheLimitOpen)
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

TEST(PictureDevice, ReadingRefusesPicturesAboveTheCallersLimit)
{
    const QImage picture = samplePicture(100, 50);
    for (const char *format : { "bmp", "png" }) {
        QByteArray data = qtEncoded(picture, format);
        const QString name = QStringLiteral("x.") + format;
        QBuffer fits(&data);
        fits.open(QIODevice::ReadOnly);
        EXPECT_EQ(readPicture(fits, name, 5000).size(), picture.size()) << format;
        QBuffer above(&data);
        above.open(QIODevice::ReadOnly);
        EXPECT_THROW(readPicture(above, name, 4999), Failure) << format;
    }
}
