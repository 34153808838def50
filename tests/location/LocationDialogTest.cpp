#include <functional>
#include <unistd.h>
#include <vector>

#include <QAccessible>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidgetItemIterator>

#include <gtest/gtest.h>
#include <sys/fsuid.h>
#include <sys/stat.h>

#include "ShellTreeWorld.h"
#include "TableRow.h"
#include "TestFiles.h"
#include "WaitFor.h"
#include "location/TDriveInfo.h"
#include "location/TKoDriveComboBox.h"
#include "location/TLocxxxF.h"

namespace {

using Answer = Prompts::Answer;

// The dialog over a temporary machine: C: "/", the removable D: "@/media", desktop "@/Desktop"
// and home "@/home", where "@" is the temporary folder.
struct LocationWorld {
    ShellTreeWorld world;
    TDriveInfo driveInfo { world.volumes };
    TLocxxxF dialog { world.prompts, driveInfo, world.shell, world.notification };

    QString at(QString text) const { return text.replace('@', world.dir.path()); }
    QString edit() const { return dialog.locationEdit()->text(); }
    TShellNode *node(const QString &relative) const
    {
        for (QTreeWidgetItemIterator it(dialog.tree()); *it; ++it) {
            if (world.shell.pathOf(static_cast<TShellNode *>(*it)->absolute) == at(relative))
                return static_cast<TShellNode *>(*it);
        }
        return nullptr;
    }
    void click(QTreeWidgetItem *node) const
    {
        dialog.tree()->scrollToItem(node);
        QTest::mouseClick(dialog.tree()->viewport(), Qt::LeftButton, {},
            dialog.tree()->visualItemRect(node).center());
    }
    // Runs the dialog as the main window does: the script types `text`, then does `act`;
    // `open` tells whether the dialog still showed afterwards.
    int run(const QString &text, const std::function<void()> &act, bool *open = nullptr)
    {
        world.prompts.dialogScripts.push_back([&](QDialog &shown) {
            shown.setResult(QDialog::Rejected); // as exec() starts
            shown.show();
            dialog.locationEdit()->clear();
            QTest::keyClicks(dialog.locationEdit(), at(text));
            act();
            if (open)
                *open = shown.isVisible();
            return shown.result();
        });
        return world.prompts.runDialog(dialog);
    }
    void ok() const { QTest::mouseClick(dialog.okButton(), Qt::LeftButton); }
    // The boxes as "<icon: - W E><buttons: . OK, ? Yes/No, ?n Yes/No where Return is No> <text>",
    // joined by " | ".
    QString boxes() const
    {
        QStringList shown;
        for (const FakePrompts::Box &box : world.prompts.boxes) {
            QString buttons = box.buttons == Prompts::Buttons::YesNo ? "?" : ".";
            if (box.buttons == Prompts::Buttons::YesNo && box.defaultButton == Answer::No)
                buttons += 'n';
            shown << QString("-iWE"[int(box.icon)]) + buttons + ' ' + box.text;
        }
        return shown.join(" | ");
    }
};

struct OkRow : TableRow {
    QString typed;
    std::vector<Answer> answers;
    QString boxes;
    QString result; // resultL afterwards
    bool staysOpen = false;
};

class LocationOk : public ::testing::TestWithParam<OkRow> { };

TEST_P(LocationOk, ValidatesTheTypedLocation)
{
    const OkRow &row = GetParam();
    LocationWorld w;
    w.world.makeFolders({ "home/a" });
    writeFileBytes(w.world.path("file"), "x");
    w.world.prompts.answers.assign(row.answers.begin(), row.answers.end());
    // The folder last picked in the tree, against which relative texts are taken.
    w.dialog.tree()->setPath(w.world.path("home"));
    bool open = false;
    const int code = w.run(
        row.typed, [&] { w.ok(); }, &open);
    EXPECT_EQ(w.boxes(), w.at(row.boxes));
    EXPECT_EQ(open, row.staysOpen);
    EXPECT_EQ(code, row.staysOpen ? QDialog::Rejected : QDialog::Accepted);
    EXPECT_EQ(w.dialog.resultLabel()->text(), w.at(row.result));
    // A folder is there afterwards when it was there or the user had it created.
    EXPECT_EQ(QFileInfo(w.at(row.result)).isDir(),
        !row.result.isEmpty() && (!row.boxes.contains("W?") || row.boxes.contains("succesfull")));
}

// The question names the folder it would create on a line of its own.
QString create(const QString &path)
{
    return "W? Chosen location is invalid or does not exist. I try to create it??\n" + path;
}
const QString unable
    = "E?n Unable to create @/file/sub. Probably invalid drive or not writable! accept it anyway??";
QString anyway(const QString &path)
{
    return create(path) + " | W? Accept the path anyway??";
}

INSTANTIATE_TEST_SUITE_P(LocationDialog, LocationOk,
    ::testing::Values(
        OkRow { "EmptyBoxChangesNothing", "", {}, "-. No directory selected!", "", true },
        OkRow { "ExistingFolderWithoutQuestion", "@/home/a", {}, "", "@/home/a" },
        OkRow { "OneTrailingSlashDropped", "@/home/a/", {}, "", "@/home/a" },
        OkRow { "RootTakenWhole", "/", {}, "", "/" },
        OkRow { "DriveLetterIsItsMountPoint", "d:", {}, "", "@/media" },
        OkRow { "DriveLetterWithBackslash", "D:\\", {}, "", "@/media" },
        OkRow { "DriveLetterWithoutDriveRefused", "Q:/", {},
            "-. There is no drive Q: on this computer!", "", true },
        OkRow {
            "OneLetterIsTooShort", "a", {}, "-. Invalid, need at least 2 characters!", "", true },
        OkRow { "TildeAloneIsHome", "~", {}, "", "@/home" },
        OkRow { "TildeIsHome", "~/a/../a", {}, "", "@/home/a" },
        OkRow { "MissingYesCreatesWithParents", "new/deeper", { Answer::Yes },
            create("@/home/new/deeper") + " | -. Creation succesfull", "@/home/new/deeper" },
        OkRow { "UncreatableYesThenNoStaysOpen", "@/file/sub", { Answer::Yes, Answer::No },
            create("@/file/sub") + " | " + unable, "", true },
        OkRow { "UncreatableYesThenYesAccepts", "@/file/sub", { Answer::Yes, Answer::Yes },
            create("@/file/sub") + " | " + unable, "@/file/sub" },
        OkRow { "MissingNoThenNoStaysOpen", "@/gone", { Answer::No, Answer::No }, anyway("@/gone"),
            "", true },
        OkRow { "MissingNoThenYesAccepts", "@/gone", { Answer::No, Answer::Yes }, anyway("@/gone"),
            "@/gone" }),
    RowName());

TEST(LocationDialog, TreeAndSelectorFillTheEditBoxAndTheSelectionStaysWherePicked)
{
    LocationWorld w;
    w.dialog.locationEdit()->setText("preset");
    w.dialog.show();
    EXPECT_EQ(w.edit(), "preset");
    w.click(w.node("@/home"));
    EXPECT_EQ(w.edit(), w.world.path("home"));
    TShellNode *root = w.dialog.tree()->rootNode();
    w.click(root->child(ShellTreeWorld::childNames(root).indexOf("Network")));
    EXPECT_EQ(w.edit(), w.world.path("home"));
    QTest::keyClick(w.dialog.driveSelector(), Qt::Key_Down);
    EXPECT_EQ(w.edit(), w.world.path("media"));
    w.click(w.node("@/home"));
    EXPECT_EQ(w.edit(), w.world.path("home"));
    EXPECT_EQ(w.dialog.tree()->Path(), w.world.path("home"));
    EXPECT_EQ(w.dialog.driveSelector()->Drive(), 'C');
}

struct CloseRow : TableRow {
    std::function<void(TLocxxxF &)> act;
    bool staysOpen = false;
};

class LocationClose : public ::testing::TestWithParam<CloseRow> { };

TEST_P(LocationClose, ChangesNothing)
{
    LocationWorld w;
    w.world.makeFolders({ "home/a" });
    w.run("@/home/a", [&] { w.ok(); });
    bool open = false;
    const int code = w.run(
        "@/home", [&] { GetParam().act(w.dialog); }, &open);
    EXPECT_EQ(open, GetParam().staysOpen);
    EXPECT_EQ(code, QDialog::Rejected);
    EXPECT_EQ(w.dialog.resultLabel()->text(), w.world.path("home/a"));
    EXPECT_EQ(w.boxes(), "");
}

INSTANTIATE_TEST_SUITE_P(LocationDialog, LocationClose,
    ::testing::Values(CloseRow { "EscapeInTheTree",
                          [](TLocxxxF &d) { QTest::keyClick(d.tree(), Qt::Key_Escape); } },
        CloseRow { "EscapeInTheEditBox",
            [](TLocxxxF &d) { QTest::keyClick(d.locationEdit(), Qt::Key_Escape); } },
        CloseRow {
            "Cancel", [](TLocxxxF &d) { QTest::mouseClick(d.cancelButton(), Qt::LeftButton); } },
        CloseRow { "CloseBox", [](TLocxxxF &d) { d.close(); } },
        CloseRow { "ReturnInTheTreePressesNothing",
            [](TLocxxxF &d) { QTest::keyClick(d.tree(), Qt::Key_Return); }, true },
        CloseRow { "ReturnOnOkPressesNothing",
            [](TLocxxxF &d) { QTest::keyClick(d.okButton(), Qt::Key_Return); }, true },
        CloseRow { "EnterOnCancelPressesNothing",
            [](TLocxxxF &d) { QTest::keyClick(d.cancelButton(), Qt::Key_Enter); }, true }),
    RowName());

TEST(LocationDialog, ReturnOrEnterInTheEditBoxIsOk)
{
    for (const Qt::Key key : { Qt::Key_Return, Qt::Key_Enter }) {
        LocationWorld w;
        w.world.makeFolders({ "home/a" });
        const auto press = [&] { QTest::keyClick(w.dialog.locationEdit(), key); };
        EXPECT_EQ(w.run("@/home/a", press), QDialog::Accepted);
        EXPECT_EQ(w.dialog.resultLabel()->text(), w.world.path("home/a"));
        bool open = false;
        EXPECT_EQ(w.run("@/gone", press, &open), QDialog::Rejected);
        EXPECT_TRUE(open);
        EXPECT_EQ(w.boxes(), w.at(anyway("@/gone")));
    }
}

TEST(LocationDialog, AFolderWithALineBreakIsRefusedAndTheDialogStaysOpen)
{
    for (const QString name : { "new\nline", "new\rline" }) {
        LocationWorld w;
        w.world.makeFolders({ "home/" + name });
        bool open = false;
        const int code = w.run(
            "",
            [&] {
                w.click(w.node("@/home"));
                w.node("@/home")->setExpanded(true);
                w.click(w.node("@/home/" + name));
                w.ok();
            },
            &open);
        EXPECT_EQ(w.edit(), w.world.path("home/" + name));
        EXPECT_EQ(w.boxes(), "-. A location cannot contain a line break");
        EXPECT_TRUE(open);
        EXPECT_EQ(code, QDialog::Rejected);
        EXPECT_EQ(w.dialog.resultLabel()->text(), "");
    }
}

TEST(LocationDialog, AFolderThatCannotBeEnteredShowsThePlatformsMessage)
{
    LocationWorld w;
    w.world.makeFolders({ "home/locked" });
    QFile::setPermissions(w.world.dir.path(), QFile::Permissions(0x7755));
    QFile::setPermissions(w.world.path("home/locked"), {});
    w.dialog.show();
    w.click(w.node("@/home"));
    w.node("@/home")->setExpanded(true);
    // Root enters every folder: the pick's checks are made as "nobody", on this thread only.
    const bool root = geteuid() == 0;
    if (root)
        setfsuid(65534);
    w.click(w.node("@/home/locked"));
    if (root)
        setfsuid(0);
    EXPECT_EQ(w.boxes(), "E. Permission denied.");
    EXPECT_EQ(w.dialog.tree()->Path(), w.world.path("home/locked"));
    EXPECT_EQ(w.edit(), w.world.path("home"));
    QFile::setPermissions(w.world.path("home/locked"), QFile::Permissions(0x7700));
}

TEST(LocationDialog, AnchoredControlsFollowTheSize)
{
    LocationWorld w;
    w.dialog.show();
    const auto places = [&] {
        return QList<QRect> { w.dialog.tree()->geometry(), w.dialog.locationEdit()->geometry(),
            w.dialog.okButton()->geometry(), w.dialog.cancelButton()->geometry() };
    };
    EXPECT_EQ(w.dialog.size(), QSize(489, 232));
    EXPECT_EQ(places(),
        QList<QRect>(
            { { 8, 40, 473, 96 }, { 8, 173, 473, 21 }, { 8, 199, 75, 25 }, { 112, 199, 75, 25 } }));
    w.dialog.resize(589, 282);
    EXPECT_EQ(places(),
        QList<QRect>({ { 8, 40, 573, 146 }, { 8, 223, 573, 21 }, { 8, 249, 75, 25 },
            { 112, 249, 75, 25 } }));
}

// The font is set only when the dialog first shows; what shows must be sized in it.
TEST(LocationDialog, ShowsItsControlsInItsElevenPixelFontSizedToIt)
{
    LocationWorld w;
    w.dialog.show();
    const auto *label = w.dialog.findChild<QLabel *>("Label2");
    for (const QWidget *control : QList<const QWidget *> {
             label, w.dialog.locationEdit(), w.dialog.driveSelector(), w.dialog.tree() }) {
        SCOPED_TRACE(control->objectName().toStdString());
        EXPECT_EQ(control->font().families().value(0), "MS Sans Serif");
        EXPECT_EQ(control->font().pixelSize(), 11);
    }
    EXPECT_EQ(label->size(), label->sizeHint());
    EXPECT_EQ(w.dialog.driveSelector()->height(), w.dialog.driveSelector()->sizeHint().height());
}

} // namespace

