// The real open and save picture dialogs: their filter entries, names matched in any case, and
// the preview beside the list.
#include <QAbstractItemView>
#include <QFileDialog>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

#include <gtest/gtest.h>

#include "WaitFor.h"
#include "files/PicturePreview.h"
#include "platform/qt/PreviewPane.h"
#include "platform/qt/QtPrompts.h"

namespace {

const QString filter = QStringLiteral("JPG files (*.jpg)|*.JPG|Bitmap files (*.bmp)|*.bmp");

class PictureDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        prompts.setPreviewer(std::make_shared<PicturePreview>());
        for (const char *name : { "LOUD.JPG", "quiet.jpg", "other.bmp" })
            ASSERT_TRUE(picture.save(dir.filePath(name)));
    }

    QStringList listed(QFileDialog &dialog) const
    {
        auto *view = dialog.findChild<QTreeView *>(QStringLiteral("treeView"));
        QStringList names;
        for (int row = 0; view && row < view->model()->rowCount(view->rootIndex()); ++row)
            names << view->model()->index(row, 0, view->rootIndex()).data().toString();
        names.sort();
        return names;
    }

    QTemporaryDir dir;
    QImage picture = QImage(400, 300, QImage::Format_RGB32);
    QtPrompts prompts;
};

} // namespace

TEST_F(PictureDialog, OpenListsTheEntrysNamesInAnyCaseAndPreviewsTheSelectedOne)
{
    const auto dialog = prompts.pictureDialog({ "Open", filter, 1, dir.path(), {} }, false);
    EXPECT_EQ(dialog->nameFilters(), QStringList({ "JPG files (*.jpg)", "Bitmap files (*.bmp)" }));
    dialog->show();
    EXPECT_EQ_SOON(listed(*dialog), QStringList({ "LOUD.JPG", "quiet.jpg" }));
    auto *pane = dialog->findChild<PreviewPane *>();
    ASSERT_NE(pane, nullptr);
    EXPECT_EQ(pane->caption(), "No preview");
    auto *view = dialog->findChild<QTreeView *>(QStringLiteral("treeView"));
    const QModelIndex loud = view->model()->index(0, 0, view->rootIndex());
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(loud).center());
    EXPECT_EQ_SOON(pane->caption(), QStringLiteral("400 \u00d7 300"));
    EXPECT_EQ(pane->picture().size(), QSize(240, 180));
}

TEST_F(PictureDialog, SavePreviewsTheFileItWouldReplace)
{
    const auto dialog
        = prompts.pictureDialog({ "Save as", filter, 2, dir.path(), "other.bmp" }, true);
    EXPECT_EQ(dialog->selectedNameFilter(), "Bitmap files (*.bmp)");
    auto *pane = dialog->findChild<PreviewPane *>();
    ASSERT_NE(pane, nullptr);
    EXPECT_EQ_SOON(pane->caption(), QStringLiteral("400 \u00d7 300"));
}
