// Every file Quillet writes, driven through its real caller into each failure a disk produces:
// the old bytes stay, no temporary file is left, and the caller's own message is shown.
#include <memory>
#include <vector>

#include <QDir>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "FakePrompts.h"
#include "FullFileSystem.h"
#include "MainWindowFixture.h"
#include "ResourceLimit.h"
#include "TableRow.h"
#include "TestFiles.h"
#include "app/Settings.h"
#include "app/TMYcustomhistory.h"
#include "files/FileSession.h"
#include "files/RecentFiles.h"
#include "platform/AtomicFile.h"
#include "platform/Failure.h"
#include "platform/ProfileFile.h"

namespace {

using Step = AtomicFile::Step;
// The writer's own steps first, each made to fail through its seam; then what the disk does.
enum class Fault { Create, Write, Flush, Sync, Rename, FileSizeLimit, FullDisk };
static_assert(int(Fault::Rename) == int(Step::Rename));

struct Writer {
    const char *name;
    const char *file;
    const char *message; // %1: the file's native path
    // Writes the file through its caller; returns everything the user was told.
    QStringList (*write)(const QString &folder, FakePrompts &prompts);
    bool large; // past the writer's buffer, so that a write fails before the flush
};

QStringList failureOf(const std::function<void()> &work)
{
    try {
        work();
    } catch (const Failure &failure) {
        return { failure.message() };
    }
    return {};
}

QStringList writeSettingsFile(const QString &folder, FakePrompts &)
{
    return failureOf([&] {
        ProfileFile file(folder + "/quillet.ini");
        writeSettings(file, Settings { "/somewhere/else", true, qRgb(1, 2, 3) });
    });
}

QStringList setHistoryLimit(
    const QString &folder, FakePrompts &prompts, void (TMYcustomhistory::*click)())
{
    TMYcustomhistory history(prompts, folder);
    history.setHistname("quilletfiles.his");
    history.setMaxhistname("quilletmax.his");
    history.setMaxitemlenname("quilletmaxlen.his");
    prompts.inputAnswers.push_back("5");
    const QStringList failure = failureOf([&] { (history.*click)(); });
    return failure + prompts.texts();
}

QImage noise(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB888);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(x * 7 + y, y * 13, x ^ y));
    return image;
}

QStringList savePicture(const QString &folder, FakePrompts &prompts)
{
    RecentFiles history(prompts, folder);
    FileSession session(prompts, history);
    QStringList told;
    QObject::connect(&session, &FileSession::statusChanged, [&](const QString &s) { told << s; });
    session.start(folder, folder);
    session.open(folder + "/picture.bmp");
    session.save(Picture(noise(200, 150)));
    return told + prompts.texts();
}

const std::vector<Writer> writers = {
    { "Settings", "quillet.ini", "Unable to write to %1", writeSettingsFile, false },
    { "RecentFiles", "quilletfiles.his", "Cannot create file %1",
        [](const QString &folder, FakePrompts &prompts) {
            RecentFiles history(prompts, folder);
            history.setHistname("quilletfiles.his");
            return failureOf([&] { history.additem("/p/new.jpg"); });
        },
        false },
    { "HistoryCount", "quilletmax.his", "Unable to save max history file %1!!",
        [](const QString &folder, FakePrompts &prompts) {
            return setHistoryLimit(folder, prompts, &TMYcustomhistory::setmaxhistclick);
        },
        false },
    { "HistoryLength", "quilletmaxlen.his", "Unable to save max history file %1!!",
        [](const QString &folder, FakePrompts &prompts) {
            return setHistoryLimit(folder, prompts, &TMYcustomhistory::setmaxitemlenclick);
        },
        false },
    { "Picture", "picture.bmp", "Could not save. Choose other file name or path.", savePicture,
        true },
};

struct WriteFailure : TableRow {
    Writer writer;
    Fault fault;
};

std::vector<WriteFailure> rows()
{
    const std::pair<Fault, const char *> faults[]
        = { { Fault::Create, "Create" }, { Fault::Write, "Write" }, { Fault::Flush, "Flush" },
              { Fault::Sync, "Sync" }, { Fault::Rename, "Rename" },
              { Fault::FileSizeLimit, "FileSizeLimit" }, { Fault::FullDisk, "FullDiskAsRoot" } };
    static std::vector<std::string> names;
    std::vector<WriteFailure> result;
    names.reserve(std::size(writers) * std::size(faults));
    for (const Writer &writer : writers) {
        for (const auto &[fault, faultName] : faults) {
            // A small file is written in one go, at the flush.
            if (fault == Fault::Write && !writer.large)
                continue;
            names.push_back(std::string(writer.name) + "_" + faultName);
            result.push_back({ { names.back().c_str() }, writer, fault });
        }
    }
    return result;
}

