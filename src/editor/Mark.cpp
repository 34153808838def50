#include "editor/Mark.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

#include <QColorSpace>
#include <QImage>
#include <QPoint>

#include "editor/BlendArithmetic.h"
#include "editor/Picture.h"
#include "editor/blendcolor.h"
#include "platform/Failure.h"

namespace {

// Below this many pixels the tables cost more than they save.
constexpr qint64 tableThreshold = 4096;

// blendcolor for one mark colour, computed once per strength and channel value and looked up.
// Table rows are filled on first use, as most pictures meet only a few strengths.
class MarkTables {
public:
    explicit MarkTables(QRgb mark) : markValues { qRed(mark), qGreen(mark), qBlue(mark) }
    {
        const int markSum = markValues[0] + markValues[1] + markValues[2];
        for (int sum = 0; sum <= 765; ++sum)
            strengthOfSum[sum] = static_cast<std::uint8_t>(blend::strength(sum, markSum));
        values.resize(256 * 3 * 256);
    }

    void apply(int r, int g, int b, std::uint8_t out[3])
    {
        const int n = strengthOfSum[r + g + b];
        if (!built[n])
            build(n);
        const std::uint8_t *row = &values[n * 768];
        out[0] = row[r];
        out[1] = row[256 + g];
        out[2] = row[512 + b];
    }

private:
    void build(int n)
    {
        std::uint8_t *row = &values[n * 768];
        for (int channel = 0; channel < 3; ++channel) {
            for (int value = 0; value < 256; ++value) {
                row[channel * 256 + value]
                    = static_cast<std::uint8_t>(blend::blendChannel(value, markValues[channel], n));
            }
        }
        built[n] = true;
    }

    std::array<int, 3> markValues;
    std::array<std::uint8_t, 766> strengthOfSum {};
    std::array<bool, 256> built {};
    std::vector<std::uint8_t> values;
};

// Blends a run of 24-bit pixels from src into dst (which may be the same). Screenshots are mostly
// runs of one colour, so the last colour's result is reused, eight pixels (24 bytes, three words)
// at a time while they all repeat it.
template<typename Blend> void blendRgb888(const uchar *src, uchar *dst, int count, Blend &&blend)
{
    std::uint8_t last[3], result[3];
    std::uint64_t lastEight[3], resultEight[3];
    bool eightStale = true;
    auto take = [&](const uchar *p) {
        last[0] = p[0];
        last[1] = p[1];
        last[2] = p[2];
        blend(last[0], last[1], last[2], result);
        eightStale = true;
    };
    auto one = [&](const uchar *s, uchar *d) {
        if (s[0] != last[0] || s[1] != last[1] || s[2] != last[2])
            take(s);
        d[0] = result[0];
        d[1] = result[1];
        d[2] = result[2];
    };
    take(src);
    int i = 0;
    for (; i + 8 <= count; i += 8, src += 24, dst += 24) {
        if (eightStale) {
            std::uint8_t lastBytes[24], resultBytes[24];
            for (int k = 0; k < 24; k += 3) {
                std::memcpy(lastBytes + k, last, 3);
                std::memcpy(resultBytes + k, result, 3);
            }
            std::memcpy(lastEight, lastBytes, 24);
            std::memcpy(resultEight, resultBytes, 24);
            eightStale = false;
        }
        std::uint64_t words[3];
        std::memcpy(words, src, 24);
        if (((words[0] ^ lastEight[0]) | (words[1] ^ lastEight[1]) | (words[2] ^ lastEight[2]))
            == 0) {
            std::memcpy(dst, resultEight, 24);
            continue;
        }
        for (int k = 0; k < 24; k += 3)
            one(src + k, dst + k);
    }
    for (; i < count; ++i, src += 3, dst += 3)
        one(src, dst);
}

// The same for 32-bit pixels, two at a time; alpha is ignored on reading and opaque on writing.
template<typename Blend> void blendXrgb32(const uchar *src, uchar *dst, int count, Blend &&blend)
{
    std::uint8_t result[3];
    QRgb last = 0, blended = 0;
    std::uint64_t lastTwo = 0, blendedTwo = 0;
    auto take = [&](QRgb value) {
        last = value;
        blend(qRed(last), qGreen(last), qBlue(last), result);
        blended = qRgb(result[0], result[1], result[2]);
        lastTwo = (std::uint64_t(last) << 32) | last;
        blendedTwo = (std::uint64_t(blended) << 32) | blended;
    };
    auto one = [&](const uchar *s, uchar *d) {
        QRgb value;
        std::memcpy(&value, s, 4);
        value &= RGB_MASK;
        if (value != last)
            take(value);
        std::memcpy(d, &blended, 4);
    };
    QRgb first;
    std::memcpy(&first, src, 4);
    take(first & RGB_MASK);
    int i = 0;
    for (; i + 2 <= count; i += 2, src += 8, dst += 8) {
        std::uint64_t two;
        std::memcpy(&two, src, 8);
        if ((two & 0x00ffffff00ffffffull) == lastTwo) {
            std::memcpy(dst, &blendedTwo, 8);
            continue;
        }
        one(src, dst);
        one(src + 4, dst + 4);
    }
    for (; i < count; ++i, src += 4, dst += 4)
        one(src, dst);
}

// The rectangle of a direct-format image, clamped; empty when nothing of it lies inside.
struct Block {
    int left, top, right, bottom; // all included

