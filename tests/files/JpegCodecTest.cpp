#include "files/JpegCodec.h"
#include "PictureTestData.h"
#include "platform/Failure.h"

#include <QBuffer>
#include <QImage>

#include <gtest/gtest.h>

#include <cstdio>
#include <jerror.h>
#include <jpeglib.h>

using namespace picturetest;

namespace {

QString jpegError(int code)
{
    return QStringLiteral("JPEG error #%1").arg(code);
}

QString failureOf(const QByteArray &data, qint64 maxPixels = maxPicturePixels)
{
    try {
        decodeJpeg(data, maxPixels);
    } catch (const Failure &failure) {
        return failure.message();
    }
    return QStringLiteral("(decoded)");
}

// The first `count` values of the 8-bit quantisation table `id` in a JPEG stream.
QList<int> quantisationTable(const QByteArray &jpeg, int id, int count)
{
    for (qsizetype at = findMarker(jpeg, 0xDB); at >= 0;) {
        const int length = (uchar(jpeg[at + 2]) << 8) | uchar(jpeg[at + 3]);
        for (qsizetype table = at + 4; table < at + 2 + length; table += 65) {
            if ((uchar(jpeg[table]) & 0x0F) == id && (uchar(jpeg[table]) >> 4) == 0) {
                QList<int> values;
                for (int i = 0; i < count; ++i)
                    values.append(uchar(jpeg[table + 1 + i]));
                return values;
            }
        }
        const char pattern[] = { char(0xFF), char(0xDB) };
        at = jpeg.indexOf(QByteArrayView(pattern, 2), at + 2 + length);
    }
    return {};
}

} // namespace

TEST(JpegEncoding, WritesABaselineColourFileThatOtherDecodersRead)
{
    const QImage picture = samplePicture();
    const QByteArray jpeg = encodeJpeg(picture);

    ASSERT_TRUE(jpeg.startsWith("\xFF\xD8"));
    const qsizetype sof = findMarker(jpeg, 0xC0);
    ASSERT_GE(sof, 0) << "a baseline frame header";
    EXPECT_LT(findMarker(jpeg, 0xC2), 0) << "not progressive";
    EXPECT_EQ(uchar(jpeg[sof + 9]), 3) << "three components";

    const QImage decoded = QImage::fromData(jpeg, "jpeg");
    ASSERT_EQ(decoded.size(), picture.size());
    EXPECT_LT(meanDifference(decoded, picture), 3.0);
}

TEST(JpegEncoding, UsesTheQuality90Tables)
{
    // libjpeg's standard tables scaled to 20 % (quality 90), in zigzag order.
    const QByteArray jpeg = encodeJpeg(samplePicture());
    EXPECT_EQ(quantisationTable(jpeg, 0, 6), QList<int>({ 3, 2, 2, 3, 2, 2 }));
    EXPECT_EQ(quantisationTable(jpeg, 1, 6), QList<int>({ 3, 4, 4, 5, 4, 5 }));
}

