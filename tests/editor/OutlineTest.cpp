#include "editor/Outline.h"

#include <ostream>

#include <QPoint>
#include <QRandomGenerator>
#include <QRect>

#include <gtest/gtest.h>

#include "TableRow.h"
#include "TestPictures.h"
#include "editor/Picture.h"

namespace {

bool changed(const QImage &before, const QImage &after, int x, int y)
{
    return before.pixel(x, y) != after.pixel(x, y);
}

// After one drawing: which pixels changed, and each changed one exactly inverted in RGB.
void expectOnlyInvertedOnTheBorder(const QImage &before, const QImage &after, QRect border)
{
    for (int y = 0; y < before.height(); ++y) {
        for (int x = 0; x < before.width(); ++x) {
            if (!changed(before, after, x, y))
                continue;
            const bool onBorder = border.contains(x, y)
                && (x == border.left() || x == border.right() || y == border.top()
                    || y == border.bottom());
            EXPECT_TRUE(onBorder) << x << "," << y;
            EXPECT_EQ(after.pixel(x, y), before.pixel(x, y) ^ 0x00ffffffu) << x << "," << y;
        }
    }
}

// Along an edge the dots alternate: of two neighbours exactly one is inverted.
void expectDottedLine(const QImage &before, const QImage &after, QPoint from, QPoint step, int n)
{
    for (int i = 0; i + 1 < n; ++i) {
        const QPoint p = from + i * step, q = p + step;
        EXPECT_NE(changed(before, after, p.x(), p.y()), changed(before, after, q.x(), q.y()))
            << "at " << p.x() << "," << p.y();
    }
}

struct OutlineCase : TableRow {
    QPoint startpt;
    QPoint endpt;
};

class OutlineShape : public ::testing::TestWithParam<OutlineCase> { };

// Every way of dragging 3,2 -> 13,10 draws the same dotted frame on columns 3..12 and rows
// 2..9; the right and bottom edges stay clean.
TEST_P(OutlineShape, DottedFrameWithoutRightAndBottomEdges)
{
    const QImage before = runsPicture(QImage::Format_RGB888, QSize(20, 16), 5);
    QImage after = before;
    drawselrect(after, GetParam().startpt, GetParam().endpt);
    const QRect frame(QPoint(3, 2), QPoint(12, 9));
    expectOnlyInvertedOnTheBorder(before, after, frame);
    expectDottedLine(before, after, frame.topLeft(), QPoint(1, 0), frame.width());
    expectDottedLine(before, after, frame.bottomLeft(), QPoint(1, 0), frame.width());
    expectDottedLine(before, after, frame.topLeft(), QPoint(0, 1), frame.height());
    expectDottedLine(before, after, frame.topRight(), QPoint(0, 1), frame.height());
}

INSTANTIATE_TEST_SUITE_P(Directions, OutlineShape,
    ::testing::Values(OutlineCase { "RightDown", { 3, 2 }, { 13, 10 } },
        OutlineCase { "LeftUp", { 13, 10 }, { 3, 2 } },
        OutlineCase { "LeftDown", { 13, 2 }, { 3, 10 } },
        OutlineCase { "RightUp", { 3, 10 }, { 13, 2 } }),
    RowName());

TEST(OutlineShape, OnePixelWideOrHighRectangleIsStillDotted)
{
    const QImage before = runsPicture(QImage::Format_RGB32, QSize(20, 16), 6);
    QImage column = before, row = before;
    drawselrect(column, QPoint(5, 1), QPoint(6, 12));
    drawselrect(row, QPoint(2, 7), QPoint(15, 8));
    expectOnlyInvertedOnTheBorder(before, column, QRect(5, 1, 1, 11));
    expectDottedLine(before, column, QPoint(5, 1), QPoint(0, 1), 11);
    expectOnlyInvertedOnTheBorder(before, row, QRect(2, 7, 13, 1));
    expectDottedLine(before, row, QPoint(2, 7), QPoint(1, 0), 13);
}

TEST(OutlineShape, ZeroWidthOrHeightDrawsNothing)
{
    const QImage before = runsPicture(QImage::Format_RGB888, QSize(20, 16), 7);
    QImage after = before;
    drawselrect(after, QPoint(4, 4), QPoint(4, 4));
    drawselrect(after, QPoint(4, 2), QPoint(4, 12));
    drawselrect(after, QPoint(1, 9), QPoint(18, 9));
    EXPECT_EQ(after, before);
}

TEST(OutlineShape, ClippedToThePictureAndAlphaUntouched)
{
    const QImage before = runsPicture(QImage::Format_ARGB32, QSize(20, 16), 8);
    QImage after = before;
    drawselrect(after, QPoint(-6, 25), QPoint(9, 4));
    // Only the top row (y 4, x 0..8) and the right column (x 8, y 4..15) lie inside.
    expectOnlyInvertedOnTheBorder(before, after, QRect(QPoint(-6, 4), QPoint(8, 24)));
    expectDottedLine(before, after, QPoint(0, 4), QPoint(1, 0), 9);
    expectDottedLine(before, after, QPoint(8, 4), QPoint(0, 1), 12);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 20; ++x)
            ASSERT_EQ(qAlpha(after.pixel(x, y)), qAlpha(before.pixel(x, y)));
    }
}

class OutlineTwice : public ::testing::TestWithParam<QImage::Format> { };

TEST_P(OutlineTwice, RestoresEveryPixelForAnyRectangle)
{
    Picture picture(runsPicture(GetParam(), QSize(33, 21), 9));
    const QImage original = picture.writableImage();
    QRandomGenerator random(10);
    for (int i = 0; i < 500; ++i) {
        const QPoint a(random.bounded(-12, 46), random.bounded(-12, 34));
        const QPoint b(random.bounded(-12, 46), random.bounded(-12, 34));
        QImage &image = picture.writableImage();
        drawselrect(image, a, b);
        drawselrect(image, a, b);
        ASSERT_EQ(image, original) << a.x() << "," << a.y() << " -> " << b.x() << "," << b.y();
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, OutlineTwice,
    ::testing::Values(QImage::Format_RGB888, QImage::Format_RGB32, QImage::Format_ARGB32,
        QImage::Format_Indexed8),
    [](const auto &info) { return std::string(formatName(info.param)); });

} // namespace