// The writer's temporary files are hidden ones beside the target.
QStringList hiddenFiles(const QString &folder)
{
    return QDir(folder).entryList({ ".*" }, QDir::Files | QDir::Hidden | QDir::System);
}

} // namespace

class WriteFailures : public ::testing::TestWithParam<WriteFailure> {
protected:
    void TearDown() override { AtomicFile::failStepForTesting(std::nullopt); }

    QTemporaryDir plain;
    FullFileSystem full;
    FakePrompts prompts;
};

TEST_P(WriteFailures, KeepTheOldFileLeaveNoTemporaryAndSaySo)
{
    const Writer &writer = GetParam().writer;
    const Fault fault = GetParam().fault;
    if (fault == Fault::FullDisk && !full.available()) {
        GTEST_SKIP() << "mounting a small tmpfs needs root";
    }
    const QString folder = fault == Fault::FullDisk ? full.path() : plain.path();
    const QString target = QDir::toNativeSeparators(folder + "/" + writer.file);
    if (writer.large)
        ASSERT_TRUE(noise(120, 90).save(target, "BMP"));
    else
        writeFileBytes(target, "old contents\r\n");
    const QByteArray old = fileBytes(target);

    QStringList told;
    if (fault == Fault::FullDisk) {
        full.fill();
        told = writer.write(folder, prompts);
    } else if (fault == Fault::FileSizeLimit) {
        const FileSizeLimit limit(2);
        told = writer.write(folder, prompts);
    } else {
        AtomicFile::failStepForTesting(Step(int(fault)));
        told = writer.write(folder, prompts);
    }
    AtomicFile::failStepForTesting(std::nullopt);

    EXPECT_EQ(fileBytes(target), old);
    EXPECT_EQ(hiddenFiles(folder), QStringList());
    const QString message = QString(writer.message);
    EXPECT_TRUE(told.contains(message.contains("%1") ? message.arg(target) : message))
        << told.join('|').toStdString();
    EXPECT_EQ(told.contains("NOT Saved"), writer.large) << "the picture's status line";
}

INSTANTIATE_TEST_SUITE_P(Writers, WriteFailures, ::testing::ValuesIn(rows()), RowName());

// The program itself with its folder on a full disk: a chosen recent file and the close both
// fail to write, are reported, and leave the settings and the history as they were.
class MainWindowOnAFullDisk : public MainWindow {
protected:
    void SetUp() override { }
    QString exePath() const { return full.path() + "/quillet"; }
    FullFileSystem full;
};

TEST_F(MainWindowOnAFullDisk, KeepsSettingsAndHistoryWholeAndSaysSoAsRoot)
{
    if (!full.available()) {
        GTEST_SKIP() << "mounting a small tmpfs needs root";
    }
    const QString shown = makePicture("shown.bmp", qRgb(9, 9, 9), QSize(31, 17));
    const QString ini = full.path() + "/quillet.ini";
    const QString list = full.path() + "/quilletfiles.his";
    writeFileBytes(ini, "[Location]\r\nSave=/kept\r\n[General]\r\nSelection mode=0\r\n");
    writeFileBytes(list, "/older.jpg\r\n" + QFile::encodeName(shown) + "\r\n");
    window = std::make_unique<TmainF>(
        prompts, [this]() -> Printer & { return printer; }, exePath());
    window->show();
    full.fill();
    const QByteArray iniBefore = fileBytes(ini);
    const QByteArray listBefore = fileBytes(list);

    menu("OpenMI")->actions().last()->trigger(); // the second entry, the picture
    action("selectionmodeMI")->trigger();
    window->close();

    EXPECT_EQ(picture().size(), QSize(31, 17));
    EXPECT_EQ(fileBytes(ini), iniBefore);
    EXPECT_EQ(fileBytes(list), listBefore);
    EXPECT_TRUE(prompts.texts().contains("Cannot create file " + list + "."));
    EXPECT_TRUE(prompts.texts().contains("Unable to write to " + ini + "."));
}
