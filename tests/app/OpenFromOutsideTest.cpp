#include <QApplication>
#include <QBuffer>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QProcess>
#include <QUrl>

#include <sys/stat.h>

#include "JpegFrame.h"
#include "MainWindowFixture.h"
#include "TableRow.h"
#include "TestFiles.h"
#include "app/CommandLine.h"
#include "app/TMYcustomhistory.h"

namespace {

const QRgb blue = qRgb(0, 0, 255);
const QRgb green = qRgb(0, 255, 0);

// Pictures and broken files in the window's folder, for opening from outside the window.
class OpenFromOutside : public MainWindow {
protected:
    void SetUp() override
    {
        MainWindow::SetUp();
        makePicture(QStringLiteral("blue.bmp"), blue);
        makePicture(QStringLiteral("red.bmp"), qRgb(255, 0, 0), QSize(20, 10));
        writeFileBytes(dir.filePath(QStringLiteral("damaged.bmp")), "BM not a bitmap");
        writeFileBytes(dir.filePath(QStringLiteral("notes.xyz")), "text");
        ASSERT_EQ(::mkfifo(QFile::encodeName(dir.filePath(QStringLiteral("pipe.bmp"))), 0600), 0);
        ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("sub")));
        startTitle = window->windowTitle();
        before = picture().copy();
    }

    // The window shows `opened` from the test's folder, as File > Open leaves it, with
    // `history` as the history's only entry; or, for an empty `opened`, what it showed at start.
    void expectOpened(const QString &opened, const QString &history)
    {
        EXPECT_EQ(window->windowTitle(),
            opened.isEmpty() ? startTitle : QStringLiteral("Quillet - ") + path(opened));
        const QImage expected = opened.isEmpty() ? before : QImage(path(opened));
        EXPECT_EQ(picture().convertToFormat(QImage::Format_RGB32),
            expected.convertToFormat(QImage::Format_RGB32));
        EXPECT_EQ(window->history()->items(),
            history.isEmpty() ? QStringList() : QStringList { path(history) });
    }
    // The one box shown starts with `message`, or none was shown.
    void expectMessage(const QString &message)
    {
        if (message.isEmpty()) {
            EXPECT_TRUE(prompts.boxes.isEmpty()) << prompts.texts().join(u'\n').toStdString();
            return;
        }
        ASSERT_EQ(prompts.boxes.size(), 1);
        EXPECT_TRUE(prompts.boxes[0].text.startsWith(message))
            << prompts.boxes[0].text.toStdString();
    }
    // "{dir}" stands for the test's folder.
    QString inFolder(QString text) const { return text.replace(QStringLiteral("{dir}"), folder()); }

    QString startTitle;
    QImage before;
};

struct CommandLineCase : TableRow {
    QStringList arguments; // after the program's name
    const char *opened; // the picture that opens; "" for none
    const char *history; // the history's one entry; "" for none
    const char *message; // how the one box shown begins; "" for none
    const char *printed; // how the text printed instead of starting begins; "" when it starts
    int exitCode;
};

class CommandLineStart : public OpenFromOutside,
                         public ::testing::WithParamInterface<CommandLineCase> { };

TEST_P(CommandLineStart, OpensThePictureAsFileOpenDoesOrPrintsInstead)
{
    const CommandLineCase &row = GetParam();
    QStringList arguments { QStringLiteral("quillet") };
    for (const QString &argument : row.arguments)
        arguments << inFolder(argument);
    const CommandLine line = readCommandLine(arguments, folder());
    EXPECT_EQ(line.text.left(qstrlen(row.printed)).toStdString(), row.printed);
    EXPECT_EQ(line.starts(), !*row.printed);
    EXPECT_EQ(line.exitCode, row.exitCode);
    // As the program does once its window shows.
    if (!line.picture.isEmpty())
        window->openFromOutside(line.picture);
    expectOpened(QString::fromUtf8(row.opened), QString::fromUtf8(row.history));
    expectMessage(inFolder(QString::fromUtf8(row.message)));
}

INSTANTIATE_TEST_SUITE_P(Arguments, CommandLineStart,
    ::testing::Values(
        CommandLineCase { "Picture", { "{dir}/blue.bmp" }, "blue.bmp", "blue.bmp", "", "", 0 },
        CommandLineCase { "Missing", { "{dir}/gone.bmp" }, "", "gone.bmp",
            "Cannot open file {dir}/gone.bmp", "", 0 },
        CommandLineCase { "Damaged", { "{dir}/damaged.bmp" }, "", "damaged.bmp",
            "Cannot read {dir}/damaged.bmp: the file is damaged", "", 0 },
        CommandLineCase { "UnknownKind", { "{dir}/notes.xyz" }, "", "notes.xyz",
            "Unknown picture file extension (.xyz)", "", 0 },
        CommandLineCase { "NamedPipe", { "{dir}/pipe.bmp" }, "", "pipe.bmp",
            "Cannot open file {dir}/pipe.bmp: it is not a regular file", "", 0 },
        CommandLineCase { "RelativeToTheCurrentFolder", { "sub/../blue.bmp" }, "blue.bmp",
            "blue.bmp", "", "", 0 },
        CommandLineCase { "None", {}, "", "", "", "", 0 },
        CommandLineCase { "SeveralOpenTheFirst", { "{dir}/red.bmp", "{dir}/blue.bmp" }, "red.bmp",
            "red.bmp", "", "", 0 },
        CommandLineCase { "Help", { "--help", "{dir}/blue.bmp" }, "", "", "", "Usage: ", 0 },
        CommandLineCase { "Version", { "--version" }, "", "", "", "Quillet 1.0\n", 0 },
        CommandLineCase {
            "UnknownOption", { "--bogus" }, "", "", "", "quillet: Unknown option 'bogus'.", 2 }),
    RowName());

