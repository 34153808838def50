#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <future>
#include <optional>
#include <thread>
#include <unistd.h>

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QPointer>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "FakePrompts.h"
#include "TableRow.h"
#include "TestFiles.h"
#include "app/TMYcustomhistory.h"
#include "platform/AppInfo.h"
#include "platform/Command.h"
#include "platform/Failure.h"

namespace {

QByteArray lines(int first, int count)
{
    QByteArray data;
    for (int i = first; i < first + count; ++i)
        data += "/p/" + QByteArray::number(i) + ".jpg\r\n";
    return data;
}

} // namespace

class History : public ::testing::Test {
protected:
    History()
    {
        openMenu.addAction("Browse...");
        openMenu.addSeparator();
        history.setMenuitem(&openMenu);
        history.setHistname("quilletfiles.his");
        history.setMaxhistname("quilletmax.his");
        history.setMaxitemlenname("quilletmaxlen.his");
    }
    QString path(const char *name) const { return dir.filePath(name); }
    QByteArray bytes(const char *name) const { return fileBytes(path(name)); }
    void write(const char *name, const QByteArray &data) { writeFileBytes(path(name), data); }
    // The entries shown after ">>>".
    QStringList entries() const { return menuCaptions(&openMenu).mid(3); }
    QStringList removers() const { return menuCaptions(history.historyMenu()).mid(8); }
    void trigger(const QString &caption, QMenu *menu = nullptr)
    {
        if (QAction *action = menuItem(menu ? menu : history.historyMenu(), caption))
            action->trigger();
    }
    void setLimit(const char *caption, const QString &answer)
    {
        prompts.inputAnswers.push_back(answer);
        trigger(caption);
    }

    QTemporaryDir dir;
    FakePrompts prompts;
    QMenu openMenu;
    TMYcustomhistory history { prompts, dir.path() + "/" };
};

TEST_F(History, FirstStartWritesAnEmptyListAndBuildsTheFixedMenu)
{
    history.loadhistory();
    EXPECT_EQ(history.maxhist(), 10);
    EXPECT_EQ(history.maxitemlen(), 2000);
    EXPECT_EQ(bytes("quilletfiles.his"), "");
    EXPECT_FALSE(QFile::exists(path("quilletmax.his")));
    EXPECT_EQ(menuCaptions(&openMenu), QStringList({ "Browse...", "-", ">>>" }));
    EXPECT_EQ(menuCaptions(history.historyMenu()),
        QStringList({ "HISTORY MENU:", "-", "Set &max. history items", "-",
            "Set ma&x. length per item", "-", "Remove ALL history", "-" }));
    EXPECT_TRUE(prompts.boxes.isEmpty());
}

// QSaveFile replaces a file it writes, so an unchanged inode means it was not written.
TEST_F(History, AStartLeavesAListFileThatHoldsTheListAsItIs)
{
    const auto inode = [this] {
        struct stat info { };
        return ::stat(QFile::encodeName(path("quilletfiles.his")).constData(), &info) == 0
            ? info.st_ino
            : 0;
    };
    write("quilletfiles.his", lines(0, 3));
    const auto written = inode();
    history.loadhistory();
    EXPECT_EQ(inode(), written);
    history.additem("/p/new.jpg");
    EXPECT_NE(inode(), written);
    EXPECT_EQ(bytes("quilletfiles.his"), "/p/new.jpg\r\n" + lines(0, 3));
}

TEST_F(History, EntriesAndRemoveItemsCarryTheirListIndex)
{
    history.loadhistory();
    history.additem("/p/a.jpg");
    history.additem("/p/b&c.jpg");
    EXPECT_EQ(entries(), QStringList({ "/p/b&c.jpg", "/p/a.jpg" }));
    EXPECT_EQ(removers(), QStringList({ "remove /p/b&c.jpg", "remove /p/a.jpg" }));
    EXPECT_EQ(openMenu.actions().last()->data().toInt(), 1);
    EXPECT_EQ(history.historyMenu()->actions().last()->data().toInt(), 1);
    EXPECT_EQ(bytes("quilletfiles.his"), "/p/b&c.jpg\r\n/p/a.jpg\r\n");
}

