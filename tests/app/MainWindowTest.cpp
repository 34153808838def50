#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QFile>
#include <QMenu>
#include <QMimeData>

#include "MainWindowFixture.h"
#include "TestFiles.h"

namespace {

TEST_F(MainWindow, StartsInQuickMarkingModeWithRedAndTheStartPicture)
{
    EXPECT_EQ(window->windowTitle(),
        QStringLiteral("Quillet - ") + folder() + QDir::separator() + "MyTmpImage.jpg");
    EXPECT_FALSE(window->selectionmode());
    EXPECT_EQ(modeButton()->text(), QStringLiteral("Go to &selection mode"));
    EXPECT_FALSE(menu("SelectionMI")->menuAction()->isEnabled());
    EXPECT_FALSE(action("selectionmodeMI")->isChecked());
    EXPECT_EQ(window->markcol() & 0xffffff, qRgb(255, 0, 0) & 0xffffff);
    EXPECT_EQ(window->statusText(), quickText);
    EXPECT_EQ(picture().size(), QSize(621, 462));
    EXPECT_EQ(view()->pictureSize(), QSize(621, 462));
    EXPECT_TRUE(prompts.boxes.isEmpty());
}

TEST_F(MainWindow, ModeSwitchSetsCheckMarkMenuCaptionAndStatusFromMenuAndButton)
{
    action("selectionmodeMI")->trigger();
    EXPECT_TRUE(window->selectionmode());
    EXPECT_TRUE(action("selectionmodeMI")->isChecked());
    EXPECT_TRUE(menu("SelectionMI")->menuAction()->isEnabled());
    EXPECT_TRUE(action("MarkMI")->isEnabled());
    EXPECT_EQ(modeButton()->text(), QStringLiteral("Go to &quick marking mode"));
    EXPECT_EQ(window->statusText(), selectionText);

    QTest::mouseClick(modeButton(), Qt::LeftButton);
    EXPECT_FALSE(window->selectionmode());
    EXPECT_FALSE(action("selectionmodeMI")->isChecked());
    EXPECT_FALSE(action("MarkMI")->isEnabled());
    EXPECT_EQ(modeButton()->text(), QStringLiteral("Go to &selection mode"));
    EXPECT_EQ(window->statusText(), quickText);
}

TEST_F(MainWindow, SelectionKeysActOnlyInSelectionMode)
{
    const QImage before = picture();
    key(QKeySequence(Qt::Key_M));
    key(QKeySequence(QStringLiteral("Ctrl+Y")));
    key(QKeySequence(QStringLiteral("Ctrl+C")));
    EXPECT_TRUE(prompts.boxes.isEmpty());
    EXPECT_EQ(picture(), before);

    toSelectionMode();
    key(QKeySequence(Qt::Key_M));
    key(QKeySequence(QStringLiteral("Ctrl+Y")));
    ASSERT_EQ(prompts.boxes.size(), 2);
    EXPECT_EQ(prompts.boxes[0].caption, QStringLiteral("Error"));
    EXPECT_EQ(prompts.boxes[0].icon, Prompts::Icon::Error);
    EXPECT_EQ(prompts.boxes[0].text, nothingToMark);
    EXPECT_EQ(prompts.boxes[1].text, nothingToKeep);
    EXPECT_EQ(picture(), before);
}

TEST_F(MainWindow, ResizePutsTheModesTextBackInTheStatusLine)
{
    key(QKeySequence(Qt::Key_S));
    ASSERT_TRUE(window->statusText().startsWith(QStringLiteral("Saved to ")));
    window->resize(900, 700);
    EXPECT_EQ(window->statusText(), quickText);
}

TEST_F(MainWindow, QuickDragMarksTheDraggedRectangleInRedOnRelease)
{
    const QImage before = picture().copy();
    drag(QPoint(30, 20), QPoint(120, 60));
    const QImage &after = picture();
    // A red mark keeps each pixel's red channel and takes the darker value, zero, elsewhere.
    for (int y = 0; y < after.height(); y += 3) {
        for (int x = 0; x < after.width(); x += 3) {
            const QRgb old = before.pixel(x, y);
            const bool inside = x >= 30 && x <= 120 && y >= 20 && y <= 60;
            const QRgb expected = inside ? qRgb(qRed(old), 0, 0) : old;
            ASSERT_EQ(after.pixel(x, y), expected) << x << "," << y;
        }
    }
    EXPECT_FALSE(window->document().selpresent());
    EXPECT_EQ(window->document().undoPicture().image(), before);
}

TEST_F(MainWindow, SelectionDragLeavesTheOutlineAndMarkKeyMarksIt)
{
    toSelectionMode();
    const QImage before = picture().copy();
    drag(QPoint(10, 10), QPoint(60, 40));
    EXPECT_TRUE(window->document().selpresent());
    EXPECT_NE(picture(), before) << "the outline is drawn into the picture";

    key(QKeySequence(Qt::Key_M));
    EXPECT_TRUE(prompts.boxes.isEmpty());
    EXPECT_EQ(picture().pixel(35, 25), qRgb(qRed(before.pixel(35, 25)), 0, 0));
    EXPECT_EQ(picture().pixel(61, 41), before.pixel(61, 41));

    key(QKeySequence(Qt::Key_M));
    ASSERT_EQ(prompts.boxes.size(), 1);
    EXPECT_EQ(prompts.boxes[0].text, nothingToMark);
}

TEST_F(MainWindow, NextMouseDownErasesTheShownSelectionExactly)
{
    toSelectionMode();
    const QImage before = picture().copy();
    drag(QPoint(10, 10), QPoint(200, 100));
    QTest::mousePress(view(), Qt::LeftButton, Qt::NoModifier, QPoint(300, 300));
    EXPECT_EQ(picture(), before) << "a zero-size band draws nothing";
    QTest::mouseRelease(view(), Qt::LeftButton, Qt::NoModifier, QPoint(300, 300));
}

TEST_F(MainWindow, RightClickMarksOnePixelThenOpensTheShortcutMenu)
{
    const QImage before = picture().copy();
    QTest::mouseClick(view(), Qt::RightButton, Qt::NoModifier, QPoint(5, 7));
    QMenu *popup = menu("PopupMenu1");
    EXPECT_TRUE(popup->isVisible());
    popup->hide();
    int changed = 0;
    for (int y = 0; y < before.height(); ++y)
        for (int x = 0; x < before.width(); ++x)
            changed += picture().pixel(x, y) != before.pixel(x, y);
    EXPECT_LE(changed, 1);
    EXPECT_EQ(picture().pixel(5, 7), qRgb(qRed(before.pixel(5, 7)), 0, 0));
    // The keys beside Paste and the clear are only shown: they belong to the Edit menu.
    EXPECT_EQ(menuCaptions(popup),
        QStringList({ "Copy", "-", "Paste\tCtrl+V", "-", "Delete (Clear display)\tD", "-",
            "Set standard start image..." }));
}

TEST_F(MainWindow, KeyDEmptiesThePictureWithUndoAndUndoBringsItBack)
{
    const QImage before = picture().copy();
    key(QKeySequence(Qt::Key_D));
    EXPECT_TRUE(window->document().picture().isEmpty());
    EXPECT_EQ(view()->pictureSize(), QSize(621, 462)) << "the control keeps its size";
    key(QKeySequence(QStringLiteral("Ctrl+Z")));
    EXPECT_EQ(picture(), before);
    key(QKeySequence(QStringLiteral("Ctrl+Z")));
    EXPECT_EQ(picture(), before) << "undo repeated gives the same picture";

    key(QKeySequence(Qt::Key_D));
    key(QKeySequence(Qt::Key_D));
    ASSERT_EQ(prompts.boxes.size(), 1) << "clearing an empty picture is reported";
    key(QKeySequence(QStringLiteral("Ctrl+Z")));
    EXPECT_EQ(picture(), before) << "the undo picture kept what it held";
}

TEST_F(MainWindow, MouseDownOnAnEmptyPictureMakesAWhitePictureOfTheControlsSize)
{
    key(QKeySequence(Qt::Key_D));
    QTest::mousePress(view(), Qt::LeftButton, Qt::NoModifier, QPoint(40, 40));
    ASSERT_FALSE(window->document().picture().isEmpty());
    EXPECT_EQ(picture().size(), QSize(621, 462));
    EXPECT_EQ(picture().pixel(300, 300), qRgb(255, 255, 255));
    QTest::mouseRelease(view(), Qt::LeftButton, Qt::NoModifier, QPoint(40, 40));
}

TEST_F(MainWindow, CropKeepsTheSelectedBlock)
{
    toSelectionMode();
    const QImage before = picture().copy();
    drag(QPoint(10, 20), QPoint(110, 70));
    key(QKeySequence(QStringLiteral("Ctrl+Y")));
    EXPECT_EQ(picture().size(), QSize(100, 50));
    EXPECT_EQ(view()->pictureSize(), QSize(100, 50));
    EXPECT_EQ(picture().pixel(0, 0), before.pixel(10, 20));
    EXPECT_EQ(picture().pixel(99, 49), before.pixel(109, 69));
    EXPECT_FALSE(window->document().selpresent());
}

TEST_F(MainWindow, MarkCropUndoGivesThePictureFromBeforeTheMark)
{
    toSelectionMode();
    const QImage before = picture().copy();
    drag(QPoint(20, 20), QPoint(60, 50));
    key(QKeySequence(Qt::Key_M));
    drag(QPoint(10, 10), QPoint(90, 90));
    key(QKeySequence(QStringLiteral("Ctrl+Y")));
    ASSERT_EQ(picture().size(), QSize(80, 80));
    key(QKeySequence(QStringLiteral("Ctrl+Z")));
    EXPECT_EQ(picture(), before);
    EXPECT_EQ(view()->pictureSize(), QSize(621, 462));
}

TEST_F(MainWindow, CropOfAClickLeavesAZeroSizePictureThatShowsNothing)
{
    toSelectionMode();
    QTest::mouseClick(view(), Qt::LeftButton, Qt::NoModifier, QPoint(40, 40));
    key(QKeySequence(QStringLiteral("Ctrl+Y")));
    EXPECT_TRUE(picture().isNull());
    EXPECT_FALSE(window->document().picture().isEmpty()) << "a bitmap of zero size, not empty";
    EXPECT_EQ(view()->pictureSize(), QSize(621, 462)) << "the control keeps its last size";
    EXPECT_TRUE(prompts.boxes.isEmpty());
}

TEST_F(MainWindow, ClearThenUndoBringsBackTheOutlineWithTheSelection)
{
    toSelectionMode();
    const QImage clean = picture().copy();
    drag(QPoint(10, 10), QPoint(70, 40));
    const QImage outlined = picture().copy();
    key(QKeySequence(Qt::Key_D));
    key(QKeySequence(QStringLiteral("Ctrl+Z")));
    EXPECT_EQ(picture(), outlined);
    EXPECT_TRUE(window->document().selpresent());
    key(QKeySequence(Qt::Key_M));
    EXPECT_TRUE(prompts.boxes.isEmpty()) << "the selection was still there to mark";
    EXPECT_EQ(picture().pixel(11, 10), qRgb(qRed(clean.pixel(11, 10)), 0, 0))
        << "the outline was erased before marking";
}

TEST_F(MainWindow, ADragLeavingThePictureKeepsFollowingThePointerAndMarksUpToTheEdge)
{
    const QImage before = picture().copy();
    QTest::mousePress(view(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    QTest::mouseMove(view(), QPoint(-40, -30));
    QTest::mouseRelease(view(), Qt::LeftButton, Qt::NoModifier, QPoint(-40, -30));
    EXPECT_EQ(window->document().endpt(), QPoint(-40, -30));
    EXPECT_EQ(picture().pixel(0, 0), qRgb(qRed(before.pixel(0, 0)), 0, 0));
    EXPECT_EQ(picture().pixel(5, 5), qRgb(qRed(before.pixel(5, 5)), 0, 0));
    EXPECT_EQ(picture().pixel(6, 6), before.pixel(6, 6));
    EXPECT_EQ(picture().pixel(620, 461), before.pixel(620, 461)) << "nothing wraps around";
}

// What another program reads: the clipboard's PNG, offered first.
QImage clipboardPng()
{
    const QMimeData *mime = QApplication::clipboard()->mimeData();
    EXPECT_EQ(mime->formats().value(0), "image/png");
    return QImage::fromData(mime->data("image/png"), "png").convertToFormat(QImage::Format_RGB32);
}

TEST_F(MainWindow, CopyPutsThePictureWithItsOutlineOnTheClipboardAsItWasThen)
{
    toSelectionMode();
    drag(QPoint(10, 10), QPoint(80, 50));
    action("Copy1")->trigger();
    const QImage copied = picture().convertToFormat(QImage::Format_RGB32);
    action("MarkMI")->trigger();
    ASSERT_NE(picture().convertToFormat(QImage::Format_RGB32), copied);
    EXPECT_EQ(clipboardPng(), copied) << "lossless, and as it was at the Copy";
}

TEST_F(MainWindow, SelectionCopyPutsTheSelectedBlockWithoutOutlineOnTheClipboard)
{
    toSelectionMode();
    const QImage before = picture().copy();
    drag(QPoint(10, 20), QPoint(110, 70));
    key(QKeySequence(QStringLiteral("Ctrl+C")));
    EXPECT_EQ(clipboardPng(), before.copy(10, 20, 100, 50).convertToFormat(QImage::Format_RGB32));
    EXPECT_TRUE(window->document().selpresent()) << "the selection stays";
}

TEST_F(MainWindow, PasteTakesImagesOnWhiteAndIgnoresText)
{
    QApplication::clipboard()->setText(QStringLiteral("just text"));
    const QImage before = picture().copy();
    key(QKeySequence(QStringLiteral("Ctrl+V")));
    EXPECT_EQ(picture(), before);
    EXPECT_TRUE(prompts.boxes.isEmpty());

    QImage translucent(40, 30, QImage::Format_ARGB32);
    translucent.fill(Qt::transparent);
    translucent.setPixel(1, 1, qRgba(0, 0, 255, 255));
    QApplication::clipboard()->setImage(translucent);
    key(QKeySequence(QStringLiteral("Ctrl+V")));
    EXPECT_EQ(picture().size(), QSize(40, 30));
    EXPECT_EQ(view()->pictureSize(), QSize(40, 30));
    EXPECT_EQ(picture().pixel(0, 0), qRgb(255, 255, 255)) << "transparent shows as white";
    EXPECT_EQ(picture().pixel(1, 1), qRgb(0, 0, 255));
}

TEST_F(MainWindow, ShortcutMenusClearFillsWhiteAndLeavesTheUndoPictureAlone)
{
    drag(QPoint(5, 5), QPoint(30, 30));
    const QImage undo = window->document().undoPicture().image();
    action("Clear1")->trigger();
    EXPECT_EQ(picture().size(), QSize(621, 462));
    EXPECT_EQ(picture().pixel(10, 10), qRgb(255, 255, 255));
    EXPECT_EQ(picture().pixel(620, 461), qRgb(255, 255, 255));
    EXPECT_EQ(window->document().undoPicture().image(), undo);
}

TEST_F(MainWindow, SaveRightAfterStartWritesTheDefaultJpeg)
{
    key(QKeySequence(Qt::Key_S));
    const QString path = folder() + QDir::separator() + "MyTmpImage.jpg";
    EXPECT_EQ(window->statusText(), QStringLiteral("Saved to ") + path);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.read(3).startsWith("\xFF\xD8\xFF")) << "JPEG data";
}

TEST_F(MainWindow, ModeColourAndLocationSurviveARestart)
{
    toSelectionMode();
    reopen();
    EXPECT_TRUE(window->selectionmode());
    EXPECT_EQ(modeButton()->text(), QStringLiteral("Go to &quick marking mode"));
    EXPECT_EQ(window->statusText(), selectionText);
    EXPECT_EQ(window->savelocation(), folder());
    QFile ini(exePath() + ".ini");
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    EXPECT_EQ(ini.readAll(),
        QByteArray("[Location]\r\nSave=") + folder().toUtf8()
            + "\r\n[General]\r\nSelection mode=1\r\n[Edit]\r\nRed=255\r\n"
              "Green=0\r\nBlue=0\r\n");
}

TEST_F(MainWindow, ExitClosesTheWindow)
{
    action("Exit1")->trigger();
    EXPECT_FALSE(window->isVisible());
}

TEST_F(MainWindow, ShiftF10AndTheMenuKeyOpenTheShortcutMenuAtThePointerOrThePicture)
{
    QMenu *shortcutMenu = menu("PopupMenu1");
    const QPoint overPicture = view()->mapToGlobal(QPoint(40, 30));
    QCursor::setPos(overPicture);
    key(QKeySequence(Qt::SHIFT | Qt::Key_F10));
    ASSERT_TRUE(shortcutMenu->isVisible());
    EXPECT_EQ(shortcutMenu->pos(), overPicture);
    shortcutMenu->hide();

    QCursor::setPos(window->mapToGlobal(QPoint(5, 5))); // over the tool panel
    key(QKeySequence(Qt::Key_Menu));
    ASSERT_TRUE(shortcutMenu->isVisible());
    EXPECT_EQ(shortcutMenu->pos(), view()->mapToGlobal(QPoint(0, 0)));
    shortcutMenu->hide();
}

} // namespace