// The program itself, under a window system that cannot start.
TEST(CommandLineProgram, HelpAndVersionPrintAndEndWithoutStartingTheWindowSystem)
{
    const auto run = [](const QString &argument) {
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("no-such-platform"));
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(QUILLET_EXECUTABLE), { argument });
        EXPECT_TRUE(program.waitForFinished(60000));
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();
        return program.readAllStandardOutput();
    };
    const QByteArray help = run(QStringLiteral("--help"));
    EXPECT_TRUE(help.startsWith("Usage: ")) << help.toStdString();
    EXPECT_TRUE(help.contains("[picture]") && help.contains("--version")) << help.toStdString();
    EXPECT_EQ(run(QStringLiteral("--version")), "Quillet 1.0\n");
}

QByteArray encoded(const QImage &image, const char *format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(image.save(&buffer, format));
    return bytes;
}

QImage filled(QSize size, QRgb color)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

struct DropCase : TableRow {
    void (*fill)(QMimeData &mime, const QDir &dir);
    bool taken;
    const char *opened; // the picture file that opens; "" for none
    QRgb pasted; // the colour of the picture pasted; 0 for none
    const char *message; // how the one box shown begins; "" for none
};

class Drop : public OpenFromOutside, public ::testing::WithParamInterface<DropCase> { };

TEST_P(Drop, OpensOnePictureFilePastesPictureDataAndRefusesTheRest)
{
    const DropCase &row = GetParam();
    QMimeData mime;
    row.fill(mime, QDir(dir.path()));
    // Shift proposes a move: the program that the drag comes from must keep what it gave.
    QDragEnterEvent enter(QPoint(300, 300), Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton,
        Qt::ShiftModifier);
    QApplication::sendEvent(window.get(), &enter);
    EXPECT_EQ(enter.isAccepted(), row.taken);
    QDropEvent drop(QPointF(300, 300), Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton,
        Qt::ShiftModifier);
    QApplication::sendEvent(window.get(), &drop);
    EXPECT_EQ(drop.isAccepted(), row.taken);
    if (row.taken) {
        EXPECT_EQ(drop.dropAction(), Qt::CopyAction);
    }
    QCoreApplication::processEvents();

    if (row.pasted) {
        EXPECT_EQ(picture().size(), QSize(40, 30));
        EXPECT_EQ(picture().pixel(1, 1), row.pasted);
        EXPECT_EQ(window->windowTitle(), startTitle) << "a paste names no file";
        EXPECT_TRUE(window->history()->items().isEmpty());
    } else {
        expectOpened(QString::fromUtf8(row.opened), QString::fromUtf8(row.opened));
    }
    expectMessage(QString::fromUtf8(row.message));
}

INSTANTIATE_TEST_SUITE_P(Kinds, Drop,
    ::testing::Values(
        DropCase { "OnePictureFile",
            [](QMimeData &mime, const QDir &dir) {
                mime.setUrls({ QUrl::fromLocalFile(dir.filePath(QStringLiteral("blue.bmp"))) });
            },
            true, "blue.bmp", 0, "" },
        DropCase { "PngData",
            [](QMimeData &mime, const QDir &) {
                mime.setData(
                    QStringLiteral("image/png"), encoded(filled({ 40, 30 }, green), "PNG"));
            },
            true, "", green, "" },
        DropCase { "JpegDataAboveTheLimitOfAPaste",
            [](QMimeData &mime, const QDir &) {
                const QByteArray small = encoded(filled({ 16, 16 }, green), "JPEG");
                mime.setData(
                    QStringLiteral("image/jpeg"), picturetest::withFrameSize(small, 9000, 9000));
            },
            true, "", 0, "The picture is too large to open: 9000 x 9000 pixels" },
        DropCase { "Text",
            [](QMimeData &mime, const QDir &) { mime.setText(QStringLiteral("blue.bmp")); }, false,
            "", 0, "" },
        DropCase { "TwoFiles",
            [](QMimeData &mime, const QDir &dir) {
                mime.setUrls({ QUrl::fromLocalFile(dir.filePath(QStringLiteral("blue.bmp"))),
                    QUrl::fromLocalFile(dir.filePath(QStringLiteral("red.bmp"))) });
            },
            false, "", 0, "" }),
    RowName());

} // namespace
