#include <QFile>
#include <QImage>

#include "MainWindowFixture.h"
#include "TableRow.h"
#include "TestFiles.h"
#include "app/TMYcustomhistory.h"

namespace {

const QString couldNotSave = QStringLiteral("Could not save. Choose other file name or path.");

class MainWindowFiles : public MainWindow {
protected:
    QByteArray bytes(const QString &name) const { return fileBytes(dir.filePath(name)); }
    void answerOpen(const QString &file) { prompts.openAnswers.push_back({ { file, 1 } }); }
    void answerSave(const QString &file, int filterIndex)
    {
        prompts.saveAnswers.push_back({ { file, filterIndex } });
    }
};

TEST_F(MainWindowFiles, BrowseOpensAPictureIntoTheWindowTitleHistoryAndUndo)
{
    const QString file = makePicture(QStringLiteral("blue.bmp"), qRgb(0, 0, 255));
    answerOpen(file);
    action("OpenBrowseMI")->trigger();
    ASSERT_TRUE(prompts.boxes.isEmpty()) << prompts.texts().join(u'\n').toStdString();
    EXPECT_EQ(prompts.openRequests.at(0).filter,
        QStringLiteral("JPG files (*.jpg)|*.JPG|Bitmap files (*.bmp)|*.bmp"));
    EXPECT_EQ(prompts.openRequests.at(0).folder, folder());
    EXPECT_EQ(picture().size(), QSize(30, 20));
    EXPECT_EQ(view()->pictureSize(), QSize(30, 20));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Quillet - ") + file);
    EXPECT_EQ(window->currentfilename(), file);
    EXPECT_EQ(bytes(QStringLiteral("quilletfiles.his")), file.toUtf8() + "\r\n");
    EXPECT_EQ(menuCaptions(menu("OpenMI")), QStringList({ "Browse...", "-", ">>>", file }));

    drag(QPoint(2, 2), QPoint(10, 10));
    key(QKeySequence(QStringLiteral("Ctrl+Z")));
    EXPECT_EQ(picture().pixel(5, 5), qRgb(0, 0, 255)) << "undo returns the opened picture";
}

TEST_F(MainWindowFiles, AFailedOpenKeepsThePictureAndTitleButTheHistoryHasThePath)
{
    const QImage before = picture().copy();
    const QString title = window->windowTitle();
    const QString file = path(QStringLiteral("notes.xyz"));
    QFile(file).open(QIODevice::WriteOnly);
    answerOpen(file);
    action("OpenBrowseMI")->trigger();
    ASSERT_EQ(prompts.boxes.size(), 1);
    EXPECT_EQ(prompts.boxes[0].text, QStringLiteral("Unknown picture file extension (.xyz)"));
    EXPECT_EQ(prompts.boxes[0].icon, Prompts::Icon::Error);
    EXPECT_EQ(picture(), before);
    EXPECT_EQ(window->windowTitle(), title);
    EXPECT_EQ(window->history()->items(), QStringList({ file }));
}

TEST_F(MainWindowFiles, ChoosingAHistoryEntryOpensItAndMovesItToTheTop)
{
    const QString red = makePicture(QStringLiteral("red.bmp"), qRgb(255, 0, 0));
    const QString green = makePicture(QStringLiteral("green.bmp"), qRgb(0, 255, 0));
    answerOpen(red);
    action("OpenBrowseMI")->trigger();
    answerOpen(green);
    action("OpenBrowseMI")->trigger();
    ASSERT_EQ(window->history()->items(), QStringList({ green, red }));

    QAction *entry = menuItem(menu("OpenMI"), red);
    ASSERT_NE(entry, nullptr);
    entry->trigger();
    EXPECT_EQ(picture().pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Quillet - ") + red);
    EXPECT_EQ(window->history()->items(), QStringList({ red, green }));

    QFile::remove(red);
    menu("OpenMI")->actions().at(3)->trigger();
    ASSERT_EQ(prompts.boxes.size(), 1);
    EXPECT_TRUE(prompts.boxes[0].text.startsWith(QStringLiteral("Cannot open file ")));
    EXPECT_EQ(window->history()->items().first(), red) << "the entry stays at the top";
}

struct SaveAsCase : TableRow {
    QString typed;
    int filterIndex;
    QString written;
    bool jpeg;
};

class SaveAs : public MainWindowFiles, public ::testing::WithParamInterface<SaveAsCase> { };

TEST_P(SaveAs, WritesTheKindTheNameOrFilterAsksForAndShowsItInTitleAndHistory)
{
    const SaveAsCase &row = GetParam();
    const QString status = window->statusText();
    answerSave(path(row.typed), row.filterIndex);
    key(QKeySequence(QStringLiteral("Ctrl+S")));
    ASSERT_TRUE(prompts.boxes.isEmpty()) << prompts.texts().join(u'\n').toStdString();
    EXPECT_EQ(prompts.saveRequests.at(0).fileName, QStringLiteral("MyTmpImage.jpg"));
    const QByteArray data = bytes(row.written);
    EXPECT_EQ(data.startsWith("\xFF\xD8\xFF"), row.jpeg);
    EXPECT_EQ(data.startsWith("BM"), !row.jpeg);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Quillet - ") + path(row.written));
    EXPECT_EQ(window->history()->items(), QStringList({ path(row.written) }));
    EXPECT_EQ(
        window->statusText(), row.jpeg ? QStringLiteral("Saved to ") + path(row.written) : status);
    EXPECT_EQ(window->currentfilename(), path(QStringLiteral("MyTmpImage.jpg")))
        << "Save keeps writing to the file opened last";
}

INSTANTIATE_TEST_SUITE_P(Names, SaveAs,
    ::testing::Values(SaveAsCase { "NoExtensionJpegFilter", "shot", 1, "shot.jpg", true },
        SaveAsCase { "NoExtensionBitmapFilter", "shot", 2, "shot.bmp", false },
        SaveAsCase { "UpperCaseJpegName", "Shot.JPEG", 2, "Shot.JPEG", true },
        SaveAsCase { "BitmapName", "shot.bmp", 1, "shot.bmp", false }),
    RowName());

TEST_F(MainWindowFiles, AFailedSaveSaysSoAndChangesNeitherTitleNorHistory)
{
    const QString title = window->windowTitle();
    answerSave(path(QStringLiteral("missing/folder/shot.jpg")), 1);
    action("Saveas1")->trigger();
    ASSERT_EQ(prompts.boxes.size(), 1);
    EXPECT_EQ(prompts.boxes[0].caption, QStringLiteral("Error"));
    EXPECT_EQ(prompts.boxes[0].text, couldNotSave);
    EXPECT_EQ(window->statusText(), QStringLiteral("NOT Saved"));
    EXPECT_EQ(window->windowTitle(), title);
    EXPECT_TRUE(window->history()->items().isEmpty());
}

TEST_F(MainWindowFiles, SavingAnEmptyPictureIsReportedAndReplacesNothing)
{
    key(QKeySequence(Qt::Key_S));
    const QByteArray saved = bytes(QStringLiteral("MyTmpImage.jpg"));
    ASSERT_FALSE(saved.isEmpty());
    key(QKeySequence(Qt::Key_D));
    key(QKeySequence(Qt::Key_S));
    ASSERT_EQ(prompts.boxes.size(), 1);
    EXPECT_EQ(prompts.boxes[0].text, couldNotSave);
    EXPECT_EQ(window->statusText(), QStringLiteral("NOT Saved"));
    EXPECT_EQ(bytes(QStringLiteral("MyTmpImage.jpg")), saved);
}

TEST_F(MainWindowFiles, SaveAfterOpeningABitmapOverwritesThatFileWithTheMarkedPicture)
{
    const QString file = makePicture(QStringLiteral("white.bmp"), qRgb(255, 255, 255));
    answerOpen(file);
    action("OpenBrowseMI")->trigger();
    // QTest takes the point (0, 0) for the widget's centre, so the drag starts at (1, 1).
    drag(QPoint(1, 1), QPoint(4, 4));
    ASSERT_EQ(picture().pixel(2, 2), qRgb(255, 0, 0));
    key(QKeySequence(Qt::Key_S));
    EXPECT_TRUE(prompts.boxes.isEmpty());
    const QImage written(file, "BMP");
    ASSERT_EQ(written.size(), QSize(30, 20));
    EXPECT_EQ(written.pixel(2, 2), qRgb(255, 0, 0));
    EXPECT_EQ(written.pixel(20, 10), qRgb(255, 255, 255));
}

TEST_F(MainWindowFiles, SaveAfterSaveAsWritesTheEarlierFileWhileTheTitleNamesTheNewOne)
{
    answerSave(path(QStringLiteral("renamed.bmp")), 2);
    key(QKeySequence(QStringLiteral("Ctrl+S")));
    drag(QPoint(1, 1), QPoint(40, 40));
    key(QKeySequence(Qt::Key_S));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Quillet - ") + path("renamed.bmp"));
    const QImage current(path(QStringLiteral("MyTmpImage.jpg")), "JPG");
    ASSERT_FALSE(current.isNull());
    EXPECT_GT(qRed(current.pixel(20, 20)), 200) << "the mark went to the earlier file";
    EXPECT_LT(qGreen(current.pixel(20, 20)), 60);
    EXPECT_NE(QImage(path(QStringLiteral("renamed.bmp")), "BMP").pixel(20, 20), qRgb(255, 0, 0));
}

TEST_F(MainWindowFiles, SavingAndPrintingWhileAnOutlineShowsIncludeIt)
{
    toSelectionMode();
    drag(QPoint(10, 10), QPoint(60, 40));
    const QImage outlined = picture().convertToFormat(QImage::Format_RGB32);
    answerSave(path(QStringLiteral("outlined.bmp")), 2);
    key(QKeySequence(QStringLiteral("Ctrl+S")));
    key(QKeySequence(QStringLiteral("Ctrl+P")));
    const QImage saved = QImage(path(QStringLiteral("outlined.bmp")), "BMP");
    EXPECT_EQ(saved.convertToFormat(QImage::Format_RGB32), outlined);
    ASSERT_EQ(printer.pages.size(), 1);
    EXPECT_EQ(printer.pages[0].draws[0].picture.convertToFormat(QImage::Format_RGB32), outlined);
    drag(QPoint(100, 100), QPoint(100, 100)); // a click drops the outline
    EXPECT_NE(picture().convertToFormat(QImage::Format_RGB32), outlined) << "the outline showed";
}

TEST_F(MainWindowFiles, PrintDrawsThePictureAtWholeDotsPerScreenPixel)
{
    key(QKeySequence(QStringLiteral("Ctrl+P")));
    ASSERT_TRUE(prompts.boxes.isEmpty()) << prompts.texts().join(u'\n').toStdString();
    ASSERT_EQ(printer.pages.size(), 1);
    ASSERT_EQ(printer.pages[0].draws.size(), 1);
    const int sx = 600 / window->logicalDpiX(), sy = 600 / window->logicalDpiY();
    EXPECT_EQ(printer.pages[0].draws[0].target, QRect(0, 0, 621 * sx, 462 * sy));

    printer.setupAnswer = false;
    key(QKeySequence(QStringLiteral("Ctrl+P")));
    EXPECT_EQ(printer.pages.size(), 1) << "cancelling the set-up prints nothing";
}

TEST_F(MainWindowFiles, ASettingsFileThatCannotBeWrittenIsReportedAndTheWindowStillCloses)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("quillet.ini")));
    window->close();
    EXPECT_FALSE(window->isVisible());
    ASSERT_EQ(prompts.boxes.size(), 1);
    EXPECT_EQ(prompts.boxes[0].icon, Prompts::Icon::Error);
    EXPECT_EQ(prompts.boxes[0].text,
        QStringLiteral("Unable to write to ") + path(QStringLiteral("quillet.ini")) + ".");
}

