#include "editor/ImageDocument.h"

#include <functional>
#include <ostream>

#include <QRandomGenerator>
#include <QRect>
#include <QRegion>

#include <gtest/gtest.h>

#include "TableRow.h"
#include "TestPictures.h"
#include "editor/PictureBuffers.h"
#include "platform/Failure.h"

namespace {

const QSize controlSize(160, 100);
const QRgb white = qRgb(255, 255, 255);
const QRgb yellow = qRgb(255, 255, 0);

QImage sample()
{
    return runsPicture(QImage::Format_RGB888, QSize(160, 100), 42);
}

QImage whiteImage(QSize size)
{
    QImage image(size, QImage::Format_RGB888);
    image.fill(Qt::white);
    return image;
}

// The smallest rectangle holding every pixel that differs between the two pictures.
QRect changedArea(const QImage &before, const QImage &after)
{
    QRect area;
    for (int y = 0; y < before.height(); ++y) {
        for (int x = 0; x < before.width(); ++x) {
            if (before.pixel(x, y) != after.pixel(x, y))
                area |= QRect(x, y, 1, 1);
        }
    }
    return area;
}

class Document : public ::testing::Test {
protected:
    void SetUp() override { document.setPicture(Picture(original)); }

    void drag(QPoint from, QPoint to)
    {
        document.mouseDown(from, controlSize);
        document.mouseMove((from + to) / 2);
        ASSERT_TRUE(document.mouseUp(to));
    }
    const QImage &image() const { return document.picture().image(); }

