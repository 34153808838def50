#include <QAccessible>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include "widgets/ColorNames.h"
#include "widgets/TColorGrid.h"

namespace {

class ColorGridAccessibility : public ::testing::Test {
protected:
    void SetUp() override
    {
        grid->setGridOrdering(TGridOrdering::go8x2);
        grid->setGeometry(10, 10, 200, 42);
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        ASSERT_NE(gridInterface, nullptr);
    }

    QWidget window;
    TColorGrid *grid = new TColorGrid(&window);
    QAccessibleInterface *gridInterface = QAccessible::queryAccessibleInterface(grid);
};

TEST_F(ColorGridAccessibility, CellsAreNamedByColourAndValue)
{
    const char *expected[] = { "Black (0, 0, 0)", "Dark red (128, 0, 0)", "Dark green (0, 128, 0)",
        "Dark yellow (128, 128, 0)", "Dark blue (0, 0, 128)", "Dark magenta (128, 0, 128)",
        "Dark cyan (0, 128, 128)", "Light gray (192, 192, 192)", "Dark gray (128, 128, 128)",
        "Red (255, 0, 0)", "Green (0, 255, 0)", "Yellow (255, 255, 0)", "Blue (0, 0, 255)",
        "Magenta (255, 0, 255)", "Cyan (0, 255, 255)", "White (255, 255, 255)" };
    ASSERT_EQ(gridInterface->childCount(), 16);
    for (int cell = 0; cell < 16; ++cell)
        EXPECT_EQ(gridInterface->child(cell)->text(QAccessible::Name), expected[cell]);
    EXPECT_EQ(colorAccessibleName(QColor(12, 200, 40)), "Color (12, 200, 40)");
}

TEST_F(ColorGridAccessibility, TheKeyboardCursorCellIsTheFocusedChild)
{
    grid->setFocus();
    grid->setSelection(9);
    QAccessibleInterface *focused = gridInterface->focusChild();
    ASSERT_NE(focused, nullptr);
    EXPECT_EQ(gridInterface->indexOfChild(focused), 9);
    EXPECT_TRUE(focused->state().focused);
    const QPoint cellCentre = grid->mapToGlobal(QPoint(37, 31));
    EXPECT_EQ(gridInterface->childAt(cellCentre.x(), cellCentre.y()), focused);
    EXPECT_TRUE(focused->rect().contains(cellCentre));
}

TEST_F(ColorGridAccessibility, PressingACellPicksItAsForeground)
{
    QSignalSpy clicked(grid, &TColorGrid::clicked);
    QAccessibleInterface *cell = gridInterface->child(12);
    ASSERT_NE(cell->actionInterface(), nullptr);
    cell->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(grid->ForegroundIndex(), 12);
    EXPECT_EQ(grid->Selection(), 12);
    EXPECT_EQ(clicked.size(), 1);
    EXPECT_EQ(cell->text(QAccessible::Description), "Foreground");
}

} // namespace
