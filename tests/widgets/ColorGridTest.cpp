#include <array>

#include <QAction>
#include <QImage>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include "TableRow.h"
#include "widgets/TColorGrid.h"

namespace {

// The main window's grid: 8 x 2 cells of 25 x 21 pixels in a shown window.
class ColorGrid : public ::testing::Test {
protected:
    void SetUp() override
    {
        grid->setGridOrdering(TGridOrdering::go8x2);
        grid->setGeometry(0, 0, 200, 42);
        window.resize(240, 80);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }

    static QPoint cellCorner(int cell) { return QPoint(cell % 8 * 25, cell / 8 * 21); }
    static QPoint centre(int cell) { return cellCorner(cell) + QPoint(12, 10); }
    QImage shown() const { return grid->grab().toImage().convertToFormat(QImage::Format_RGB32); }
    void hideMarks()
    {
        grid->setForegroundEnabled(false);
        grid->setBackgroundEnabled(false);
    }

    QWidget window;
    TColorGrid *grid = new TColorGrid(&window);
    QSignalSpy changed { grid, &TColorGrid::changed };
    QSignalSpy clicked { grid, &TColorGrid::clicked };
};

TEST_F(ColorGrid, LeftDragReleasedOutsideFollowsThePointerButDoesNotClick)
{
    QTest::mousePress(grid, Qt::LeftButton, {}, centre(9));
    QTest::mouseMove(grid, centre(10));
    QTest::mouseMove(grid, QPoint(-30, 80));
    QTest::mouseRelease(grid, Qt::LeftButton, {}, QPoint(-30, 80));
    EXPECT_EQ(grid->ForegroundIndex(), 8);
    EXPECT_EQ(grid->Selection(), 8);
    EXPECT_EQ(changed.size(), 3);
    EXPECT_EQ(clicked.size(), 0);
}

TEST_F(ColorGrid, RightPressClicksOnceAfterTheReleaseWherever)
{
    QTest::mousePress(grid, Qt::RightButton, {}, centre(3));
    QTest::mouseMove(grid, QPoint(500, -20));
    EXPECT_EQ(clicked.size(), 0);
    QTest::mouseRelease(grid, Qt::RightButton, {}, QPoint(500, -20));
    EXPECT_EQ(clicked.size(), 1);
    EXPECT_EQ(grid->BackgroundIndex(), 7);
    EXPECT_EQ(grid->ForegroundIndex(), 0);
}

TEST_F(ColorGrid, ClickEnablesColorCountsTheSameCellAgainAsAChange)
{
    grid->setClickEnablesColor(true);
    grid->setForegroundEnabled(false);
    QTest::mouseClick(grid, Qt::LeftButton, {}, centre(5));
    EXPECT_TRUE(grid->ForegroundEnabled());
    grid->setForegroundEnabled(false);
    QTest::mouseClick(grid, Qt::LeftButton, {}, centre(5));
    EXPECT_EQ(grid->ForegroundIndex(), 5);
    EXPECT_EQ(grid->ForegroundCellColor(), QColor(128, 0, 128));
    EXPECT_EQ(changed.size(), 2);
    EXPECT_EQ(clicked.size(), 2);
}

TEST_F(ColorGrid, ADisabledMarkOnlyMovesTheCursorButStillClicks)
{
    grid->setForegroundEnabled(false);
    QTest::mouseClick(grid, Qt::LeftButton, {}, centre(12));
    EXPECT_EQ(grid->ForegroundIndex(), 0);
    EXPECT_EQ(grid->Selection(), 12);
    EXPECT_EQ(changed.size(), 0);
    EXPECT_EQ(clicked.size(), 1);
}

TEST_F(ColorGrid, FAndBPickTheCursorCellBeforeAWindowShortcut)
{
    QAction shortcut(&window);
    shortcut.setShortcut(Qt::Key_F);
    window.addAction(&shortcut);
    QSignalSpy stolen(&shortcut, &QAction::triggered);
    grid->setClickEnablesColor(true);
    grid->setBackgroundEnabled(false);
    grid->setSelection(6);
    QTest::keyClick(grid, Qt::Key_F);
    QTest::keyClick(grid, Qt::Key_B);
    EXPECT_EQ(grid->ForegroundIndex(), 6);
    EXPECT_EQ(grid->BackgroundIndex(), 6);
    EXPECT_EQ(grid->BackgroundCellColor(), QColor(0, 128, 128));
    EXPECT_EQ(clicked.size(), 2);
    EXPECT_EQ(stolen.size(), 0);
}

TEST_F(ColorGrid, TrimsItselfToWholeCellsKeepingItsCorner)
{
    grid->setGeometry(220, 4, 203, 45);
    EXPECT_EQ(grid->geometry(), QRect(220, 4, 200, 44));
    EXPECT_EQ(QSize(grid->CellWidth(), grid->CellHeight()), QSize(25, 22));
    grid->setGridOrdering(TGridOrdering::go1x16);
    EXPECT_EQ(grid->geometry(), QRect(220, 4, 200, 32));
}

constexpr std::array<QRgb, 16> expectedColors
    = { 0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xc0c0c0, 0x808080,
          0xff0000, 0x00ff00, 0xffff00, 0x0000ff, 0xff00ff, 0x00ffff, 0xffffff };

TEST_F(ColorGrid, FramedCellsShowTheirColourInsideASunkenFrame)
{
    hideMarks();
    const QImage image = shown();
    const QPalette palette = grid->palette();
    for (int cell = 0; cell < 16; ++cell) {
        const QPoint corner = cellCorner(cell);
        EXPECT_EQ(image.pixel(centre(cell)) & RGB_MASK, expectedColors[cell]) << cell;
        EXPECT_EQ(image.pixel(corner), palette.color(QPalette::Button).rgb()) << cell;
        EXPECT_EQ(image.pixel(corner + QPoint(2, 2)), palette.color(QPalette::Dark).rgb());
        EXPECT_EQ(image.pixel(corner + QPoint(22, 18)), palette.color(QPalette::Light).rgb());
    }
}

TEST_F(ColorGrid, FlatCellsAreOutlinedAndTheCursorCellInverted)
{
    hideMarks();
    grid->setCtl3D(false);
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    grid->setFocus();
    grid->setSelection(2);
    const QImage image = shown();
    for (int cell : { 0, 9, 15 }) {
        EXPECT_EQ(image.pixel(cellCorner(cell)), qRgb(0, 0, 0)) << cell;
        EXPECT_EQ(image.pixel(centre(cell)) & RGB_MASK, expectedColors[cell]) << cell;
    }
    EXPECT_EQ(image.pixel(cellCorner(2)), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(cellCorner(2) + QPoint(1, 1)), qRgb(255, 127, 255));
    EXPECT_EQ(image.pixel(cellCorner(2) + QPoint(2, 2)), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(centre(2)), qRgb(0, 128, 0));
}

// Pixels inside a cell's colour area close to `color`.
int pixelsNear(const QImage &image, QPoint corner, QColor color)
{
    int count = 0;
    for (int y = corner.y() + 3; y < corner.y() + 18; ++y)
        for (int x = corner.x() + 3; x < corner.x() + 22; ++x) {
            const QColor pixel = image.pixelColor(x, y);
            count += qAbs(pixel.red() - color.red()) + qAbs(pixel.green() - color.green())
                    + qAbs(pixel.blue() - color.blue())
                < 100;
        }
    return count;
}

TEST_F(ColorGrid, LettersShowInTheCellsInvertedColourOnlyWhileMarksAreOn)
{
    grid->setForegroundIndex(9);
    grid->setBackgroundIndex(15);
    QImage image = shown();
    EXPECT_GT(pixelsNear(image, cellCorner(9), QColor(0, 255, 255)), 5);
    EXPECT_GT(pixelsNear(image, cellCorner(15), QColor(0, 0, 0)), 5);
    EXPECT_EQ(pixelsNear(image, cellCorner(10), QColor(255, 0, 255)), 0);
    hideMarks();
    image = shown();
    EXPECT_EQ(pixelsNear(image, cellCorner(9), QColor(0, 255, 255)), 0);
    EXPECT_EQ(pixelsNear(image, cellCorner(15), QColor(0, 0, 0)), 0);
}

struct KeyCase : TableRow {
    TGridOrdering shape;
    int from;
    Qt::Key key;
    int to;
};

class ColorGridKeys : public ::testing::TestWithParam<KeyCase> { };

TEST_P(ColorGridKeys, MoveTheCursor)
{
    TColorGrid grid;
    grid.setGridOrdering(GetParam().shape);
    grid.setSelection(GetParam().from);
    QSignalSpy changed(&grid, &TColorGrid::changed);
    QTest::keyClick(&grid, GetParam().key);
    EXPECT_EQ(grid.Selection(), GetParam().to);
    EXPECT_EQ(changed.size(), 0);
}

using enum TGridOrdering;
INSTANTIATE_TEST_SUITE_P(Shapes, ColorGridKeys,
    ::testing::Values(
        KeyCase { "UpFromTheTopRowGoesOneColumnLeftInTheLastRow", go8x2, 3, Qt::Key_Up, 10 },
        KeyCase {
            "DownFromTheBottomRowGoesOneColumnRightInTheFirstRow", go8x2, 10, Qt::Key_Down, 3 },
        KeyCase { "DownFromTheLastCellGoesToTheFirst", go8x2, 15, Qt::Key_Down, 0 },
        KeyCase { "LeftFromTheFirstCellGoesToTheLast", go8x2, 0, Qt::Key_Left, 15 },
        KeyCase { "RightFromTheLastCellGoesToTheFirst", go8x2, 15, Qt::Key_Right, 0 },
        KeyCase { "SpaceGoesRight", go8x2, 4, Qt::Key_Space, 5 },
        KeyCase { "UpInOneRowGoesLeft", go16x1, 5, Qt::Key_Up, 4 },
        KeyCase { "DownInOneRowGoesRight", go16x1, 5, Qt::Key_Down, 6 },
        KeyCase { "UpFromTheFirstCellGoesToTheLast", go4x4, 0, Qt::Key_Up, 15 },
        KeyCase { "UpInsideTheGridGoesOneRowUp", go4x4, 9, Qt::Key_Up, 5 },
        KeyCase { "DownOffTwoColumnsGoesToTheTopRight", go2x8, 14, Qt::Key_Down, 1 },
        KeyCase { "DownInOneColumnGoesOneDown", go1x16, 7, Qt::Key_Down, 8 },
        KeyCase { "HomeGoesToTheFirstCell", go2x8, 9, Qt::Key_Home, 0 },
        KeyCase { "EndGoesToTheLastCell", go1x16, 2, Qt::Key_End, 15 },
        KeyCase { "ACursorSetOutsideMovesOnFromTheNearestCell", go8x2, 40, Qt::Key_Right, 0 }),
    RowName());

} // namespace