TEST_F(History, AddingMovesAnEntryEqualButForTheCaseOfAToZ)
{
    write("quilletfiles.his", "/p/a\r\n/p/X\r\n/p/b\r\n/p/x\r\n/p/\xC3\x84\r\n");
    history.loadhistory();
    history.additem("/p/x");
    history.additem(QString::fromUtf8("/p/\xC3\xA4"));
    // The last of two equal entries moves; non-ASCII letters are not folded.
    EXPECT_EQ(bytes("quilletfiles.his"),
        "/p/\xC3\xA4\r\n/p/x\r\n/p/a\r\n/p/X\r\n/p/b\r\n/p/\xC3\x84\r\n");
    history.additem("/P/A");
    EXPECT_EQ(history.items().first(), "/P/A");
    EXPECT_EQ(history.items().size(), 6);
}

TEST_F(History, AFullListDropsItsLastEntryAndACountOfZeroKeepsNothing)
{
    write("quilletfiles.his", lines(0, 10));
    history.loadhistory();
    history.additem("/p/new.jpg");
    EXPECT_EQ(bytes("quilletfiles.his"), "/p/new.jpg\r\n" + lines(0, 9));
    setLimit("Set &max. history items", "0");
    history.additem("/p/other.jpg");
    EXPECT_EQ(bytes("quilletfiles.his"), "");
    EXPECT_TRUE(entries().isEmpty());
}

TEST_F(History, LimitsShortenTheListAndTheCaptions)
{
    write("quilletfiles.his", lines(0, 8));
    history.loadhistory();
    setLimit("Set &max. history items", "3");
    EXPECT_EQ(prompts.inputs.first().caption, "Set maximum history items");
    EXPECT_EQ(prompts.inputs.first().prompt, "Give maximum history items (max. 100)");
    EXPECT_EQ(prompts.inputs.first().text, "10");
    EXPECT_EQ(bytes("quilletfiles.his"), lines(0, 3));
    EXPECT_EQ(bytes("quilletmax.his"), "3\r\n");

    history.additem("/p/abcdefghijklmnopqrstuvw.jpg");
    setLimit("Set ma&x. length per item", "20");
    EXPECT_EQ(prompts.inputs.last().prompt, "Give maximum length of one history item (max. 10000)");
    EXPECT_EQ(entries().first(), "...klmnopqrstuvw.jpg");
    EXPECT_EQ(removers().first(), "remove ...rstuvw.jpg");
    EXPECT_EQ(bytes("quilletmaxlen.his"), "20\r\n");
    // Below 7 the remove items are cut to nothing rather than left whole.
    setLimit("Set ma&x. length per item", "5");
    EXPECT_EQ(entries().first(), "...pg");
    EXPECT_EQ(removers().first(), "remove ...");
    EXPECT_TRUE(prompts.boxes.isEmpty());
}

struct LimitInput : TableRow {
    const char *item;
    std::optional<QString> answer;
    QString box; // empty: no box
};
class LimitDialog : public History, public ::testing::WithParamInterface<LimitInput> { };
TEST_P(LimitDialog, RefusesBadNumbersAndKeepsTheLimits)
{
    history.loadhistory();
    prompts.inputAnswers.push_back(GetParam().answer);
    trigger(GetParam().item);
    EXPECT_EQ(
        prompts.texts(), GetParam().box.isEmpty() ? QStringList() : QStringList(GetParam().box));
    for (const FakePrompts::Box &box : prompts.boxes)
        EXPECT_EQ(box.caption, "Error");
    EXPECT_EQ(history.maxhist(), 10);
    EXPECT_EQ(history.maxitemlen(), 2000);
    EXPECT_FALSE(QFile::exists(path("quilletmax.his")) || QFile::exists(path("quilletmaxlen.his")));
}
INSTANTIATE_TEST_SUITE_P(Inputs, LimitDialog,
    ::testing::Values(
        LimitInput { "Letters", "Set &max. history items", "abc", "Invalid number!!" },
        LimitInput { "Empty", "Set &max. history items", "", "Invalid number!!" },
        LimitInput { "Huge", "Set &max. history items", "99999999999", "Invalid number!!" },
        LimitInput {
            "CountAbove100", "Set &max. history items", "101", "Number must be between 0 and 100" },
        LimitInput {
            "Negative", "Set &max. history items", "-1", "Number must be between 0 and 100" },
        LimitInput { "LengthAbove10000", "Set ma&x. length per item", "10001",
            "Number must be between 0 and 10000" },
        LimitInput { "Cancelled", "Set ma&x. length per item", std::nullopt, "" }),
    RowName());

