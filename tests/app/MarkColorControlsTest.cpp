#include <QDialog>
#include <QLabel>

#include "MainWindowFixture.h"
#include "editor/blendcolor.h"
#include "widgets/TAboutF.h"
#include "widgets/TColorGrid.h"

namespace {

const QRgb red = qRgb(255, 0, 0);
const QRgb yellow = qRgb(255, 255, 0);
const QRgb navy = qRgb(0, 0, 128);

class MarkColorControls : public MainWindow {
protected:
    TColorGrid *grid() const { return window->findChild<TColorGrid *>(QStringLiteral("cg")); }
    QWidget *swatch() const { return window->findChild<QWidget *>(QStringLiteral("markcolP")); }
    QWidget *setcolB() const { return window->findChild<QWidget *>(QStringLiteral("setcolB")); }
    // Cells are 25 x 21 in two rows of eight.
    void clickCell(int cell, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mouseClick(
            grid(), button, Qt::NoModifier, QPoint(12 + 25 * (cell % 8), 10 + 21 * (cell / 8)));
    }
    QRgb pixelAt(int x, int y) const { return picture().pixel(x, y) & 0xffffff; }
    void select()
    {
        toSelectionMode();
        drag({ 10, 10 }, { 40, 30 });
    }
};

} // namespace

TEST_F(MarkColorControls, GridClickInQuickModeSetsTheSwatchAndMarksNothing)
{
    const QImage before = picture();
    clickCell(11, Qt::RightButton); // yellow, through the background index
    EXPECT_EQ(window->swatchcol(), yellow);
    EXPECT_EQ(window->markcol(), yellow);
    EXPECT_EQ(picture(), before);
    EXPECT_FALSE(grid()->ForegroundEnabled() || grid()->BackgroundEnabled());

    drag({ 10, 10 }, { 40, 30 });
    EXPECT_EQ(pixelAt(5, 100), before.pixel(5, 100) & 0xffffff);
    EXPECT_NE(pixelAt(20, 20), before.pixel(20, 20) & 0xffffff) << "the drag marked nothing";
}

TEST_F(MarkColorControls, CellNumberedLikeTheRememberedIndexKeepsTheColour)
{
    clickCell(0); // black is cell 0, the grid's index at start
    EXPECT_EQ(window->markcol(), red);
    clickCell(4);
    clickCell(4);
    EXPECT_EQ(window->markcol(), navy);
}

TEST_F(MarkColorControls, GridClickInSelectionModeMarksTheSelectionOrSaysNothingIsSelected)
{
    toSelectionMode();
    clickCell(11);
    ASSERT_EQ(prompts.texts(), QStringList { nothingToMark });
    EXPECT_EQ(window->markcol(), yellow);
    EXPECT_EQ(window->swatchcol(), red);

    drag({ 10, 10 }, { 40, 30 });
    const QRgb cream = pixelAt(25, 12);
    clickCell(4, Qt::RightButton);
    EXPECT_EQ(prompts.boxes.size(), 1);
    EXPECT_EQ(pixelAt(25, 12), blendcolor(cream, navy) & 0xffffff);
}

TEST_F(MarkColorControls, QuickMarkingUsesTheSwatchAfterAGridPickInSelectionMode)
{
    select();
    clickCell(11); // yellow marks the selection
    action("selectionmodeMI")->trigger();
    const QRgb before = pixelAt(80, 60);
    drag({ 70, 50 }, { 100, 70 });
    EXPECT_EQ(pixelAt(80, 60), blendcolor(before, red) & 0xffffff);
}

TEST_F(MarkColorControls, SwatchClickMarksOnlyInSelectionMode)
{
    const QImage before = picture();
    QTest::mouseClick(swatch(), Qt::LeftButton);
    EXPECT_EQ(picture(), before);
    select();
    QTest::mouseClick(swatch(), Qt::LeftButton);
    EXPECT_TRUE(prompts.boxes.isEmpty());
    EXPECT_EQ(pixelAt(25, 12), blendcolor(before.pixel(25, 12), red) & 0xffffff);
}

TEST_F(MarkColorControls, ColourDialogOpensOnItsLastColourAndCancelChangesNothing)
{
    select();
    const QImage before = picture();
    prompts.colorAnswers = { QColor(navy), std::nullopt };
    QTest::mouseClick(setcolB(), Qt::LeftButton);
    EXPECT_EQ(window->swatchcol(), navy);
    EXPECT_EQ(window->markcol(), navy);
    action("Markcolor1")->trigger();
    EXPECT_EQ(window->markcol(), navy);
    EXPECT_EQ(prompts.colorRequests, (QList<QColor> { Qt::black, QColor(navy) }));
    EXPECT_EQ(picture(), before) << "choosing a colour marks nothing";

    reopen();
    EXPECT_EQ(window->markcol(), navy) << "the colour survives a restart";
}

TEST_F(MarkColorControls, OnlyTheTwoButtonsShowHints)
{
    QStringList hinted;
    for (const QWidget *child : window->findChildren<QWidget *>())
        if (!child->toolTip().isEmpty())
            hinted << child->objectName();
    hinted.sort();
    EXPECT_EQ(hinted, (QStringList { "BitBtnWithColor1", "setcolB" }));
}

TEST_F(MarkColorControls, HelpAboutRunsTheAboutBoxMadeAtStart)
{
    TAboutF about(prompts, folder(), window.get());
    window->setAboutBox(&about);
    action("AboutMI")->trigger();
    action("AboutMI")->trigger();
    EXPECT_EQ(prompts.dialogs, (QStringList { "About...", "About..." }));
}
