#include "app/StartPicture.h"

#include <QColor>
#include <QImage>
#include <QRect>

#include <gtest/gtest.h>

namespace {

const QColor cream(255, 251, 240);

int countPixels(const QImage &image, const QRect &area, bool (*matches)(QRgb))
{
    int count = 0;
    const QRect inside = area & image.rect();
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            count += matches(image.pixel(x, y)) ? 1 : 0;
    return count;
}

bool isYellow(QRgb pixel)
{
    return qRed(pixel) > 220 && qGreen(pixel) > 200 && qBlue(pixel) < 80;
}

bool isDark(QRgb pixel)
{
    return qRed(pixel) < 70 && qGreen(pixel) < 70 && qBlue(pixel) < 70;
}

} // namespace

TEST(StartPicture, IsA24BitPictureOfTheWindowsDesign)
{
    const QImage picture = startPicture();
    EXPECT_EQ(picture.size(), QSize(621, 462));
    EXPECT_EQ(picture.format(), QImage::Format_RGB888);
}

TEST(StartPicture, HasACreamBackgroundInEveryCorner)
{
    const QImage picture = startPicture();
    ASSERT_FALSE(picture.isNull());
    for (const QPoint corner : { QPoint(0, 0), QPoint(620, 0), QPoint(0, 461), QPoint(620, 461) })
        EXPECT_EQ(picture.pixelColor(corner), cream) << corner.x() << "," << corner.y();
}

// The two headings sit in the top-left of the upper and of the lower half, highlighted in
// yellow; the instructions below them are dark text on the cream.
TEST(StartPicture, HeadingsAreHighlightedAndTextIsDark)
{
    const QImage picture = startPicture();
    ASSERT_FALSE(picture.isNull());
    const QRect firstHeading(0, 0, 400, 80);
    const QRect secondHeading(0, 200, 400, 80);
    EXPECT_GT(countPixels(picture, firstHeading, isYellow), 2000);
    EXPECT_GT(countPixels(picture, secondHeading, isYellow), 2000);
    EXPECT_GT(countPixels(picture, firstHeading, isDark), 300);
    EXPECT_GT(countPixels(picture, secondHeading, isDark), 300);

    // Instructions of each mode, and the wrapped end of the last line near the bottom.
    EXPECT_GT(countPixels(picture, QRect(0, 80, 621, 120), isDark), 1000);
    EXPECT_GT(countPixels(picture, QRect(0, 280, 621, 140), isDark), 1000);
    EXPECT_GT(countPixels(picture, QRect(0, 410, 621, 52), isDark), 100);
    EXPECT_EQ(countPixels(picture, QRect(0, 80, 621, 120), isYellow), 0);
}

// The picture lies in the program's read-only resources: a change lands in a copy of its own.
TEST(StartPicture, AChangedStartPictureLeavesTheNextOneAsItWas)
{
    QImage changed = startPicture();
    changed.fill(Qt::black);
    EXPECT_EQ(changed.pixelColor(0, 0), QColor(Qt::black));
    EXPECT_EQ(startPicture().pixelColor(0, 0), cream);
}