TEST(JpegEncoding, EncodesOtherFormatsFromA24BitCopy)
{
    // Blocks on the 16-pixel grid, so chroma subsampling blurs no edge.
    QImage palette(48, 32, QImage::Format_Indexed8);
    palette.setColorTable({ qRgb(250, 250, 250), qRgb(200, 30, 30), qRgb(20, 20, 160) });
    for (int y = 0; y < palette.height(); ++y)
        for (int x = 0; x < palette.width(); ++x)
            palette.setPixel(x, y, (x / 16 + y / 16) % 3);
    const QImage argb = samplePicture(48, 32).convertToFormat(QImage::Format_ARGB32);

    for (const QImage &picture : { palette, argb }) {
        const QImage decoded = QImage::fromData(encodeJpeg(picture), "jpeg");
        ASSERT_EQ(decoded.size(), picture.size()) << picture.format();
        EXPECT_LT(meanDifference(decoded, picture), 6.0) << picture.format();
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
    const QImage picture = samplePicture();
    QByteArray streamed;
    QBuffer device(&streamed);
    ASSERT_TRUE(device.open(QIODevice::WriteOnly));
    EXPECT_TRUE(encodeJpeg(picture, device));
    EXPECT_EQ(streamed, encodeJpeg(picture));

    QByteArray fixed("unchanged");
    QBuffer readOnly(&fixed);
    ASSERT_TRUE(readOnly.open(QIODevice::ReadOnly));
    EXPECT_FALSE(encodeJpeg(picture, readOnly));
    EXPECT_EQ(fixed, "unchanged");
}

TEST(JpegEncoding, RefusesPicturesBeyondTheFormatsSize)
{
    // JPEG holds at most 65500 pixels a side; libjpeg's refusal comes back as a Failure.
    const QImage tooWide(65501, 1, QImage::Format_RGB888);
    ASSERT_FALSE(tooWide.isNull());
    try {
        encodeJpeg(tooWide);
        FAIL() << "encoded";
    } catch (const Failure &failure) {
        EXPECT_EQ(failure.message(), jpegError(JERR_IMAGE_TOO_BIG));
    }
}

TEST(JpegDecoding, ColourFilesDecodeTo24Bits)
{
    const QImage picture = samplePicture();
    for (bool progressive : { false, true }) {
        const QImage decoded = decodeJpeg(qtJpeg(picture, progressive));
        EXPECT_EQ(decoded.format(), QImage::Format_RGB888) << progressive;
        ASSERT_EQ(decoded.size(), picture.size());
        EXPECT_LT(meanDifference(decoded, picture), 3.0) << progressive;
    }
}

TEST(JpegDecoding, GrayscaleFilesDecodeToAGrayPalette)
{
    const QImage gray = samplePicture().convertToFormat(QImage::Format_Grayscale8);
    const QByteArray jpeg = qtJpeg(gray);
    const qsizetype sof = findMarker(jpeg, 0xC0);
    ASSERT_EQ(uchar(jpeg[sof + 9]), 1) << "Qt writes a one-component file";

    const QImage decoded = decodeJpeg(jpeg);
    EXPECT_EQ(decoded.format(), QImage::Format_Indexed8);
    ASSERT_EQ(decoded.colorCount(), 256);
    for (int level : { 0, 1, 127, 254, 255 })
        EXPECT_EQ(decoded.color(level), qRgb(level, level, level)) << level;
    EXPECT_LT(meanDifference(decoded, gray), 3.0);
}

TEST(JpegDecoding, OwnFilesComeBackNearlyEqual)
{
    const QImage picture = samplePicture(333, 77);
    const QImage decoded = decodeJpeg(encodeJpeg(picture));
    ASSERT_EQ(decoded.size(), picture.size());
    EXPECT_LT(meanDifference(decoded, picture), 3.0);
}

TEST(JpegDecoding, ReadsSegmentsLongerThanOneReadFromADevice)
{
    // Three comments of 60000 bytes after the start marker: the reader skips across chunks.
    const QByteArray plain = encodeJpeg(samplePicture());
    QByteArray padded = plain.left(2);
    for (int i = 0; i < 3; ++i) {
        const int length = 60000;
        padded += QByteArray("\xFF\xFE", 2) + char(length >> 8) + char(length & 0xFF);
        padded += QByteArray(length - 2, char('a' + i));
    }
    padded += plain.mid(2);

    QBuffer device(&padded);
    ASSERT_TRUE(device.open(QIODevice::ReadOnly));
    const QImage decoded = decodeJpeg(device);
    EXPECT_EQ(decoded, decodeJpeg(plain));
}

TEST(JpegDecoding, TruncatedScanDataStillGivesTheWholePicture)
{
    // The missing part is a warning, which is ignored: the top rows survive.
    const QImage picture = samplePicture(64, 256);
    const QByteArray jpeg = encodeJpeg(picture);
    const QImage decoded = decodeJpeg(jpeg.left(jpeg.size() * 2 / 3));
    ASSERT_EQ(decoded.size(), picture.size());
    EXPECT_LT(meanDifference(decoded.copy(0, 0, 64, 32), picture.copy(0, 0, 64, 32)), 3.0);
}

struct BadJpeg {
    const char *name;
    QByteArray data;
    QString message;
};

void PrintTo(const BadJpeg &row, std::ostream *out)
{
    *out << row.name;
}

class BadJpegData : public ::testing::TestWithParam<BadJpeg> { };

TEST_P(BadJpegData, FailsWithLibjpegsMessageCode)
{
    EXPECT_EQ(failureOf(GetParam().data), GetParam().message);
}

const QByteArray goodJpeg = encodeJpeg(samplePicture());

INSTANTIATE_TEST_SUITE_P(Rows, BadJpegData,
    ::testing::Values(BadJpeg { "NoBytes", QByteArray(), jpegError(JERR_INPUT_EMPTY) },
        BadJpeg { "Text", QByteArray("hello, this is not a picture"), jpegError(JERR_NO_SOI) },
        BadJpeg { "BitmapData", qtEncoded(samplePicture(), "bmp"), jpegError(JERR_NO_SOI) },
        BadJpeg { "OnlyTheStartMarker", QByteArray("\xFF\xD8", 2), jpegError(JERR_NO_IMAGE) },
        BadJpeg { "TruncatedInHeader", goodJpeg.left(findMarker(goodJpeg, 0xC0)),
            jpegError(JERR_NO_IMAGE) },
        BadJpeg { "ZeroWidth", withFrameSize(goodJpeg, 0, 64), jpegError(JERR_EMPTY_IMAGE) }),
    [](const auto &info) { return std::string(info.param.name); });

TEST(JpegDecoding, RefusesHeadersAboveThePixelLimitBeforeAllocating)
{
    // 65535 is beyond what libjpeg itself accepts, 20000 only beyond the limit.
    for (int side : { 65535, 20000 }) {
        const QString message = failureOf(withFrameSize(goodJpeg, side, side));
        EXPECT_TRUE(message.startsWith(
            QStringLiteral("The picture is too large to open: %1 x %1 pixels").arg(side)))
            << message.toStdString();
    }
}

TEST(JpegDecoding, PixelLimitIsInclusive)
{
    const QByteArray jpeg = encodeJpeg(samplePicture(100, 50));
    EXPECT_EQ(decodeJpeg(jpeg, 5000).size(), QSize(100, 50));
    EXPECT_TRUE(failureOf(jpeg, 4999).startsWith("The picture is too large to open: 100 x 50"));
}
