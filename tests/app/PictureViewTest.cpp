#include "app/PictureView.h"

#include <cmath>

#include <QImage>
#include <QPaintEvent>
#include <QPixmap>
#include <QScrollArea>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include "TableRow.h"
#include "editor/ImageDocument.h"

namespace {

struct PixelCase : TableRow {
    qreal zoom;
    qreal ratio;
    QPointF position; // in the scroll area's viewport
    QPoint scroll;
    QPoint pixel;
};

class PointerToPicturePixel : public ::testing::TestWithParam<PixelCase> { };

TEST_P(PointerToPicturePixel, IsThePixelUnderThePointer)
{
    const PixelCase &row = GetParam();
    EXPECT_EQ((ViewMapping { row.zoom, row.ratio }.pictureAt(row.position, row.scroll)), row.pixel);
}

INSTANTIATE_TEST_SUITE_P(Scales, PointerToPicturePixel,
    ::testing::Values(PixelCase { "Unscaled", 1, 1.0, { 10, 7 }, {}, { 10, 7 } },
        PixelCase { "DoubleScale", 1, 2.0, { 10, 7 }, {}, { 20, 14 } },
        PixelCase { "DoubleScaleHalfPixel", 1, 2.0, { 10.5, 7.75 }, {}, { 21, 15 } },
        PixelCase { "FiveQuartersRoundsDown", 1, 1.25, { 3, 5 }, {}, { 3, 6 } },
        PixelCase { "LeftOfThePictureStaysNegative", 1, 1.25, { -0.5, -3 }, {}, { -1, -4 } },
        PixelCase { "ScrolledAtActualPixels", 1, 1.0, { 10, 7 }, { 300, 40 }, { 310, 47 } },
        PixelCase { "ZoomedInFourTimes", 4, 1.0, { 10, 7 }, {}, { 2, 1 } },
        PixelCase { "ZoomedInOnAScaledScreen", 2, 1.25, { 10, 7 }, { 8, 0 }, { 11, 4 } },
        PixelCase { "ZoomedOutToAnEighth", 0.125, 1.0, { 10, 7 }, { 5, 1 }, { 120, 64 } },
        PixelCase { "ZoomedOutOnADoubleScreen", 0.25, 2.0, { 10.25, 7 }, {}, { 82, 56 } },
        PixelCase { "AFitBetweenSteps", 0.3, 1.0, { 3, 3 }, {}, { 10, 10 } }),
    RowName());

// These run at whatever scale the process has; ctest runs them again at 1.25 and 2.
class ScaledPictureView : public ::testing::Test {
protected:
    void SetUp() override
    {
        picture = QImage(97, 61, QImage::Format_RGB32);
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                picture.setPixel(x, y, qRgb(x * 2, y * 4, (x + y) % 2 ? 255 : 0));
        document.setPicture(Picture(picture));
        area.setWidget(&view);
        view.setDocument(&document);
        area.resize(400, 300);
        area.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&area));
    }
    void TearDown() override { area.takeWidget(); }

    QImage picture;
    ImageDocument document;
    PictureView view;
    QScrollArea area;
};

TEST_F(ScaledPictureView, ShowsOnePicturePixelPerDevicePixel)
{
    const qreal ratio = view.devicePixelRatioF();
    const QImage shown = view.grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_GE(shown.width(), picture.width());
    ASSERT_GE(shown.height(), picture.height());
    EXPECT_EQ(view.width(), int(std::ceil(picture.width() / ratio)));
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            ASSERT_EQ(shown.pixel(x, y), picture.pixel(x, y)) << x << "," << y << " at " << ratio;
}

TEST_F(ScaledPictureView, MousePositionsArriveAsThePicturePixelUnderThePointer)
{
    const qreal ratio = view.devicePixelRatioF();
    QSignalSpy pressed(&view, &PictureView::pressed);
    QSignalSpy released(&view, &PictureView::released);
    QTest::mousePress(&view, Qt::LeftButton, Qt::NoModifier, QPoint(10, 7));
    QTest::mouseRelease(&view, Qt::LeftButton, Qt::NoModifier, QPoint(30, 20));
    ASSERT_EQ(pressed.size(), 1);
    ASSERT_EQ(released.size(), 1);
    EXPECT_EQ(pressed[0][0].toPoint(), QPoint(int(10 * ratio), int(7 * ratio)));
    EXPECT_EQ(released[0][0].toPoint(), QPoint(int(30 * ratio), int(20 * ratio)));
}

TEST_F(ScaledPictureView, KeepsItsSizeForEmptyAndZeroSizePicturesAndAnnouncesRightReleases)
{
    const QSize before = view.pictureSize();
    document.clearToEmpty();
    EXPECT_EQ(view.pictureSize(), before);
    document.setPicture(Picture());
    EXPECT_EQ(view.pictureSize(), before);
    QSignalSpy menu(&view, &PictureView::contextMenuRequested);
    QSignalSpy released(&view, &PictureView::released);
    QTest::mouseClick(&view, Qt::RightButton, Qt::NoModifier, QPoint(3, 3));
    EXPECT_EQ(released.size(), 1);
    EXPECT_EQ(menu.size(), 1);
}

// Records the regions the view paints.
class PaintSpy : public QObject {
public:
    explicit PaintSpy(QWidget &widget) { widget.installEventFilter(this); }
    bool waitForPaint()
    {
        return QTest::qWaitFor([this] { return !painted.isEmpty(); });
    }

    QRegion painted;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            painted += static_cast<QPaintEvent *>(event)->region();
        return false;
    }
};

TEST_F(ScaledPictureView, RepaintsWhatTheDocumentChangesAndTakesANewSize)
{
    PaintSpy spy(view);
    document.mouseDown(QPoint(20, 10), QSize());
    document.mouseUp(QPoint(40, 30));
    ASSERT_TRUE(spy.waitForPaint());
    spy.painted = QRegion();
    document.mark(qRgb(255, 255, 0), true);
    ASSERT_TRUE(spy.waitForPaint());
    const qreal ratio = view.devicePixelRatioF();
    const QRect block = QRectF(20 / ratio, 10 / ratio, 21 / ratio, 21 / ratio).toAlignedRect();
    EXPECT_TRUE(block.contains(spy.painted.boundingRect())) << spy.painted.boundingRect().x();
    EXPECT_TRUE(spy.painted.contains(QPoint(int(30 / ratio), int(20 / ratio))));
    const QImage shown = view.grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(shown.pixel(30, 20), document.picture().image().pixel(30, 20));

    document.mouseDown(QPoint(0, 0), QSize());
    document.mouseUp(QPoint(50, 40));
    document.crop();
    EXPECT_EQ(view.pictureSize(), QSize(50, 40));
}

} // namespace
