#include "files/JpegCodec.h"

#include <cstdio>
#include <jerror.h>
#include <jpeglib.h>

#include <QBuffer>
#include <QImage>

#include <gtest/gtest.h>

#include "PictureTestData.h"
#include "TableRow.h"
#include "platform/Failure.h"

using namespace picturetest;

namespace {

QString decodeFailure(const QByteArray &data, qint64 maxPixels = maxPicturePixels)
{
    return failureOf([&] { decodeJpeg(data, maxPixels); });
}

QList<int> bytesAt(const QByteArray &data, qsizetype at, int count)
{
    QList<int> values;
    for (int i = 0; i < count; ++i)
        values.append(uchar(data[at + i]));
    return values;
}

const QByteArray goodJpeg = encodeJpeg(samplePicture());

// `jpeg` with an APP1 segment holding `block` right after its start marker.
QByteArray withApp1(const QByteArray &jpeg, const QByteArray &block)
{
    const qsizetype length = block.size() + 2;
    return jpeg.left(2) + "\xFF\xE1" + char(length >> 8) + char(length) + block + jpeg.mid(2);
}

// An Exif block in byte order `order` ("MM" big-endian, "II" little-endian) whose first
// directory, at `directory`, holds one orientation entry of `type` (3: SHORT) and `value`.
QByteArray exifBlock(const char *order, quint32 value, quint32 type = 3, quint32 directory = 8)
{
    const bool bigEndian = order[0] == 'M';
    QByteArray block = QByteArray("Exif\0\0", 6) + order;
    const auto put = [&](quint32 number, int size) {
        for (int i = 0; i < size; ++i)
            block += char(number >> (8 * (bigEndian ? size - 1 - i : i)));
    };
    put(42, 2);
    put(directory, 4);
    put(1, 2); // one entry: tag, type, count, value
    put(0x0112, 2);
    put(type, 2);
    put(1, 4);
    put(value, 2);
    put(0, 2);
    put(0, 4); // no next directory
    return block;
}

} // namespace

TEST(JpegEncoding, WritesABaselineQuality90ColourFileThatOtherDecodersRead)
{
    const QImage picture = samplePicture();
    ASSERT_TRUE(goodJpeg.startsWith("\xFF\xD8"));
    const qsizetype sof = findMarker(goodJpeg, 0xC0);
    ASSERT_GE(sof, 0) << "a baseline frame header";
    EXPECT_LT(findMarker(goodJpeg, 0xC2), 0) << "not progressive";
    EXPECT_EQ(uchar(goodJpeg[sof + 9]), 3) << "three components";

    // libjpeg's standard tables scaled to 20 % (quality 90), 8-bit, in zigzag order, each
    // table in its own segment: marker, length (2), precision and id (1), values.
    const qsizetype luminance = findMarker(goodJpeg, 0xDB);
    EXPECT_EQ(bytesAt(goodJpeg, luminance + 4, 7), QList<int>({ 0x00, 3, 2, 2, 3, 2, 2 }));
    const qsizetype chrominance = goodJpeg.indexOf("\xFF\xDB", luminance + 2);
    EXPECT_EQ(bytesAt(goodJpeg, chrominance + 4, 7), QList<int>({ 0x01, 3, 4, 4, 5, 4, 5 }));

    EXPECT_LT(meanDifference(QImage::fromData(goodJpeg, "jpeg"), picture), 3.0);
}

TEST(JpegEncoding, EncodesOtherFormatsFromA24BitCopy)
{
    // Three colours in blocks on the 16-pixel grid: every format holds them, and chroma
    // subsampling blurs no edge.
    QImage blocks(48, 32, QImage::Format_RGB888);
    const QRgb colours[] = { qRgb(250, 250, 250), qRgb(200, 30, 30), qRgb(20, 20, 160) };
    for (int y = 0; y < blocks.height(); ++y)
        for (int x = 0; x < blocks.width(); ++x)
            blocks.setPixel(x, y, colours[(x / 16 + y / 16) % 3]);
    for (QImage::Format format : { QImage::Format_Indexed8, QImage::Format_ARGB32,
             QImage::Format_RGB16, QImage::Format_Grayscale8 }) {
        const QImage picture = blocks.convertToFormat(format);
        const QImage decoded = QImage::fromData(encodeJpeg(picture), "jpeg");
        EXPECT_LT(meanDifference(decoded, picture), 4.0) << format;
    }
}