    const QImage original = sample();
    ImageDocument document;
};

TEST(NewDocument, PictureAndUndoPictureAreZeroSizeBitmaps)
{
    ImageDocument document;
    EXPECT_FALSE(document.picture().isEmpty());
    EXPECT_TRUE(document.picture().size().isEmpty());
    document.undo();
    EXPECT_FALSE(document.picture().isEmpty());
    EXPECT_TRUE(document.picture().size().isEmpty());
    EXPECT_FALSE(document.selpresent());
}

TEST_F(Document, RubberBandFollowsThePointerAndStaysAsTheSelection)
{
    document.mouseDown(QPoint(10, 10), controlSize);
    EXPECT_TRUE(document.dragging());
    document.mouseMove(QPoint(30, 20));
    document.mouseMove(QPoint(50, 40));
    const QRect band = changedArea(original, image());
    EXPECT_TRUE(QRect(10, 10, 40, 30).contains(band));
    EXPECT_GE(band.width(), 39);
    EXPECT_GE(band.height(), 29);

    EXPECT_TRUE(document.mouseUp(QPoint(60, 45)));
    EXPECT_FALSE(document.dragging());
    EXPECT_TRUE(document.selpresent());
    EXPECT_EQ(document.startpt(), QPoint(10, 10));
    EXPECT_EQ(document.endpt(), QPoint(60, 45));
    EXPECT_TRUE(QRect(10, 10, 50, 35).contains(changedArea(original, image())));

    // The next press removes the selection; a click draws no outline.
    document.mouseDown(QPoint(5, 5), controlSize);
    EXPECT_FALSE(document.selpresent());
    EXPECT_EQ(image(), original);
}

TEST_F(Document, MouseUpThatNoMouseDownBeganIsIgnored)
{
    EXPECT_FALSE(document.mouseUp(QPoint(20, 20)));
    EXPECT_EQ(image(), original);
    EXPECT_FALSE(document.selpresent());

    drag(QPoint(10, 10), QPoint(40, 30));
    const QImage selected = image();
    EXPECT_FALSE(document.mouseUp(QPoint(70, 70)));
    EXPECT_EQ(image(), selected);
    EXPECT_EQ(document.endpt(), QPoint(40, 30));
}

TEST_F(Document, SecondMouseDownDuringADragErasesTheBand)
{
    document.mouseDown(QPoint(10, 10), controlSize);
    document.mouseMove(QPoint(40, 40));
    document.mouseDown(QPoint(20, 20), controlSize);
    EXPECT_EQ(image(), original);
    document.mouseMove(QPoint(60, 50));
    document.mouseUp(QPoint(70, 60));
    document.mouseDown(QPoint(0, 0), controlSize);
    EXPECT_EQ(image(), original);
}

TEST_F(Document, AnySequenceOfMouseEventsLeavesNoTraceOnceTheSelectionEnds)
{
    QRandomGenerator random(3);
    for (int i = 0; i < 400; ++i) {
        const QPoint p(random.bounded(-40, 200), random.bounded(-40, 140));
        switch (random.bounded(3)) {
        case 0:
            document.mouseDown(p, controlSize);
            break;
        case 1:
            document.mouseMove(p);
            break;
        default:
            document.mouseUp(p);
        }
    }
    document.mouseDown(QPoint(1, 1), controlSize);
    document.mouseUp(QPoint(1, 1));
    EXPECT_EQ(image(), original);
}

struct CropCase : TableRow {
    QPoint startpt;
    QPoint endpt;
    QRect kept; // the rectangle of the original the cropped picture holds, white off it
};

class Crop : public Document, public ::testing::WithParamInterface<CropCase> { };

TEST_P(Crop, KeepsTheRectangleTheUserSaw)
{
    drag(GetParam().startpt, GetParam().endpt);
    ASSERT_TRUE(document.crop());
    EXPECT_FALSE(document.selpresent());
    const QRect kept = GetParam().kept;
    ASSERT_EQ(document.picture().size(), kept.size());
    if (kept.isEmpty())
        return;
    EXPECT_EQ(image().format(), QImage::Format_RGB32);
    for (int y = 0; y < kept.height(); ++y) {
        for (int x = 0; x < kept.width(); ++x) {
            const QPoint from(kept.x() + x, kept.y() + y);
            ASSERT_EQ(image().pixel(x, y),
                original.rect().contains(from) ? original.pixel(from) : qRgb(255, 255, 255))
                << x << "," << y;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Selections, Crop,
    ::testing::Values(CropCase { "DraggedRightDown", { 10, 20 }, { 110, 70 }, { 10, 20, 100, 50 } },
        CropCase { "DraggedLeftUp", { 110, 70 }, { 10, 20 }, { 10, 20, 100, 50 } },
        CropCase { "DraggedRightUp", { 10, 70 }, { 110, 20 }, { 10, 20, 100, 50 } },
        CropCase { "PastRightAndBottom", { 100, 60 }, { 200, 300 }, { 100, 60, 100, 240 } },
        CropCase { "PastLeftAndTop", { 30, 40 }, { -20, -10 }, { -20, -10, 50, 50 } },
        CropCase { "ClickGivesZeroSize", { 50, 50 }, { 50, 50 }, {} },
        CropCase { "ZeroHeight", { 50, 50 }, { 90, 50 }, {} },
        CropCase { "EntirelyOffThePicture", { -30, -30 }, { -5, -5 }, { -30, -30, 25, 25 } }),
    RowName());

TEST_F(Document, CropAndMarkWithoutASelectionChangeNothing)
{
    document.takeUndo();
    EXPECT_FALSE(document.crop());
    EXPECT_FALSE(document.mark(yellow, true));
    EXPECT_EQ(image(), original);
    EXPECT_EQ(document.undoPicture().image(), original);
}

TEST_F(Document, AfterCropANewMouseDownDrawsNoStrayOutline)
{
    drag(QPoint(10, 20), QPoint(110, 70));
    document.crop();
    const QImage cropped = image();
    document.mouseDown(QPoint(5, 5), controlSize);
    EXPECT_EQ(image(), cropped);
}

TEST_F(Document, MarkBlendsTheBlockWithBothEndsAndUndoBringsBackThePictureWithoutOutline)
{
    document.setPicture(Picture(whiteImage(QSize(40, 30))));
    drag(QPoint(14, 9), QPoint(5, 5));
    ASSERT_TRUE(document.mark(yellow, true));
    EXPECT_FALSE(document.selpresent());
    EXPECT_EQ(changedArea(whiteImage(QSize(40, 30)), image()), QRect(5, 5, 10, 5));
    EXPECT_EQ(image().pixel(5, 5), yellow);
    EXPECT_EQ(image().pixel(14, 9), yellow);

    document.undo();
    EXPECT_EQ(image(), whiteImage(QSize(40, 30)));
    EXPECT_FALSE(document.selpresent());
}

TEST_F(Document, SecondMarkInSelectionModeFindsNothingSelected)
{
    drag(QPoint(10, 10), QPoint(30, 30));
    ASSERT_TRUE(document.mark(yellow, true));
    const QImage marked = image();
    EXPECT_FALSE(document.mark(qRgb(0, 255, 255), true));
    EXPECT_EQ(image(), marked);
    EXPECT_EQ(document.undoPicture().image(), original);
}

TEST_F(Document, QuickModeClickMarksTheOnePixelUnderThePointer)
{
    document.setPicture(Picture(whiteImage(QSize(40, 30))));
    drag(QPoint(30, 20), QPoint(30, 20));
    ASSERT_TRUE(document.mark(yellow, false));
    EXPECT_EQ(changedArea(whiteImage(QSize(40, 30)), image()), QRect(30, 20, 1, 1));
    EXPECT_EQ(image().pixel(30, 20), yellow);
}

TEST_F(Document, MarkCropUndoGivesThePictureFromBeforeTheMark)
{
    drag(QPoint(10, 10), QPoint(60, 50));
    document.mark(yellow, true);
    drag(QPoint(20, 20), QPoint(40, 40));
    document.crop();
    document.undo();
    EXPECT_EQ(image(), original);
    document.undo();
    EXPECT_EQ(image(), original);
}

TEST_F(Document, ClearThenUndoBringsBackTheOutlineAndTheSelection)
{
    drag(QPoint(10, 10), QPoint(60, 50));
    const QImage withOutline = image();
    document.clearToEmpty();
    EXPECT_TRUE(document.picture().isEmpty());
    EXPECT_FALSE(document.selpresent());
    EXPECT_EQ(document.undoPicture().image(), withOutline);

    // A drag on the empty picture in between makes a white one with a selection of its own.
    document.mouseDown(QPoint(3, 3), QSize(70, 50));
    document.mouseUp(QPoint(20, 20));
    document.undo();
    EXPECT_EQ(image(), withOutline);
    EXPECT_TRUE(document.selpresent());
    EXPECT_EQ(document.startpt(), QPoint(10, 10));
    EXPECT_EQ(document.endpt(), QPoint(60, 50));
    ASSERT_TRUE(document.crop());
    EXPECT_EQ(document.picture().size(), QSize(50, 40));
    EXPECT_EQ(image().pixel(0, 0), original.pixel(10, 10));
}

TEST_F(Document, UndoShowsASelectionExactlyWhenTheRestoredPictureHoldsOne)
{
    drag(QPoint(10, 10), QPoint(60, 50));
    document.clearToEmpty();
    document.undo();
    EXPECT_TRUE(document.selpresent());
    document.mouseDown(QPoint(0, 0), controlSize);
    EXPECT_EQ(image(), original);

    drag(QPoint(10, 10), QPoint(60, 50));
    document.mark(yellow, true);
    drag(QPoint(20, 20), QPoint(30, 30));
    document.undo();
    EXPECT_FALSE(document.selpresent());
    EXPECT_EQ(image(), original);
}

TEST_F(Document, ClearOnAnEmptyPictureFailsAndKeepsTheUndoPicture)
{
    document.clearToEmpty();
    EXPECT_THROW(document.clearToEmpty(), Failure);
    EXPECT_TRUE(document.picture().isEmpty());
    document.undo();
    EXPECT_EQ(image(), original);
}

TEST_F(Document, MouseDownOnAnEmptyPictureMakesAWhiteOneOfTheControlsSize)
{
    document.clearToEmpty();
    document.mouseDown(QPoint(3, 3), QSize(70, 50));
    EXPECT_EQ(image().format(), QImage::Format_RGB888);
    EXPECT_EQ(image(), whiteImage(QSize(70, 50)));
    document.mouseMove(QPoint(30, 30));
    EXPECT_TRUE(QRect(3, 3, 27, 27).contains(changedArea(whiteImage(QSize(70, 50)), image())));
}

TEST_F(Document, ShortcutClearWhitensAtThePresentSizeAndLeavesUndoAlone)
{
    document.takeUndo();
    drag(QPoint(10, 10), QPoint(60, 50));
    document.clearToWhite(QSize(300, 300));
    EXPECT_EQ(image(), whiteImage(original.size()));
    EXPECT_FALSE(document.selpresent());
    EXPECT_EQ(document.undoPicture().image(), original);
    document.mouseDown(QPoint(0, 0), controlSize);
    EXPECT_EQ(image(), whiteImage(original.size()));

    document.clearToEmpty();
    document.clearToWhite(QSize(30, 20));
    EXPECT_EQ(image(), whiteImage(QSize(30, 20)));
}

TEST_F(Document, NewPictureDropsTheSelectionWithoutDrawingIntoIt)
{
    const QImage other = runsPicture(QImage::Format_RGB888, QSize(120, 90), 77);
    drag(QPoint(10, 10), QPoint(60, 50));
    document.setPicture(Picture(other));
    EXPECT_FALSE(document.selpresent());
    document.mouseDown(QPoint(0, 0), controlSize);
    EXPECT_EQ(image(), other);

    document.mouseMove(QPoint(40, 40));
    document.setPicture(Picture(original));
    document.mouseMove(QPoint(50, 50));
    EXPECT_FALSE(document.mouseUp(QPoint(50, 50)));
    EXPECT_EQ(image(), original);
}

TEST_F(Document, GreyPalettePictureTakesTheMarksHue)
{
    QImage grey(20, 20, QImage::Format_Grayscale8);
    grey.fill(QColor(200, 200, 200));
    document.setPicture(Picture(grey));
    drag(QPoint(0, 0), QPoint(9, 9));
    document.mark(yellow, true);
    EXPECT_EQ(image().pixel(5, 5), qRgb(218, 218, 65));
    EXPECT_EQ(image().pixel(15, 15), qRgb(200, 200, 200));
}

TEST_F(Document, MarkOnAZeroSizePictureKeepsTheUndoPicture)
{
    document.takeUndo();
    drag(QPoint(50, 50), QPoint(50, 50));
    document.crop();
    drag(QPoint(5, 5), QPoint(5, 5));
    EXPECT_TRUE(document.mark(yellow, false));
    document.undo();
    EXPECT_EQ(image(), original);
}

TEST_F(Document, ChangedNamesEveryPixelThatChanged)
{
    QRegion named;
    QObject::connect(&document, &ImageDocument::changed, [&](QRect area) { named += area; });
    const std::function<void()> commands[] = {
        [&] { document.mouseDown(QPoint(10, 10), controlSize); },
        [&] { document.mouseMove(QPoint(70, 50)); },
        [&] { document.mouseUp(QPoint(90, 60)); },
        [&] { document.mark(yellow, true); },
        [&] { drag(QPoint(150, 90), QPoint(20, 30)); },
        [&] { document.crop(); },
        [&] { document.undo(); },
        [&] { document.clearToWhite(controlSize); },
        [&] { document.clearToEmpty(); },
        [&] { document.undo(); },
    };
    for (const auto &command : commands) {
        const QImage before = image();
        named = QRegion();
        command();
        if (before.size() != image().size()) {
            EXPECT_TRUE((QRegion(before.rect()) + image().rect() - named).isEmpty());
            continue;
        }
        for (int y = 0; y < before.height(); ++y) {
            for (int x = 0; x < before.width(); ++x) {
                const bool unnamed = !named.contains(QPoint(x, y));
                ASSERT_FALSE(unnamed && before.pixel(x, y) != image().pixel(x, y)) << x << "," << y;
            }
        }
    }
}

// Large enough for recycled memory: light grey with a black band.
QImage largePicture()
{
    QImage image(1500, 1000, QImage::Format_RGB888);
    image.fill(QColor(200, 200, 200));
    for (int y = 400; y < 600; ++y)
        std::fill_n(image.scanLine(y), 3 * image.width(), 0);
    return image;
}

TEST(RecycledPictures, HoldOnlyTheirOwnPixelsAndUndoRestoresTheExactPicture)
{
    const QImage original = largePicture();
    QImage marked = original;
    marked.fill(QColor(218, 218, 65));
    for (int y = 400; y < 600; ++y)
        std::fill_n(marked.scanLine(y), 3 * marked.width(), 0);
    ImageDocument document;
    document.setPicture(Picture(original.copy()));
    document.takeUndo();
    auto markAll = [&] {
        document.mouseDown(QPoint(-5, -5), QSize());
        document.mouseUp(QPoint(2000, 2000));
        document.mark(yellow, false);
    };
    markAll();
    EXPECT_EQ(document.picture().image(), marked);
    document.undo();
    EXPECT_EQ(document.picture().image(), original);
    EXPECT_GT(PictureBuffers::idleBytes(), 0); // the marked pixels wait for the next picture

    // The drag copies the picture into the marked pixels' memory: none of them may show.
    document.mouseDown(QPoint(100, 100), QSize());
    document.mouseUp(QPoint(100, 100));
    EXPECT_EQ(document.picture().image(), original);
    markAll();
    EXPECT_EQ(document.picture().image(), marked);
    document.undo();
    EXPECT_EQ(document.picture().image(), original);
    document.clearToWhite(QSize());
    EXPECT_EQ(document.picture().image(), whiteImage(original.size()));
    document.undo();
    EXPECT_EQ(document.picture().image(), original);
}

struct MemoryCase : TableRow {
    std::function<void(ImageDocument &)> prepare;
    std::function<void(ImageDocument &)> command;
    const char *message;
};

class NotEnoughMemory : public ::testing::TestWithParam<MemoryCase> { };

// Sizes beyond what QImage can hold, so the allocation fails on every machine.
TEST_P(NotEnoughMemory, IsReportedAndChangesNothing)
{
    ImageDocument document;
    document.setPicture(Picture(sample()));
    GetParam().prepare(document);
    const qint64 picture = document.picture().image().cacheKey();
    const bool empty = document.picture().isEmpty(), selpresent = document.selpresent();
    try {
        GetParam().command(document);
        ADD_FAILURE() << "no failure";
    } catch (const Failure &failure) {
        EXPECT_EQ(failure.message(), GetParam().message);
    }
    EXPECT_EQ(document.picture().image().cacheKey(), picture);
    EXPECT_EQ(document.picture().isEmpty(), empty);
    EXPECT_EQ(document.selpresent(), selpresent);
    EXPECT_FALSE(document.dragging());
}

INSTANTIATE_TEST_SUITE_P(Allocations, NotEnoughMemory,
    ::testing::Values(MemoryCase { "PalettePictureMadeDirect",
                          [](ImageDocument &d) {
                              d.setPicture(Picture(QImage(90'000'000, 1, QImage::Format_Indexed8)));
                          },
                          [](ImageDocument &d) { d.mouseDown(QPoint(0, 0), controlSize); },
                          "Not enough memory for a 90000000 x 1 picture" },
        MemoryCase { "FirstDrawingOnAnEmptyPicture", [](ImageDocument &d) { d.clearToEmpty(); },
            [](ImageDocument &d) { d.mouseDown(QPoint(0, 0), QSize(100'000'000, 1)); },
            "Not enough memory for a 100000000 x 1 picture" },
        MemoryCase { "WhiteClearOfAnEmptyPicture", [](ImageDocument &d) { d.clearToEmpty(); },
            [](ImageDocument &d) { d.clearToWhite(QSize(100'000'000, 1)); },
            "Not enough memory for a 100000000 x 1 picture" },
        MemoryCase { "Crop",
            [](ImageDocument &d) {
                d.setPicture(Picture(QImage(70'000'000, 1, QImage::Format_RGB888)));
                // Only the outline's two column pixels lie on the picture.
                d.mouseDown(QPoint(0, -1), controlSize);
                d.mouseUp(QPoint(70'000'000, 2));
            },
            [](ImageDocument &d) { d.crop(); }, "Not enough memory for a 70000000 x 3 picture" }),
    RowName());

} // namespace
