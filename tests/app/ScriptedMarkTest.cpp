// `quillet --mark` run as a script runs it: no display, the window's blend, crop and writers.
#include <functional>

#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "TableRow.h"
#include "TestFiles.h"
#include "editor/blendcolor.h"

namespace {

const QSize size(64, 48);

QRgb original(int x, int y)
{
    return qRgb(200 + x % 50, 255 - y, (x * y) % 256);
}

// What the picture must hold afterwards at (x, y), from the original's pixels.
using Expected = std::function<QRgb(int x, int y)>;

QRgb inside(int x, int y, const QRect &rect, QRgb mark)
{
    return rect.contains(x, y) ? blendcolor(original(x, y), mark) : original(x, y);
}

struct Script : TableRow {
    QStringList arguments; // {in} and {out} stand for the input and the output
    const char *output; // the output's name
    int exitCode;
    const char *error; // the start of the one line on standard error
    QSize written; // the output's size
    Expected expected;
};

} // namespace

class ScriptedMark : public ::testing::TestWithParam<Script> {
protected:
    void SetUp() override
    {
        QImage picture(size, QImage::Format_RGB32);
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x)
                picture.setPixel(x, y, original(x, y));
        ASSERT_TRUE(picture.save(dir.filePath("in.png"), "PNG"));
        writeFileBytes(dir.filePath("damaged.bmp"), "BM not really");
    }
    QTemporaryDir dir;
};

TEST_P(ScriptedMark, WritesTheMarkedPictureOrOneLineAndNothing)
{
    const Script &row = GetParam();
    QStringList arguments;
    for (QString argument : row.arguments)
        arguments << argument.replace("{in}", dir.filePath("in.png"))
                         .replace("{out}", dir.filePath(row.output));
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(QUILLET_EXECUTABLE), arguments);
    ASSERT_TRUE(program.waitForFinished(60000));
    const QByteArray errors = program.readAllStandardError();
    EXPECT_EQ(program.exitCode(), row.exitCode) << errors.toStdString();
    EXPECT_TRUE(errors.startsWith(row.error)) << errors.toStdString();
    EXPECT_EQ(errors.count('\n'), *row.error ? 1 : 0) << errors.toStdString();
    const QImage written(dir.filePath(row.output));
    ASSERT_EQ(written.isNull() ? QSize() : written.size(), row.written)
        << "nothing is written on a failure";
    for (int y = 0; y < row.written.height(); ++y)
        for (int x = 0; x < row.written.width(); ++x)
            ASSERT_EQ(written.pixel(x, y) & 0xFFFFFF, row.expected(x, y) & 0xFFFFFF)
                << x << "," << y;
}

const QRect first(3, 4, 20, 6);

INSTANTIATE_TEST_SUITE_P(CommandLines, ScriptedMark,
    ::testing::Values(Script { "OneMarkInTheDefaultRed",
                          { "--mark", "3,4,20,6", "{in}", "--output", "{out}" }, "out.png", 0, "",
                          size, [](int x, int y) { return inside(x, y, first, qRgb(255, 0, 0)); } },
        Script { "MarksInOrderNamedAndHex",
            { "--mark", "3,4,20,6,dark-RED", "--mark", "10,5,20,10,#00ffff", "{in}", "--output",
                "{out}" },
            "out.bmp", 0, "", size,
            [](int x, int y) {
                const QRgb once = inside(x, y, first, qRgb(128, 0, 0));
                return QRect(10, 5, 20, 10).contains(x, y) ? blendcolor(once, qRgb(0, 255, 255))
                                                           : once;
            } },
        Script { "ClippedToThePicture",
            { "--mark", "50,40,100,100,Yellow", "{in}", "--output", "{out}" }, "out.png", 0, "",
            size,
            [](int x, int y) { return inside(x, y, QRect(50, 40, 14, 8), qRgb(255, 255, 0)); } },
        Script { "CropPastTheEdgeIsWhite", { "--crop", "40,30,40,30", "{in}", "--output", "{out}" },
            "out.png", 0, "", { 40, 30 },
            [](int x, int y) {
                return x < 24 && y < 18 ? original(40 + x, 30 + y) : qRgb(255, 255, 255);
            } },
        Script { "NoOutput", { "--mark", "1,1,2,2", "{in}" }, "none.png", 2,
            "quillet: --mark and --crop need --output", {}, {} },
        Script { "NotFourNumbers", { "--mark", "1,1,2", "{in}", "--output", "{out}" }, "out.png", 2,
            "quillet: --mark 1,1,2: expected X,Y,W,H", {}, {} },
        Script { "NoArea", { "--crop", "1,1,0,5", "{in}", "--output", "{out}" }, "out.png", 2,
            "quillet: --crop 1,1,0,5: the width and height must be at least 1", {}, {} },
        Script { "UnknownColour", { "--mark", "1,1,2,2,Pink", "{in}", "--output", "{out}" },
            "out.png", 2, "quillet: --mark 1,1,2,2,Pink: unknown colour", {}, {} },
        Script { "WhollyOutside", { "--mark", "100,1,2,2", "{in}", "--output", "{out}" }, "out.png",
            2, "quillet: --mark 100,1,2,2 lies wholly outside the 64 x 48 picture", {}, {} },
        Script { "MissingInput", { "--mark", "1,1,2,2", "{in}/../gone.png", "--output", "{out}" },
            "out.png", 1, "quillet: Cannot open file ", {}, {} },
        Script { "DamagedInput",
            { "--mark", "1,1,2,2", "{in}/../damaged.bmp", "--output", "{out}" }, "out.png", 1,
            "quillet: Cannot read ", {}, {} },
        Script { "UnknownExtension", { "--mark", "1,1,2,2", "{in}.gif", "--output", "{out}" },
            "out.png", 1, "quillet: Unknown picture file extension (.gif)", {}, {} },
        Script { "OutputNotWritable", { "--mark", "1,1,2,2", "{in}", "--output", "{out}" },
            "missing/out.png", 1, "quillet: Cannot create file ", {}, {} }),
    RowName());