TEST(JpegEncoding, PictureOfZeroWidthOrHeightGivesNoBytes)
{
    EXPECT_TRUE(encodeJpeg(QImage()).isEmpty());
    EXPECT_TRUE(encodeJpeg(QImage(0, 10, QImage::Format_RGB888)).isEmpty());
    EXPECT_TRUE(encodeJpeg(QImage(10, 0, QImage::Format_RGB888)).isEmpty());
}

TEST(JpegEncoding, StreamsToADeviceAndReportsADeviceThatRefusesData)
{
    QByteArray streamed;
    QBuffer device(&streamed);
    ASSERT_TRUE(device.open(QIODevice::WriteOnly));
    EXPECT_TRUE(encodeJpeg(samplePicture(), device));
    EXPECT_EQ(streamed, goodJpeg);

    QByteArray fixed("unchanged");
    QBuffer readOnly(&fixed);
    ASSERT_TRUE(readOnly.open(QIODevice::ReadOnly));
    EXPECT_FALSE(encodeJpeg(samplePicture(), readOnly));
    EXPECT_EQ(fixed, "unchanged");
}

TEST(JpegEncoding, LibjpegErrorsBecomeFailures)
{
    // JPEG holds at most 65500 pixels a side.
    const QImage tooWide(65501, 1, QImage::Format_RGB888);
    EXPECT_EQ(failureOf([&] { encodeJpeg(tooWide); }), jpegError(JERR_IMAGE_TOO_BIG));
}

TEST(JpegDecoding, ColourFilesDecodeTo24BitsAndGrayscaleToAGrayPalette)
{
    const QImage picture = samplePicture();
    for (bool progressive : { false, true }) {
        const QImage decoded = decodeJpeg(qtEncoded(picture, "jpeg", progressive));
        EXPECT_EQ(decoded.format(), QImage::Format_RGB888) << progressive;
        EXPECT_LT(meanDifference(decoded, picture), 3.0) << progressive;
    }

    const QImage gray = picture.convertToFormat(QImage::Format_Grayscale8);
    const QByteArray grayJpeg = qtEncoded(gray, "jpeg");
    ASSERT_EQ(uchar(grayJpeg[findMarker(grayJpeg, 0xC0) + 9]), 1) << "a one-component file";
    const QImage decoded = decodeJpeg(grayJpeg);
    EXPECT_EQ(decoded.format(), QImage::Format_Indexed8);
    ASSERT_EQ(decoded.colorCount(), 256);
    for (int level : { 0, 1, 127, 254, 255 })
        EXPECT_EQ(decoded.color(level), qRgb(level, level, level)) << level;
    EXPECT_LT(meanDifference(decoded, gray), 3.0);
}

TEST(JpegDecoding, ReadsSegmentsLongerThanOneReadFromADevice)
{
    // Three comments of 60000 bytes after the start marker: the reader skips across chunks.
    QByteArray padded = goodJpeg.left(2);
    for (char fill : { 'a', 'b', 'c' })
        padded += QByteArray("\xFF\xFE\xEA\x60", 4) + QByteArray(60000 - 2, fill);
    padded += goodJpeg.mid(2);

    QBuffer device(&padded);
    ASSERT_TRUE(device.open(QIODevice::ReadOnly));
    EXPECT_EQ(decodeJpeg(device), decodeJpeg(goodJpeg));
}

TEST(JpegDecoding, TruncatedScanDataStillGivesTheWholePicture)
{
    // The missing part is only a warning: the picture keeps its size and its top rows.
    const QImage picture = samplePicture(64, 256);
    const QByteArray jpeg = encodeJpeg(picture);
    const QImage decoded = decodeJpeg(jpeg.left(jpeg.size() * 2 / 3));
    ASSERT_EQ(decoded.size(), picture.size());
    EXPECT_LT(meanDifference(decoded.copy(0, 0, 64, 32), picture.copy(0, 0, 64, 32)), 3.0);
}

struct BadJpeg : TableRow {
    QByteArray data;
    QString message;
};

class BadJpegData : public ::testing::TestWithParam<BadJpeg> { };