TEST_F(History, RemovingKeepsTheChosenItemAliveUntilItsHandlerReturns)
{
    history.loadhistory();
    history.additem("/p/a");
    history.additem("/p/b");
    QPointer<QAction> chosen = menuItem(history.historyMenu(), "remove /p/b");
    chosen->trigger();
    EXPECT_FALSE(chosen.isNull());
    EXPECT_EQ(entries(), QStringList({ "/p/a" }));
    EXPECT_EQ(bytes("quilletfiles.his"), "/p/a\r\n");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(chosen.isNull());
}

TEST_F(History, RemoveAllAsksFirstAndNeverOnAnEmptyList)
{
    history.loadhistory();
    trigger("Remove ALL history");
    EXPECT_EQ(prompts.texts(), QStringList({ "History is already empty!" }));
    EXPECT_EQ(prompts.boxes.first().caption, applicationTitle());
    history.additem("/p/a");
    prompts.answers = { Prompts::Answer::No, Prompts::Answer::Yes };
    trigger("Remove ALL history");
    EXPECT_EQ(prompts.boxes.last().buttons, Prompts::Buttons::YesNo);
    EXPECT_EQ(prompts.boxes.last().text, "Really want to remove all history items??");
    EXPECT_EQ(bytes("quilletfiles.his"), "/p/a\r\n");
    trigger("Remove ALL history");
    EXPECT_EQ(bytes("quilletfiles.his"), "");
    EXPECT_TRUE(entries().isEmpty() && removers().isEmpty());
}

TEST_F(History, ChoosingAnEntryMovesItUpAndHandsItToTheOwner)
{
    history.loadhistory();
    history.additem("/p/a");
    history.additem("/p/b");
    trigger("/p/a", &openMenu);
    EXPECT_EQ(prompts.texts(), QStringList({ "onitemclicked not assigned yet" }));
    QStringList opened;
    history.Onitemclicked = [&](TMYcustomhistory *sender, const QString &str) {
        EXPECT_EQ(sender, &history);
        opened << str;
    };
    trigger("/p/b", &openMenu);
    EXPECT_EQ(opened, QStringList({ "/p/b" }));
    EXPECT_EQ(bytes("quilletfiles.his"), "/p/b\r\n/p/a\r\n");
}

TEST_F(History, EnabledAppliesToTheEntriesOnly)
{
    history.loadhistory();
    history.additem("/p/a");
    history.setEnabled(false);
    history.additem("/p/b");
    for (QAction *action : openMenu.actions().mid(3))
        EXPECT_FALSE(action->isEnabled());
    EXPECT_TRUE(history.historyMenu()->menuAction()->isEnabled());
    EXPECT_TRUE(menuItem(history.historyMenu(), "remove /p/b")->isEnabled());
    history.setEnabled(true);
    EXPECT_TRUE(openMenu.actions().last()->isEnabled());
}

struct ListFile : TableRow {
    QByteArray stored;
    QByteArray rewritten;
};
class ListFileLines : public History, public ::testing::WithParamInterface<ListFile> { };
TEST_P(ListFileLines, AreReadAtAnyLineEndAndWrittenBackWithCrLf)
{
    write("quilletfiles.his", GetParam().stored);
    history.loadhistory();
    EXPECT_EQ(bytes("quilletfiles.his"), GetParam().rewritten);
}
INSTANTIATE_TEST_SUITE_P(Files, ListFileLines,
    ::testing::Values(ListFile { "LfOnly", "a\nb\n", "a\r\nb\r\n" },
        ListFile { "CrOnly", "a\rb\r", "a\r\nb\r\n" },
        ListFile { "LastLineWithoutEnd", "a\r\nb", "a\r\nb\r\n" },
        ListFile { "EmptyLinesAreEntries", "a\r\n\r\n\nb", "a\r\n\r\n\r\nb\r\n" },
        ListFile { "NulBytesAreKeptWithTheEntriesAfterThem", QByteArray("a\r\nb\0c\r\nd", 9),
            QByteArray("a\r\nb\0c\r\nd\r\n", 11) },
        ListFile { "ALeadingNulIsKept", QByteArray("\0/a.jpg\r\n/b.jpg", 15),
            QByteArray("\0/a.jpg\r\n/b.jpg\r\n", 17) },
        ListFile { "BlanksKept", " a \r\n", " a \r\n" }),
    RowName());

