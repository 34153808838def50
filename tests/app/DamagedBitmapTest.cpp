// Damaged bitmaps through every way a picture comes in (a file, a drop, the clipboard): each is
// refused or shows what was read with white for the rest, the same at every read, never memory
// the reader did not write.
#include <functional>
#include <optional>

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QMimeData>
#include <QtEndian>

#include "MainWindowFixture.h"
#include "TableRow.h"
#include "TestFiles.h"
#include "app/PictureDrop.h"
#include "files/PictureFiles.h"
#include "platform/Failure.h"

namespace {

constexpr int width = 40;
constexpr int height = 30;
constexpr int headerSize = 54; // file header and information header
constexpr int rowSize = width * 3; // 24 bits, already a multiple of 4

QImage original()
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(x * 6, y * 8, 100));
    return image;
}

QByteArray bitmap(QImage::Format format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(original().convertToFormat(format).save(&buffer, "BMP"));
    return bytes;
}

QByteArray cut(QByteArray bytes, qsizetype size)
{
    bytes.truncate(size);
    return bytes;
}

QByteArray claimingRows(QByteArray bytes, qint32 rows)
{
    qToLittleEndian(rows, bytes.data() + 22);
    return bytes;
}

// An 8-bit run-length bitmap of two palette colours: `rows` rows of one run each, bottom up,
// then the end-of-bitmap marker; `ended` false leaves the data stopping after those rows.
QByteArray runLengthBitmap(int rows, bool ended)
{
    QByteArray runs;
    for (int y = 0; y < rows; ++y)
        runs += QByteArray::fromRawData("\x28\x01\x00\x00", 4); // 40 pixels of colour 1, line end
    if (ended)
        runs += QByteArray::fromRawData("\x00\x01", 2);
    QByteArray bytes(headerSize + 2 * 4, '\0');
    char *d = bytes.data();
    d[0] = 'B';
    d[1] = 'M';
    qToLittleEndian<quint32>(quint32(bytes.size() + runs.size()), d + 2);
    qToLittleEndian<quint32>(quint32(bytes.size()), d + 10);
    qToLittleEndian<quint32>(40, d + 14);
    qToLittleEndian<qint32>(width, d + 18);
    qToLittleEndian<qint32>(height, d + 22);
    qToLittleEndian<quint16>(1, d + 26);
    qToLittleEndian<quint16>(8, d + 28);
    qToLittleEndian<quint32>(1, d + 30); // BI_RLE8
    qToLittleEndian<quint32>(2, d + 46); // colours used
    qToLittleEndian<quint32>(0x000000, d + 54); // black, the rest's fill
    qToLittleEndian<quint32>(0x00FF00, d + 58); // green
    return bytes + runs;
}

// What a read must show: the rows read from the bottom up as they were, the rest white.
QImage shownAfterReading(int rows)
{
    QImage image = original();
    for (int y = 0; y < height - rows; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(255, 255, 255));
    return image;
}

// A header that claims twice the rows: the file's rows fill the bottom half.
QImage tallShown()
{
    QImage image(width, height * 2, QImage::Format_RGB32);
    image.fill(Qt::white);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, height + y, original().pixel(x, y));
    return image;
}

QImage runLengthShown(int rows)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::black);
    for (int y = height - rows; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(0, 255, 0));
    return image;
}

struct DamagedBitmap : TableRow {
    std::function<QByteArray()> bytes;
    std::optional<QImage> shown; // nothing: refused
};

const QByteArray rgb = bitmap(QImage::Format_RGB888);
const QByteArray palette = bitmap(QImage::Format_Indexed8);

std::optional<QImage> dropped(const QByteArray &bytes)
{
    try {
        return PictureDrop { {}, bytes, "bmp" }.picture().image();
    } catch (const Failure &) {
        return std::nullopt;
    }
}

} // namespace

class DamagedBitmaps : public MainWindow, public ::testing::WithParamInterface<DamagedBitmap> {
protected:
    std::optional<QImage> opened(const QByteArray &bytes)
    {
        writeFileBytes(dir.filePath("damaged.bmp"), bytes);
        try {
            return fname2bmpimage(dir.filePath("damaged.bmp"))
                .image()
                .convertToFormat(QImage::Format_RGB32);
        } catch (const Failure &) {
            return std::nullopt;
        }
    }

    std::optional<QImage> pasted(const QByteArray &bytes)
    {
        auto *mime = new QMimeData;
        mime->setData("image/bmp", bytes);
        QApplication::clipboard()->setMimeData(mime);
        const QImage before = picture();
        prompts.boxes.clear();
        action("pasteMI")->trigger();
        if (!prompts.boxes.isEmpty())
            return std::nullopt;
        EXPECT_NE(picture().constBits(), before.constBits()) << "a paste that shows no box pastes";
        return picture();
    }
};

TEST_P(DamagedBitmaps, AreRefusedOrShowWhatWasReadTheSameAtEveryRead)
{
    const QByteArray bytes = GetParam().bytes();
    const std::optional<QImage> &shown = GetParam().shown;
    for (int read = 0; read < 2; ++read) {
        for (const std::optional<QImage> &got : { opened(bytes), dropped(bytes), pasted(bytes) }) {
            ASSERT_EQ(got.has_value(), shown.has_value());
            EXPECT_TRUE(!got || *got == *shown) << "read " << read;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Cuts, DamagedBitmaps,
    ::testing::Values(DamagedBitmap { "InTheFileHeader", [] { return cut(rgb, 10); }, {} },
        DamagedBitmap { "InTheInformationHeader", [] { return cut(rgb, 30); }, {} },
        DamagedBitmap { "InThePalette", [] { return cut(palette, headerSize + 512); }, {} },
        DamagedBitmap {
            "BeforeTheFirstRow", [] { return cut(rgb, headerSize + 46); }, shownAfterReading(0) },
        DamagedBitmap { "InTheFirstRow", [] { return cut(rgb, headerSize + rowSize / 2); },
            shownAfterReading(0) },
        DamagedBitmap { "Halfway", [] { return cut(rgb, headerSize + rowSize * 15 + 7); },
            shownAfterReading(15) },
        DamagedBitmap { "InTheLastRow", [] { return cut(rgb, rgb.size() - 1); },
            shownAfterReading(height - 1) },
        DamagedBitmap {
            "HeaderClaimsMoreRows", [] { return claimingRows(rgb, height * 2); }, tallShown() },
        DamagedBitmap { "RunLengthDataStopsEarly", [] { return runLengthBitmap(10, false); },
            runLengthShown(10) },
        DamagedBitmap { "RunLengthWhole", [] { return runLengthBitmap(height, true); },
            runLengthShown(height) }),
    RowName());