    Block(const QImage &image, QPoint a, QPoint b)
        : left(std::max(std::min(a.x(), b.x()), 0)), top(std::max(std::min(a.y(), b.y()), 0)),
          right(std::min(std::max(a.x(), b.x()), image.width() - 1)),
          bottom(std::min(std::max(a.y(), b.y()), image.height() - 1))
    {
    }
    bool isEmpty() const { return left > right || top > bottom; }
    qint64 area() const { return qint64(right - left + 1) * (bottom - top + 1); }
};

// Blends the block of src into dst, and copies the rest when they are different images.
template<typename Blend>
void blendBlock(const QImage &src, QImage &dst, const Block &block, Blend &&blend)
{
    const bool inPlace = &src == &dst;
    const int bytesPerPixel = src.format() == QImage::Format_RGB888 ? 3 : 4;
    const qsizetype lineBytes = qsizetype(src.width()) * bytesPerPixel;
    const qsizetype before = qsizetype(block.left) * bytesPerPixel;
    const qsizetype inside = qsizetype(block.right - block.left + 1) * bytesPerPixel;
    const int count = block.right - block.left + 1;
    for (int y = 0; y < src.height(); ++y) {
        if (y < block.top || y > block.bottom) {
            if (!inPlace)
                std::memcpy(dst.scanLine(y), src.constScanLine(y), lineBytes);
            continue;
        }
        uchar *to = dst.scanLine(y);
        const uchar *from = inPlace ? to : src.constScanLine(y);
        if (!inPlace) {
            std::memcpy(to, from, before);
            std::memcpy(to + before + inside, from + before + inside, lineBytes - before - inside);
        }
        if (bytesPerPixel == 3)
            blendRgb888(from + before, to + before, count, blend);
        else
            blendXrgb32(from + before, to + before, count, blend);
    }
}

void markBlock(const QImage &src, QImage &dst, const Block &block, QRgb mark)
{
    if (block.area() >= tableThreshold) {
        MarkTables tables(mark);
        blendBlock(src, dst, block,
            [&](int r, int g, int b, std::uint8_t out[3]) { tables.apply(r, g, b, out); });
    } else {
        blendBlock(src, dst, block, [&](int r, int g, int b, std::uint8_t out[3]) {
            const QRgb blended = blendcolor(qRgb(r, g, b), mark);
            out[0] = static_cast<std::uint8_t>(qRed(blended));
            out[1] = static_cast<std::uint8_t>(qGreen(blended));
            out[2] = static_cast<std::uint8_t>(qBlue(blended));
        });
    }
}

} // namespace

void markRectangle(QImage &image, QPoint startpt, QPoint endpt, QRgb mark)
{
    if (image.isNull())
        return;
    const Block block(image, startpt, endpt);
    if (block.isEmpty())
        return;
    Picture::makeDirect(image);
    markBlock(image, image, block, mark);
}

QImage markedCopy(const QImage &image, QPoint startpt, QPoint endpt, QRgb mark)
{
    const Block block(image, startpt, endpt);
    if (image.isNull() || block.isEmpty() || !Picture::isDirectFormat(image.format())) {
        QImage copy = image;
        markRectangle(copy, startpt, endpt, mark);
        return copy;
    }
    QImage marked(image.size(), image.format());
    if (marked.isNull())
        throw Failure("Not enough memory to mark the picture");
    // The metadata that copy() would carry over.
    marked.setDotsPerMeterX(image.dotsPerMeterX());
    marked.setDotsPerMeterY(image.dotsPerMeterY());
    marked.setOffset(image.offset());
    marked.setDevicePixelRatio(image.devicePixelRatio());
    marked.setColorSpace(image.colorSpace());
    for (const QString &key : image.textKeys())
        marked.setText(key, image.text(key));
    markBlock(image, marked, block, mark);
    return marked;
}