TEST_F(History, AnEntryHoldingANulByteShowsItAsAReplacementCharacter)
{
    write("quilletfiles.his", QByteArray("/a.jpg\r\n/x\0y.jpg\r\n/b.jpg\r\n", 24));
    history.loadhistory();
    EXPECT_EQ(history.items(), QStringList({ "/a.jpg", "/x\uFFFDy.jpg", "/b.jpg" }));
}

TEST_F(History, LongListsShowOnlyMaxhistButKeepEveryLine)
{
    write("quilletfiles.his", lines(0, 100000));
    write("quilletmax.his", "12\r\n");
    history.loadhistory();
    EXPECT_EQ(entries().size(), 12);
    EXPECT_EQ(removers().size(), 12);
    EXPECT_EQ(prompts.texts(), QStringList({ "count > maxhist??" }));
    EXPECT_EQ(bytes("quilletfiles.his"), lines(0, 100000));
}

struct NumberFile : TableRow {
    QByteArray count;
    QByteArray length;
    int maxhist;
    int maxitemlen;
    QStringList warnings;
};
class NumberFiles : public History, public ::testing::WithParamInterface<NumberFile> { };
TEST_P(NumberFiles, HoldOneDecimalLineWithinTheDialogsRange)
{
    write("quilletmax.his", GetParam().count);
    write("quilletmaxlen.his", GetParam().length);
    history.loadhistory();
    EXPECT_EQ(history.maxhist(), GetParam().maxhist);
    EXPECT_EQ(history.maxitemlen(), GetParam().maxitemlen);
    EXPECT_EQ(prompts.texts(), GetParam().warnings);
    for (const FakePrompts::Box &box : prompts.boxes)
        EXPECT_EQ(box.caption, "Warning");
}
const QStringList bothInvalid { "Invalid number in quilletmax.his",
    "Invalid number in quilletmaxlen.his" };
INSTANTIATE_TEST_SUITE_P(Files, NumberFiles,
    ::testing::Values(NumberFile { "Plain", "3\r\n", "40\r\n", 3, 40, {} },
        NumberFile { "SignedLeadingZerosFirstLineOnly", "+007\r\nx", "0\nabc", 7, 0, {} },
        NumberFile { "Empty", "", "", 10, 2000, bothInvalid },
        NumberFile { "Garbage", "12abc", "\xFF\xFE", 10, 2000, bothInvalid },
        NumberFile { "HugeNumbers", "99999999999999999999", "-99999999999", 10, 2000, bothInvalid },
        NumberFile { "OutsideTheDialogsRange", "-3", "70000", 10, 2000, bothInvalid },
        NumberFile { "JustAboveTheRange", "101", "10001", 10, 2000, bothInvalid },
        NumberFile { "NulFirstAndTrailingBlank",
            QByteArray("\0"
                       "5",
                2),
            "10000 ", 10, 2000, bothInvalid }),
    RowName());

TEST_F(History, GarbageListFileLoadsWithoutHarm)
{
    QByteArray garbage;
    for (int i = 0; i < 5000; ++i)
        garbage += char((i * 7919) % 251 + 1);
    write("quilletfiles.his", garbage);
    history.loadhistory();
    EXPECT_LE(entries().size(), 10);
    EXPECT_FALSE(history.items().isEmpty());
}

TEST_F(History, AFolderInPlaceOfAFileIsAFailureAndLosesNothing)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir("quilletmax.his"));
    write("quilletfiles.his", "/p/a\r\n");
    runCommand(prompts, [&] { history.loadhistory(); });
    EXPECT_EQ(prompts.texts(),
        QStringList(
            { "Cannot open file " + QDir::toNativeSeparators(path("quilletmax.his")) + "." }));
    EXPECT_EQ(bytes("quilletfiles.his"), "/p/a\r\n");
    EXPECT_TRUE(history.items().isEmpty());
}

