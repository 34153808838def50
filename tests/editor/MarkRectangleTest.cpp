#include <algorithm>
#include <ostream>
#include <tuple>

#include <QPoint>
#include <QRect>

#include <gtest/gtest.h>

#include "TableRow.h"
#include "TestPictures.h"
#include "editor/Mark.h"
#include "editor/Picture.h"
#include "editor/VectorMark.h"
#include "editor/blendcolor.h"

namespace {

struct Corners : TableRow {
    QPoint startpt;
    QPoint endpt;
};

// The picture is 97 x 61: odd sizes leave partial groups at the ends of rows.
const QSize pictureSize(97, 61);

const Corners cornerCases[] = {
    { "DraggedRightDown", { 10, 5 }, { 40, 30 } },
    { "DraggedLeftUp", { 40, 30 }, { 10, 5 } },
    { "DraggedLeftDown", { 40, 5 }, { 10, 30 } },
    { "DraggedRightUp", { 10, 30 }, { 40, 5 } },
    { "OnePixelClick", { 13, 17 }, { 13, 17 } },
    { "PastRightAndBottom", { 80, 50 }, { 130, 90 } },
    { "PastLeftAndTop", { 20, 15 }, { -30, -40 } },
    { "WholePictureAndBeyond", { -5, -5 }, { 200, 200 } },
    { "ExactlyTheWholePicture", { 96, 60 }, { 0, 0 } },
    { "EntirelyLeftOfThePicture", { -20, 10 }, { -1, 40 } },
    { "EntirelyBelowThePicture", { 10, 61 }, { 40, 90 } },
    { "ThinColumn", { 96, -3 }, { 96, 70 } },
};

// What Mark must do, pixel by pixel over the rectangle clamped to the picture.
QImage markedPixelByPixel(QImage image, QPoint a, QPoint b, QRgb mark)
{
    const QRect block = QRect(QPoint(std::min(a.x(), b.x()), std::min(a.y(), b.y())),
                            QPoint(std::max(a.x(), b.x()), std::max(a.y(), b.y())))
        & image.rect();
    for (int y = block.top(); y <= block.bottom(); ++y) {
        for (int x = block.left(); x <= block.right(); ++x)
            image.setPixel(x, y, blendcolor(image.pixel(x, y), mark));
    }
    return image;
}

class MarkRectangle : public ::testing::TestWithParam<std::tuple<QImage::Format, Corners>> { };

TEST_P(MarkRectangle, EqualsTheBlendOfEveryPixelInTheClampedRectangle)
{
    const auto [format, corners] = GetParam();
    const QRgb marks[] = { qRgb(255, 255, 0), qRgb(0, 255, 255), qRgb(190, 170, 240) };
    for (const QRgb mark : marks) {
        Picture picture(runsPicture(format, pictureSize, 99));
        QImage &image = picture.writableImage();
        const QImage expected = markedPixelByPixel(image, corners.startpt, corners.endpt, mark);
        const QImage unmarked = image;
        const QImage copy = markedCopy(image, corners.startpt, corners.endpt, mark);
        markRectangle(image, corners.startpt, corners.endpt, mark);
        ASSERT_EQ(image.format(), expected.format());
        ASSERT_EQ(image, expected) << "in place, mark " << std::hex << mark;
        ASSERT_EQ(copy.format(), expected.format());
        ASSERT_EQ(copy, expected) << "copy, mark " << std::hex << mark;
        ASSERT_EQ(unmarked, runsPicture(format, pictureSize, 99).convertToFormat(image.format()));
    }
}

INSTANTIATE_TEST_SUITE_P(FormatsAndDirections, MarkRectangle,
    ::testing::Combine(::testing::Values(QImage::Format_RGB888, QImage::Format_RGB32,
                           QImage::Format_ARGB32, QImage::Format_Indexed8),
        ::testing::ValuesIn(cornerCases)),
    [](const auto &info) {
        return std::string(formatName(std::get<0>(info.param))) + "_"
            + std::get<1>(info.param).name;
    });

TEST(MarkedCopy, KeepsTheResolutionAndTextOfThePicture)
{
    QImage image = runsPicture(QImage::Format_RGB888, QSize(100, 80), 4);
    image.setDotsPerMeterX(5905);
    image.setDotsPerMeterY(3937);
    image.setText("Comment", "scan");
    const QImage copy = markedCopy(image, QPoint(0, 0), QPoint(99, 79), qRgb(255, 255, 0));
    EXPECT_EQ(copy.dotsPerMeterX(), 5905);
    EXPECT_EQ(copy.dotsPerMeterY(), 3937);
    EXPECT_EQ(copy.text("Comment"), "scan");
}

TEST(MarkRectangleOnNothing, ZeroSizePictureIsLeftAlone)
{
    QImage nothing;
    markRectangle(nothing, QPoint(-5, -5), QPoint(5, 5), qRgb(255, 255, 0));
    EXPECT_TRUE(nothing.isNull());
    EXPECT_TRUE(markedCopy(nothing, QPoint(-5, -5), QPoint(5, 5), qRgb(255, 255, 0)).isNull());
}

// The pixels of `marked` that differ from the blend of the same pixel of `before`.
int wrongPixels(const QImage &before, const QImage &marked, QRgb mark)
{
    int wrong = 0;
    for (int y = 0; y < before.height(); ++y) {
        for (int x = 0; x < before.width(); ++x)
            wrong += marked.pixel(x, y) != blendcolor(before.pixel(x, y), mark);
    }
    return wrong;
}

} // namespace

