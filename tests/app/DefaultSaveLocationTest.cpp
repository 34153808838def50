#include <QDialog>
#include <QLineEdit>

#include "MainWindowFixture.h"
#include "ShellTreeWorld.h"
#include "TestFiles.h"
#include "location/TDriveInfo.h"
#include "location/TLocxxxF.h"

namespace {

class DefaultSaveLocation : public MainWindow {
protected:
    void SetUp() override
    {
        MainWindow::SetUp();
        window->setLocationDialog(&dialog);
    }
    // The user types `text` into the edit box and presses "&Ok", and then "&Cancel" should the
    // dialog stay open.
    void answerWith(const QString &text)
    {
        prompts.dialogScripts.push_back([text](QDialog &shown) {
            auto &location = static_cast<TLocxxxF &>(shown);
            location.setResult(QDialog::Rejected);
            location.locationEdit()->setText(text);
            QTest::mouseClick(location.okButton(), Qt::LeftButton);
            if (location.result() != QDialog::Accepted)
                QTest::mouseClick(location.cancelButton(), Qt::LeftButton);
            return location.result();
        });
    }

    ShellTreeWorld world;
    TDriveInfo driveInfo { world.volumes };
    TLocxxxF dialog { prompts, driveInfo, world.shell, world.notification };
};

} // namespace

TEST_F(DefaultSaveLocation, AcceptedFolderBecomesWhereDialogsStartAndIsKeptAtClose)
{
    const QString pictures = world.path("home/pictures");
    world.makeFolders({ "home/pictures" });
    answerWith(pictures);
    action("DefaultsavetoMI")->trigger();
    EXPECT_EQ(prompts.dialogs, QStringList { "Give Default destination to save to." });
    EXPECT_EQ(window->savelocation(), pictures);
    EXPECT_EQ(window->statusText(), "Default location to save to: " + pictures);
    const QString currentFile = window->currentfilename();

    action("Saveas1")->trigger();
    ASSERT_EQ(prompts.saveRequests.size(), 1);
    EXPECT_EQ(prompts.saveRequests[0].folder, pictures);
    EXPECT_EQ(window->currentfilename(), currentFile) << "the current file name stays";

    window->close();
    EXPECT_TRUE(fileBytes(dir.filePath("quillet.ini")).contains("Save=" + pictures.toUtf8()));
}

TEST_F(DefaultSaveLocation, CancelOrAnEmptyBoxChangesNothing)
{
    action("DefaultsavetoMI")->trigger(); // no script: the user presses Escape
    answerWith(world.path("home"));
    action("DefaultsavetoMI")->trigger();
    answerWith(QString());
    action("DefaultsavetoMI")->trigger();
    ASSERT_EQ(prompts.dialogs.size(), 3);
    EXPECT_EQ(window->savelocation(), world.path("home"));
    EXPECT_EQ(prompts.texts(), QStringList { "No directory selected!" });
}