TEST_P(BadJpegData, FailsWithAClearMessage)
{
    const QString message = decodeFailure(GetParam().data);
    EXPECT_TRUE(message.startsWith(GetParam().message)) << message.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Rows, BadJpegData,
    ::testing::Values(BadJpeg { "NoBytes", QByteArray(), jpegError(JERR_INPUT_EMPTY) },
        BadJpeg { "Text", QByteArray("hello, this is not a picture"), jpegError(JERR_NO_SOI) },
        BadJpeg { "BitmapData", qtEncoded(samplePicture(), "bmp"), jpegError(JERR_NO_SOI) },
        BadJpeg { "OnlyTheStartMarker", QByteArray("\xFF\xD8", 2), jpegError(JERR_NO_IMAGE) },
        BadJpeg { "TruncatedInHeader", goodJpeg.left(findMarker(goodJpeg, 0xC0)),
            jpegError(JERR_NO_IMAGE) },
        BadJpeg { "ZeroWidth", withFrameSize(goodJpeg, 0, 64), jpegError(JERR_EMPTY_IMAGE) },
        // 65535 is beyond what libjpeg itself takes, 20000 only beyond the pixel limit.
        BadJpeg { "Claims65535Square", withFrameSize(goodJpeg, 65535, 65535),
            "The picture is too large to open: 65535 x 65535 pixels" },
        BadJpeg { "Claims20000Square", withFrameSize(goodJpeg, 20000, 20000),
            "The picture is too large to open: 20000 x 20000 pixels" }),
    RowName());

TEST(JpegDecoding, PixelLimitIsInclusive)
{
    const QByteArray jpeg = encodeJpeg(samplePicture(100, 50));
    EXPECT_EQ(decodeJpeg(jpeg, 5000).size(), QSize(100, 50));
    EXPECT_TRUE(decodeFailure(jpeg, 4999).startsWith("The picture is too large to open: 100 x 50"));
}

struct Orientation : TableRow {
    QByteArray app1;
    QSize size;
    QString quadrants; // top-left, top-right, bottom-left, bottom-right
};

class ExifOrientation : public ::testing::TestWithParam<Orientation> { };

TEST_P(ExifOrientation, ShowsThePictureAsAnUprightViewerDoes)
{
    // Stored as red, green / blue, white.
    static const QByteArray stored = qtEncoded(quadrantsPicture(64, 32), "jpeg");
    const QImage decoded = decodeJpeg(withApp1(stored, GetParam().app1));
    EXPECT_EQ(decoded.format(), QImage::Format_RGB888);
    EXPECT_EQ(decoded.size(), GetParam().size);
    EXPECT_EQ(quadrantColours(decoded), GetParam().quadrants);
}

const QSize asStored(64, 32);
const QSize turned(32, 64);

INSTANTIATE_TEST_SUITE_P(Rows, ExifOrientation,
    ::testing::Values(
        Orientation { "Orientation1IsAsStored", exifBlock("MM", 1), asStored, "RGBW" },
        Orientation { "Orientation2MirrorsLeftToRight", exifBlock("II", 2), asStored, "GRWB" },
        Orientation { "Orientation3TurnsHalfway", exifBlock("MM", 3), asStored, "WBGR" },
        Orientation { "Orientation4MirrorsTopToBottom", exifBlock("II", 4), asStored, "BWRG" },
        Orientation { "Orientation5Transposes", exifBlock("MM", 5), turned, "RBGW" },
        Orientation { "Orientation6TurnsClockwise", exifBlock("II", 6), turned, "BRWG" },
        Orientation { "Orientation6BigEndian", exifBlock("MM", 6), turned, "BRWG" },
        Orientation { "Orientation7Transverses", exifBlock("MM", 7), turned, "WGBR" },
        Orientation { "Orientation8TurnsCounterClockwise", exifBlock("II", 8), turned, "GWRB" },
        Orientation { "ValueZeroIsIgnored", exifBlock("MM", 0), asStored, "RGBW" },
        Orientation { "ValueNineIsIgnored", exifBlock("II", 9), asStored, "RGBW" },
        Orientation { "WrongTypeIsIgnored", exifBlock("MM", 6, 4), asStored, "RGBW" },
        Orientation { "UnknownByteOrderIsIgnored", exifBlock("XX", 6), asStored, "RGBW" },
        Orientation { "DirectoryBeyondTheBlockIsIgnored", exifBlock("MM", 6, 3, 0xFFFFFFF0),
            asStored, "RGBW" },
        Orientation {
            "BlockCutInTheEntryIsIgnored", exifBlock("II", 6).chopped(8), asStored, "RGBW" },
        Orientation {
            "OtherApp1BlocksAreIgnored", "http://ns.adobe.com/xap/1.0/", asStored, "RGBW" }),
    RowName());
