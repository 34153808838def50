#include "files/PicturePreview.h"

#include <functional>

#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "PictureTestData.h"
#include "TableRow.h"
#include "TestFiles.h"

namespace {

const QSize box(240, 240);

QByteArray encoded(QSize size, const char *format)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(qRgb(10, 120, 200));
    return picturetest::qtEncoded(image, format);
}

struct PreviewCase : TableRow {
    const char *fileName;
    std::function<void(const QString &path)> make;
    QSize shown; // empty: "No preview"
    QSize size;
};

std::function<void(const QString &)> bytes(const QByteArray &content)
{
    return [content](const QString &path) { writeFileBytes(path, content); };
}

} // namespace

class Previews : public ::testing::TestWithParam<PreviewCase> { };

TEST_P(Previews, FitTheBoxUprightOrShowNoPreview)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(GetParam().fileName);
    GetParam().make(path);
    const PicturePreviewer::Preview preview = PicturePreview().preview(path, box);
    const bool none = preview.image.isNull();
    EXPECT_EQ(none ? QSize() : preview.image.size(), GetParam().shown);
    EXPECT_EQ(none ? QSize() : preview.size, GetParam().size);
}

INSTANTIATE_TEST_SUITE_P(Files, Previews,
    ::testing::Values(PreviewCase { "WideJpegScaledDown", "wide.jpg",
                          bytes(encoded({ 3840, 2160 }, "jpeg")), { 240, 135 }, { 3840, 2160 } },
        PreviewCase { "SmallPngNeverEnlarged", "small.png", bytes(encoded({ 40, 30 }, "png")),
            { 40, 30 }, { 40, 30 } },
        PreviewCase { "TallBitmap", "tall.BMP", bytes(encoded({ 300, 900 }, "bmp")), { 80, 240 },
            { 300, 900 } },
        PreviewCase { "JpegTurnedByExif", "turned.jpeg",
            [](const QString &path) {
                writeFileBytes(
                    path, fileBytes(picturetest::testData("exif-orientation-6-rotated.jpg")));
            },
            // Stored 32 by 64, it stands 64 by 32.
            { 64, 32 }, { 64, 32 } },
        PreviewCase {
            "DamagedJpeg", "cut.jpg", bytes(encoded({ 800, 600 }, "jpeg").left(200)), {}, {} },
        PreviewCase { "TextNamedPng", "text.png", bytes("no picture here"), {}, {} },
        PreviewCase {
            "UnknownExtension", "picture.gif", bytes(encoded({ 40, 30 }, "png")), {}, {} },
        PreviewCase { "HugeClaimedSize", "huge.bmp",
            [](const QString &path) {
                QByteArray header = encoded({ 4, 4 }, "bmp");
                qToLittleEndian<qint32>(100'000, header.data() + 18);
                qToLittleEndian<qint32>(100'000, header.data() + 22);
                writeFileBytes(path, header);
            },
            {}, {} },
        PreviewCase { "NamedPipeNotWaitedOn", "pipe.png",
            [](const QString &path) {
                ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
            },
            {}, {} }),
    RowName());