TEST(LocationDialog, FoldersThatVanishLeaveTheTreeWithoutABoxAndTheEditBoxFollows)
{
    LocationWorld w;
    w.world.makeFolders({ "home/W/D/d1/x", "home/W/D/d2" });
    w.dialog.show();
    w.dialog.tree()->setPath(w.world.path("home/W/D/d1"));
    w.click(w.node("@/home/W/D/d2"));
    ASSERT_EQ(w.edit(), w.world.path("home/W/D/d2"));
    QDir(w.world.path("home/W/D")).removeRecursively();
    EXPECT_EQ_SOON(w.node("@/home/W/D"), nullptr);
    EXPECT_EQ(w.edit(), w.world.path("home/W"));
    EXPECT_EQ(w.boxes(), "");
}

TEST(LocationDialog, AFolderNamedInBytesThatAreNotTextCannotBePicked)
{
    LocationWorld w;
    w.world.makeFolders({ "home/plain" });
    const QByteArray odd = QFile::encodeName(w.world.path("home/")) + "caf\xe9";
    ASSERT_EQ(::mkdir(odd.constData(), 0700), 0);
    w.dialog.show();
    w.click(w.node("@/home"));
    w.node("@/home")->setExpanded(true);
    w.click(w.node("@/home/plain"));
    w.click(w.node("@/home")->child(0));
    EXPECT_TRUE(w.boxes().contains("is not valid text, so it cannot be a save location"));
    EXPECT_EQ(w.edit(), w.world.path("home/plain"));
}

TEST(LocationDialog, AScreenReaderNamesTheEditBoxTheTreeAndTheSelector)
{
    LocationWorld w;
    const auto name = [](QWidget *control) {
        return QAccessible::queryAccessibleInterface(control)->text(QAccessible::Name);
    };
    EXPECT_EQ(name(w.dialog.locationEdit()), "Resulting location");
    EXPECT_EQ(name(w.dialog.tree()), "Folders");
    EXPECT_EQ(name(w.dialog.driveSelector()), "Drive");
}
