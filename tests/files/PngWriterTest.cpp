#include "files/PngWriter.h"

#include <QImage>

#include <gtest/gtest.h>

#include "TableRow.h"

namespace {

struct PngCase : TableRow {
    QSize size;
    QImage::Format format;
    int rowsRepeated = 1;
};

// Every pixel different from its neighbours, so that no filter or band boundary hides an error;
// or that in runs of rows equal, or equal but for every 32nd pixel, as a screenshot's.
QImage busy(QSize size, QImage::Format format, int rowsRepeated)
{
    QImage image(size, QImage::Format_ARGB32);
    for (int row = 0; row < size.height(); ++row)
        for (int x = 0; x < size.width(); ++x) {
            const int y = x % 32 == 0 ? row / 2 : row / rowsRepeated;
            image.setPixel(x, row, qRgba(x * 7 + y, y * 3, (x ^ y) & 255, (x + 3 * y) % 256));
        }
    return image.convertToFormat(format);
}

} // namespace

class PngWriting : public ::testing::TestWithParam<PngCase> { };

TEST_P(PngWriting, DecodesToExactlyThePicturesColours)
{
    const QImage picture = busy(GetParam().size, GetParam().format, GetParam().rowsRepeated);
    const QImage read = QImage::fromData(encodePng(picture), "png");
    ASSERT_FALSE(read.isNull());
    const QImage::Format compared
        = picture.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32;
    EXPECT_EQ(read.convertToFormat(compared), picture.convertToFormat(compared));
}

INSTANTIATE_TEST_SUITE_P(Pictures, PngWriting,
    ::testing::Values(PngCase { "OnePixel", { 1, 1 }, QImage::Format_RGB32 },
        PngCase { "OddWidth24Bit", { 37, 11 }, QImage::Format_RGB888 },
        PngCase { "StraightAlpha", { 64, 40 }, QImage::Format_ARGB32 },
        PngCase { "PremultipliedAlpha", { 64, 40 }, QImage::Format_ARGB32_Premultiplied },
        PngCase { "PaletteMadeDirect", { 50, 20 }, QImage::Format_Indexed8 },
        // Three million pixels: compressed in bands side by side, joined into one stream.
        PngCase { "SeveralBands", { 2000, 1500 }, QImage::Format_RGB32 },
        // Mostly rows that repeat the one above but for a few pixels, in bands, the compression
        // switching in each.
        PngCase { "RepeatedRowsInBands", { 2000, 1500 }, QImage::Format_RGB32, 7 },
        PngCase { "RepeatedRowsWithAlpha", { 300, 200 }, QImage::Format_ARGB32, 5 }),
    RowName());
