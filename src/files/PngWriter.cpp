#include "files/PngWriter.h"

#include <algorithm>
#include <thread>
#include <vector>
#include <zlib.h>

#include <QIODevice>
#include <QImage>
#include <QtEndian>

namespace {

constexpr qsizetype pixelsPerBand = 1 << 20;
constexpr int filterUp = 2;

void appendChunk(QByteArray &png, const char type[4], const QByteArray &data)
{
    char length[4];
    qToBigEndian(quint32(data.size()), length);
    png.append(length, 4);
    const qsizetype start = png.size();
    png.append(type, 4);
    png.append(data);
    char crc[4];
    qToBigEndian(quint32(crc32(0, reinterpret_cast<const Bytef *>(png.constData() + start),
                     uInt(png.size() - start))),
        crc);
    png.append(crc, 4);
}

// One row as PNG stores it: the filter's byte, then each sample less the one above it ("Up").
// A screenshot repeats most of its rows' pixels from the row above, so its rows become zeros.
void filterRow(const QImage &image, int y, int channels, std::vector<uchar> &row)
{
    row[0] = filterUp;
    uchar *out = row.data() + 1;
    const auto *pixels = reinterpret_cast<const QRgb *>(image.constScanLine(y));
    const auto *above
        = y > 0 ? reinterpret_cast<const QRgb *>(image.constScanLine(y - 1)) : nullptr;
    for (int x = 0; x < image.width(); ++x, out += channels) {
        const QRgb pixel = pixels[x];
        const QRgb up = above ? above[x] : 0;
        out[0] = uchar(qRed(pixel) - qRed(up));
        out[1] = uchar(qGreen(pixel) - qGreen(up));
        out[2] = uchar(qBlue(pixel) - qBlue(up));
        if (channels == 4)
            out[3] = uchar(qAlpha(pixel) - qAlpha(up));
    }
}

// zlib's level for a band. Filtered screenshot rows are mostly zeros, which zlib's lazy matching
// (level 6) packs to a fraction of what level 1 gives, at little cost; photos compress hardly
// better above level 1 and take many times as long. A sample of the band's rows tells which.
int levelFor(const QImage &image, int channels, int firstRow, int rows)
{
    std::vector<uchar> row(1 + size_t(image.width()) * channels);
    qsizetype zeros = 0;
    qsizetype sampled = 0;
    for (int y = firstRow; y < firstRow + rows; y += 16) {
        filterRow(image, y, channels, row);
        zeros += std::count(row.begin() + 1, row.end(), uchar(0));
        sampled += qsizetype(row.size()) - 1;
    }
    return zeros * 2 > sampled ? 6 : 1;
}

struct Band {
    int firstRow = 0;
    int rows = 0;
    bool last = false;
    QByteArray deflated; // raw deflate data, ended by a sync flush or, last, the final block
    uLong adler = adler32(0, nullptr, 0);
    uLong length = 0; // the filtered bytes it holds
    bool ok = false;
};

void compressBand(const QImage &image, int channels, Band &band)
{
    z_stream stream {};
    const int level = levelFor(image, channels, band.firstRow, band.rows);
    if (deflateInit2(&stream, level, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return;
    std::vector<uchar> row(1 + size_t(image.width()) * channels);
    band.deflated.resize(qsizetype(deflateBound(&stream, uLong(row.size()) * band.rows)) + 64);
    stream.next_out = reinterpret_cast<Bytef *>(band.deflated.data());
    stream.avail_out = uInt(band.deflated.size());
    bool ok = true;
    for (int i = 0; i < band.rows && ok; ++i) {
        filterRow(image, band.firstRow + i, channels, row);
        band.adler = adler32(band.adler, row.data(), uInt(row.size()));
        band.length += uLong(row.size());
        stream.next_in = row.data();
        stream.avail_in = uInt(row.size());
        const bool end = i + 1 == band.rows;
        const int flush = !end ? Z_NO_FLUSH : band.last ? Z_FINISH : Z_SYNC_FLUSH;
        const int result = deflate(&stream, flush);
        ok = result == (flush == Z_FINISH ? Z_STREAM_END : Z_OK) && stream.avail_in == 0;
    }
    band.deflated.resize(qsizetype(stream.total_out));
    deflateEnd(&stream);
    band.ok = ok;
}

} // namespace

QByteArray encodePng(const QImage &picture)
{
    if (picture.isNull())
        return {};
    const bool alpha = picture.hasAlphaChannel();
    const QImage image
        = picture.convertToFormat(alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    const int channels = alpha ? 4 : 3;

    const qsizetype pixels = qsizetype(image.width()) * image.height();
    const int cores = int(std::max(1u, std::thread::hardware_concurrency()));
    const int count = int(std::clamp<qsizetype>(pixels / pixelsPerBand, 1, std::min(cores, 16)));
    std::vector<Band> bands(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        bands[size_t(i)].firstRow = image.height() * i / count;
        bands[size_t(i)].rows = image.height() * (i + 1) / count - bands[size_t(i)].firstRow;
        bands[size_t(i)].last = i + 1 == count;
    }
    std::vector<std::thread> helpers;
    for (size_t i = 1; i < bands.size(); ++i)
        helpers.emplace_back([&, i] { compressBand(image, channels, bands[i]); });
    compressBand(image, channels, bands[0]);
    for (std::thread &helper : helpers)
        helper.join();

    // One zlib stream: its header, the bands' deflate data in order, the combined checksum.
    QByteArray data("\x78\x01", 2);
    uLong adler = adler32(0, nullptr, 0);
    for (const Band &band : bands) {
        if (!band.ok)
            return {};
        data += band.deflated;
        adler = adler32_combine(adler, band.adler, z_off_t(band.length));
    }
    char checksum[4];
    qToBigEndian(quint32(adler), checksum);
    data.append(checksum, 4);

    QByteArray header(13, '\0');
    qToBigEndian(quint32(image.width()), header.data());
    qToBigEndian(quint32(image.height()), header.data() + 4);
    header[8] = 8; // bits per sample
    header[9] = alpha ? 6 : 2; // RGBA or RGB
    QByteArray png("\x89PNG\r\n\x1a\n", 8);
    appendChunk(png, "IHDR", header);
    appendChunk(png, "IDAT", data);
    appendChunk(png, "IEND", {});
    return png;
}

bool encodePng(const QImage &image, QIODevice &device)
{
    const QByteArray png = encodePng(image);
    return !png.isEmpty() && device.write(png) == png.size();
}