TEST_F(MainWindowFiles, HandEditedSettingsAreReadAtStart)
{
    window->close();
    QFile ini(dir.filePath(QStringLiteral("quillet.ini")));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[general]\r\nselection MODE = 2\r\n[Edit]\r\nRed=0x80\r\nGreen=$FF\r\nBlue=300\r\n"
              "[Location]\r\nSave="
        + dir.path().toUtf8() + "/\r\n[Mine]\r\nkept=yes\r\n");
    ini.close();
    prompts.boxes.clear();
    window.reset();
    open();
    EXPECT_TRUE(window->selectionmode());
    EXPECT_EQ(window->markcol() & 0xffffff, qRgb(128, 255, 44) & 0xffffff);
    EXPECT_EQ(window->savelocation(), folder()) << "one trailing separator is dropped";
    window->close();
    EXPECT_TRUE(bytes(QStringLiteral("quillet.ini")).contains("[Mine]\r\nkept=yes\r\n"));
}

TEST_F(MainWindowFiles, ALocationStoredAsBytesThatAreNotTextIsWrittenBackAsItWasRead)
{
    window->close();
    const QByteArray stored = "[Location]\r\nSave=/photos/caf\xE9\xFF\r\n";
    writeFileBytes(dir.filePath("quillet.ini"), stored);
    window.reset();
    open();
    window->close();
    EXPECT_TRUE(bytes(QStringLiteral("quillet.ini")).startsWith(stored));
}

} // namespace