TEST_F(History, ANamedPipeInPlaceOfAFileIsRefusedWithoutWaitingForAWriter)
{
    const QByteArray pipe = QFile::encodeName(path("quilletmax.his"));
    ASSERT_EQ(mkfifo(pipe.constData(), 0600), 0);
    std::promise<void> loaded;
    std::atomic<bool> waited = false;
    // Should the load wait on the pipe, a writer that comes and goes gives it the end of the
    // data, so the test fails instead of hanging.
    std::thread watchdog([&, finished = loaded.get_future()] {
        if (finished.wait_for(std::chrono::seconds(5)) == std::future_status::ready)
            return;
        waited = true;
        ::close(::open(pipe.constData(), O_WRONLY));
    });
    runCommand(prompts, [&] { history.loadhistory(); });
    loaded.set_value();
    watchdog.join();
    EXPECT_FALSE(waited) << "the load waited for a writer";
    EXPECT_EQ(
        prompts.texts(), QStringList({ "Cannot open file " + QString::fromLocal8Bit(pipe) + "." }));
}

TEST_F(History, AListFileThatCannotBeWrittenStillOpensTheChosenEntry)
{
    history.loadhistory();
    history.additem("/p/a");
    history.additem("/p/b");
    ASSERT_TRUE(QFile::remove(path("quilletfiles.his")));
    ASSERT_TRUE(QDir(dir.path()).mkpath("quilletfiles.his/kept"));
    QStringList opened;
    history.Onitemclicked = [&](TMYcustomhistory *, const QString &str) { opened << str; };
    trigger("/p/a", &openMenu);
    EXPECT_EQ(opened, QStringList({ "/p/a" }));
    const QString listPath = QDir::toNativeSeparators(path("quilletfiles.his"));
    EXPECT_EQ(prompts.texts(), QStringList({ "Cannot create file " + listPath + "." }));
    EXPECT_EQ(entries(), QStringList({ "/p/a", "/p/b" }));
    EXPECT_TRUE(QFileInfo(path("quilletfiles.his/kept")).isDir());

    ASSERT_TRUE(QDir(dir.path()).mkdir("quilletmax.his"));
    setLimit("Set &max. history items", "1");
    EXPECT_EQ(history.maxhist(), 1);
    EXPECT_EQ(entries(), QStringList({ "/p/a" }));
    EXPECT_TRUE(prompts.texts().contains("Unable to save max history file "
        + QDir::toNativeSeparators(path("quilletmax.his")) + "!!"));
}

// A Latin-1 "é" and two bytes that are no UTF-8 at all: each entry is written back as read.
const QByteArray notUtf8 = "/p/a.jpg\r\n/p/caf\xE9.jpg\r\n/p/\xFF\xFE.jpg\r\n";

struct ListChange : TableRow {
    void (*change)(TMYcustomhistory &, QMenu &openMenu);
    QByteArray rewritten;
};
class EntryBytes : public History, public ::testing::WithParamInterface<ListChange> { };
TEST_P(EntryBytes, AreWrittenBackAsTheyWereRead)
{
    write("quilletfiles.his", notUtf8);
    history.loadhistory();
    GetParam().change(history, openMenu);
    EXPECT_EQ(bytes("quilletfiles.his"), GetParam().rewritten);
}
INSTANTIATE_TEST_SUITE_P(Changes, EntryBytes,
    ::testing::Values(ListChange { "AnotherFileIsAdded",
                          [](TMYcustomhistory &history, QMenu &) { history.additem("/p/new.jpg"); },
                          "/p/new.jpg\r\n" + notUtf8 },
        // The entries follow "Browse...", "-" and ">>>"; the remove items follow the marker.
        ListChange { "AnEntryIsChosen",
            [](TMYcustomhistory &, QMenu &openMenu) { openMenu.actions()[5]->trigger(); },
            "/p/\xFF\xFE.jpg\r\n/p/a.jpg\r\n/p/caf\xE9.jpg\r\n" },
        ListChange { "AnotherEntryIsRemoved",
            [](TMYcustomhistory &history, QMenu &) {
                history.historyMenu()->actions()[8]->trigger();
            },
            "/p/caf\xE9.jpg\r\n/p/\xFF\xFE.jpg\r\n" }),
    RowName());