// Every 24-bit colour once, marked as a whole picture: each colour must take exactly its blend,
// exact halves included.
TEST(MarkRectangle, SlowEveryColourTakesItsBlend)
{
    QImage every(4096, 4096, QImage::Format_RGB888);
    for (int y = 0; y < 4096; ++y) {
        uchar *line = every.scanLine(y);
        for (int x = 0; x < 4096; ++x) {
            const int colour = y * 4096 + x;
            line[3 * x] = uchar(colour >> 16);
            line[3 * x + 1] = uchar(colour >> 8);
            line[3 * x + 2] = uchar(colour);
        }
    }
    for (const QRgb mark : { qRgb(255, 255, 0), qRgb(0, 255, 255), qRgb(190, 170, 240),
             qRgb(255, 0, 0), qRgb(200, 120, 61) }) {
        QImage marked = every.copy();
        markRectangle(marked, QPoint(0, 0), QPoint(4095, 4095), mark);
        EXPECT_EQ(wrongPixels(every, marked, mark), 0) << "mark " << std::hex << mark;
    }
}

// Every red value of the mark against every red value of the pixel at every strength the pair
// can meet; the pixel's channel sum picks the strength, and the mark's sum lies where all of
// them come up.
TEST(MarkRectangle, SlowEveryMarkValueAtEveryStrengthTakesItsBlend)
{
    for (const QImage::Format format : { QImage::Format_RGB888, QImage::Format_RGB32 }) {
        QImage sums(256, 766, format);
        for (int sum = 0; sum < 766; ++sum) {
            for (int red = 0; red < 256; ++red) {
                const int green = std::clamp(sum - red, 0, 255);
                sums.setPixel(red, sum, qRgb(red, green, std::clamp(sum - red - green, 0, 255)));
            }
        }
        for (int red = 0; red < 256; ++red) {
            const QRgb mark = qRgb(red, std::clamp(480 - red, 0, 255), std::max(0, 225 - red));
            QImage marked = sums.copy();
            markRectangle(marked, QPoint(0, 0), QPoint(255, 765), mark);
            ASSERT_EQ(wrongPixels(sums, marked, mark), 0)
                << formatName(format) << ", mark " << std::hex << mark;
        }
    }
}

// The vector path runs where the processor has AVX2, unless the test run asks for the portable one.
TEST(MarkRectangle, TakesTheVectorPathWhereTheProcessorHasIt)
{
    if (qEnvironmentVariableIsSet("QUILLET_NO_AVX2")) {
        EXPECT_FALSE(VectorMark::available());
        return;
    }
#if defined(__x86_64__) && defined(__GNUC__)
    EXPECT_EQ(VectorMark::available(), bool(__builtin_cpu_supports("avx2")));
#else
    EXPECT_FALSE(VectorMark::available());
#endif
}
