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

// Each byte of an RGB32 word less the one above it, without borrows between the bytes.
quint32 byteDifferences(quint32 pixel, quint32 above)
{
    constexpr quint32 high = 0x80808080u;
    return ((pixel | high) - (above & ~high)) ^ ((pixel ^ ~above) & high);
}

// Room for a filtered row: the filter's byte, the samples, and one spare byte, as filterRow
// stores each pixel as one 32-bit write even where it has three samples.
std::vector<uchar> rowBuffer(const QImage &image, int channels)
{
    return std::vector<uchar>(2 + size_t(image.width()) * channels);
}

// One row as PNG stores it: the filter's byte, then each sample less the one above it ("Up").
// A screenshot repeats most of its rows' pixels from the row above, so its rows become zeros.
// Returns how many pixels differ from the ones above.
int filterRow(const QImage &image, int y, int channels, std::vector<uchar> &row)
{
    row[0] = filterUp;
    uchar *out = row.data() + 1;
    const auto *pixels = reinterpret_cast<const QRgb *>(image.constScanLine(y));
    const auto *above
        = y > 0 ? reinterpret_cast<const QRgb *>(image.constScanLine(y - 1)) : nullptr;
    const int width = image.width();
    const quint32 compared = channels == 4 ? 0xffffffffu : 0xffffffu;
    int changed = 0;
    for (int x = 0; x < width; ++x, out += channels) {
        const quint32 d = byteDifferences(pixels[x], above ? above[x] : 0);
        changed += (d & compared) != 0;
        // From A,R,G,B in the word to R,G,B,A in memory order.
        const quint32 samples = (d & 0xff00ff00u) | ((d >> 16) & 0xffu) | ((d & 0xffu) << 16);
        qToUnaligned(qToLittleEndian(samples), out);
    }
    return changed;
}

// zlib's level for a band. Filtered screenshot rows are mostly zeros, which zlib's lazy matching
// (level 6) packs to a fraction of what level 1 gives, at little cost; photos compress hardly
// better above level 1 and take many times as long. A sample of the band's rows tells which.
int levelFor(const QImage &image, int channels, int firstRow, int rows)
{
    std::vector<uchar> row = rowBuffer(image, channels);
    const auto samples = qsizetype(row.size()) - 2;
    qsizetype zeros = 0;
    qsizetype sampled = 0;
    for (int y = firstRow; y < firstRow + rows; y += 16) {
        filterRow(image, y, channels, row);
        zeros += std::count(row.begin() + 1, row.begin() + 1 + samples, uchar(0));
        sampled += samples;
    }
    return zeros * 2 > sampled ? 6 : 1;
}

// The checksum of `count` zero bytes, whose sum of sums grows by the running sum each byte.
uLong adlerAfterZeros(uLong adler, uLong count)
{
    const uLong zeros = ((count % 65521) << 16) | 1;
    return adler32_combine(adler, zeros, z_off_t(count));
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
    std::vector<uchar> row = rowBuffer(image, channels);
    const auto length = uInt(row.size() - 1); // the filter's byte and the samples
    // zlib's bound, and room for a block's ending at every row, where the strategy may switch.
    band.deflated.resize(
        qsizetype(deflateBound(&stream, uLong(length) * band.rows)) + 64 + 8 * band.rows);
    stream.next_out = reinterpret_cast<Bytef *>(band.deflated.data());
    stream.avail_out = uInt(band.deflated.size());
    // In a screenshot most rows repeat the one above, wholly or but for a few pixels. Lazy
    // matching spends most of its time on their runs of zeros to little gain, so these rows go
    // through run-length matching at a fraction of the cost; each switch ends a deflate block.
    // Rows with one changed pixel in 16 or more keep lazy matching, which finds their repeated
    // shapes (text): that line keeps files within a third of lazy matching's size.
    bool runLength = false;
    bool ok = true;
    for (int i = 0; i < band.rows && ok; ++i) {
        const int changed = filterRow(image, band.firstRow + i, channels, row);
        const bool zeros = changed == 0;
        const bool sparse = changed * 16 < image.width();
        if (level > 1 && sparse != runLength) {
            runLength = sparse;
            ok = deflateParams(&stream, level, sparse ? Z_RLE : Z_DEFAULT_STRATEGY) == Z_OK;
        }
        band.adler = zeros ? adlerAfterZeros(adler32(band.adler, row.data(), 1), length - 1)
                           : adler32(band.adler, row.data(), length);
        band.length += length;
        stream.next_in = row.data();
        stream.avail_in = length;
        const bool end = i + 1 == band.rows;
        const int flush = !end ? Z_NO_FLUSH : band.last ? Z_FINISH : Z_SYNC_FLUSH;
        const int result = deflate(&stream, flush);
        ok = ok && result == (flush == Z_FINISH ? Z_STREAM_END : Z_OK) && stream.avail_in == 0;
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
