#include "editor/Mark.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <vector>

#include <QImage>
#include <QPoint>
#include <QRect>

#include "editor/BlendArithmetic.h"
#include "editor/Picture.h"
#include "editor/PictureBuffers.h"
#include "editor/SelectionRect.h"
#include "editor/VectorMark.h"
#include "editor/blendcolor.h"

namespace {

// Below this many pixels the tables cost more than they save.
constexpr qint64 tableThreshold = 4096;

// blendcolor for one mark colour, computed once per strength and channel value and looked up.
// Table rows are filled on first use, as most pictures meet only a few strengths; each channel
// sum points straight at its row, so a pixel costs one lookup more than its three values.
class MarkTables {
public:
    explicit MarkTables(QRgb mark)
        : markValues { qRed(mark), qGreen(mark), qBlue(mark) }, values(256 * 3 * 256)
    {
        const int markSum = markValues[0] + markValues[1] + markValues[2];
        for (int sum = 0; sum <= 765; ++sum)
            strengthOfSum[sum] = static_cast<std::uint8_t>(blend::strength(sum, markSum));
    }

    // The blend of a colour packed as the layout says.
    template<typename Layout> std::uint32_t apply(std::uint32_t c)
    {
        const std::uint32_t r = (c >> Layout::r) & 255, g = (c >> Layout::g) & 255,
                            b = (c >> Layout::b) & 255;
        const std::uint32_t sum = r + g + b;
        const std::uint8_t *row = rowOfSum[sum];
        if (!row)
            row = build(int(sum));
        return std::uint32_t(row[r]) << Layout::r | std::uint32_t(row[256 + g]) << Layout::g
            | std::uint32_t(row[512 + b]) << Layout::b;
    }

private:
    const std::uint8_t *build(int sum)
    {
        const int n = strengthOfSum[sum];
        std::uint8_t *row = &values[n * 768];
        if (!built[n]) {
            for (int channel = 0; channel < 3; ++channel) {
                for (int value = 0; value < 256; ++value) {
                    row[channel * 256 + value] = static_cast<std::uint8_t>(
                        blend::blendChannel(value, markValues[channel], n));
                }
            }
            built[n] = true;
        }
        rowOfSum[sum] = row;
        return row;
    }

    std::array<int, 3> markValues;
    std::array<std::uint8_t, 766> strengthOfSum {};
    std::array<const std::uint8_t *, 766> rowOfSum {};
    std::array<bool, 256> built {};
    std::vector<std::uint8_t> values;
};

static_assert(std::endian::native == std::endian::little, "the pixel words assume little endian");

// Where the channels of a pixel lie in its bytes read as a little-endian number.
struct Rgb888Layout {
    static constexpr int r = 0, g = 8, b = 16;
};
struct Xrgb32Layout {
    static constexpr int r = 16, g = 8, b = 0;
};

constexpr std::uint64_t low24 = 0xffffff;

// Eight 24-bit pixels, 24 bytes, as three words, and back: pixel k starts at byte 3k.
struct EightPixels {
    std::uint64_t w0, w1, w2;

    static EightPixels of(std::uint64_t c) { return packed({ c, c, c, c, c, c, c, c }); }
    static EightPixels packed(const std::array<std::uint64_t, 8> &p)
    {
        return { p[0] | p[1] << 24 | p[2] << 48, p[2] >> 16 | p[3] << 8 | p[4] << 32 | p[5] << 56,
            p[5] >> 8 | p[6] << 16 | p[7] << 40 };
    }
    std::array<std::uint64_t, 8> unpacked() const
    {
        return { w0 & low24, (w0 >> 24) & low24, (w0 >> 48 | w1 << 16) & low24, (w1 >> 8) & low24,
            (w1 >> 32) & low24, (w1 >> 56 | w2 << 8) & low24, (w2 >> 16) & low24, w2 >> 40 };
    }
    bool operator==(const EightPixels &) const = default;
};

// Blends a run of 24-bit pixels from src into dst (which may be the same). Screenshots are mostly
// runs of one colour, so eight pixels at a time that all repeat the last colour blended take its
// result at once; any other group of eight goes pixel by pixel through the blend, without
// comparisons (noisy photo-like areas would mispredict them), and its last colour is the one the
// next group is checked against. Pixels are read and written as whole words.
template<typename Blend> void blendRgb888(const uchar *src, uchar *dst, int count, Blend &&blend)
{
    EightPixels last = EightPixels::of(0);
    EightPixels result = EightPixels::of(blend(Rgb888Layout(), 0));
    int i = 0;
    for (; i + 8 <= count; i += 8, src += 24, dst += 24) {
        EightPixels pixels;
        std::memcpy(&pixels, src, 24);
        if (pixels != last) {
            std::array<std::uint64_t, 8> colours = pixels.unpacked();
            last = EightPixels::of(colours[7]);
            for (std::uint64_t &colour : colours)
                colour = blend(Rgb888Layout(), std::uint32_t(colour));
            result = EightPixels::of(colours[7]);
            pixels = EightPixels::packed(colours);
            std::memcpy(dst, &pixels, 24);
            continue;
        }
        std::memcpy(dst, &result, 24);
    }
    for (; i < count; ++i, src += 3, dst += 3) {
        const std::uint32_t c
            = blend(Rgb888Layout(), std::uint32_t(src[0] | src[1] << 8 | src[2] << 16));
        dst[0] = uchar(c);
        dst[1] = uchar(c >> 8);
        dst[2] = uchar(c >> 16);
    }
}

// The same for 32-bit pixels, four at a time (two words); alpha is ignored on reading and opaque
// on writing.
template<typename Blend> void blendXrgb32(const uchar *src, uchar *dst, int count, Blend &&blend)
{
    constexpr std::uint64_t rgbMask = 0x00ffffff00ffffffull;
    auto one
        = [&](std::uint64_t c) { return blend(Xrgb32Layout(), std::uint32_t(c)) | 0xff000000u; };
    auto two = [](std::uint64_t low, std::uint64_t high) { return high << 32 | low; };
    std::uint64_t last = 0, result = two(one(0), one(0));
    int i = 0;
    for (; i + 4 <= count; i += 4, src += 16, dst += 16) {
        std::uint64_t words[2];
        std::memcpy(words, src, 16);
        words[0] &= rgbMask;
        words[1] &= rgbMask;
        if ((words[0] ^ last) | (words[1] ^ last)) {
            const std::uint64_t fourth = words[1] >> 32;
            last = two(fourth, fourth);
            words[0] = two(one(words[0] & low24), one(words[0] >> 32));
            words[1] = two(one(words[1] & low24), one(fourth));
            result = two(words[1] >> 32, words[1] >> 32);
            std::memcpy(dst, words, 16);
            continue;
        }
        std::memcpy(dst, &result, 8);
        std::memcpy(dst + 8, &result, 8);
    }
    for (; i < count; ++i, src += 4, dst += 4) {
        QRgb value;
        std::memcpy(&value, src, 4);
        value = one(value & RGB_MASK);
        std::memcpy(dst, &value, 4);
    }
}

// Blends the block of src into dst with blendRow(from, to, pixels, bytesPerPixel) for each of
// its lines, and copies the rest when they are different images.
template<typename BlendRow>
void blendBlock(const QImage &src, QImage &dst, const QRect &block, BlendRow &&blendRow)
{
    const bool inPlace = &src == &dst;
    const int bytesPerPixel = src.format() == QImage::Format_RGB888 ? 3 : 4;
    const qsizetype lineBytes = qsizetype(src.width()) * bytesPerPixel;
    const qsizetype before = qsizetype(block.left()) * bytesPerPixel;
    const qsizetype inside = qsizetype(block.width()) * bytesPerPixel;
    for (int y = 0; y < src.height(); ++y) {
        if (y < block.top() || y > block.bottom()) {
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
        blendRow(from + before, to + before, block.width(), bytesPerPixel);
    }
}

// The same with the run loops above and a blend function of one pixel, blend(layout, colour).
template<typename Blend>
void blendBlockByPixel(const QImage &src, QImage &dst, const QRect &block, Blend &&blend)
{
    blendBlock(src, dst, block, [&](const uchar *from, uchar *to, int count, int bytesPerPixel) {
        if (bytesPerPixel == 3)
            blendRgb888(from, to, count, blend);
        else
            blendXrgb32(from, to, count, blend);
    });
}

void markBlock(const QImage &src, QImage &dst, const QRect &block, QRgb mark)
{
    if (VectorMark::available()) {
        const VectorMark vectorMark(mark, src.bytesPerLine());
        blendBlock(
            src, dst, block, [&](const uchar *from, uchar *to, int count, int bytesPerPixel) {
                if (bytesPerPixel == 3)
                    vectorMark.blendRgb888(from, to, count);
                else
                    vectorMark.blendXrgb32(from, to, count);
            });
    } else if (qint64(block.width()) * block.height() >= tableThreshold) {
        MarkTables tables(mark);
        blendBlockByPixel(src, dst, block,
            [&](auto layout, std::uint32_t c) { return tables.apply<decltype(layout)>(c); });
    } else {
        blendBlockByPixel(src, dst, block, [&](auto layout, std::uint32_t c) {
            using Layout = decltype(layout);
            const QRgb blended = blendcolor(
                qRgb((c >> Layout::r) & 255, (c >> Layout::g) & 255, (c >> Layout::b) & 255), mark);
            return std::uint32_t(qRed(blended)) << Layout::r
                | std::uint32_t(qGreen(blended)) << Layout::g
                | std::uint32_t(qBlue(blended)) << Layout::b;
        });
    }
}

} // namespace

QRect markedBlock(QSize size, QPoint startpt, QPoint endpt)
{
    return selectionRect(startpt, endpt, FarEdge::Included, QRect(QPoint(0, 0), size));
}

void markRectangle(QImage &image, QPoint startpt, QPoint endpt, QRgb mark)
{
    const QRect block = markedBlock(image.size(), startpt, endpt);
    if (block.isEmpty())
        return;
    Picture::makeWritable(image);
    markBlock(image, image, block, mark);
}

void markInto(const QImage &image, QImage &result, QPoint startpt, QPoint endpt, QRgb mark)
{
    Q_ASSERT(Picture::isDirectFormat(image.format()) && result.format() == image.format()
        && result.size() == image.size() && result.isDetached());
    markBlock(image, result, markedBlock(image.size(), startpt, endpt), mark);
}

QImage markedCopy(const QImage &image, QPoint startpt, QPoint endpt, QRgb mark)
{
    if (markedBlock(image.size(), startpt, endpt).isEmpty()
        || !Picture::isDirectFormat(image.format())) {
        QImage copy = image;
        markRectangle(copy, startpt, endpt, mark);
        return copy;
    }
    QImage marked = PictureBuffers::newImage(image.size(), image.format());
    PictureBuffers::copyMetadata(image, marked);
    markInto(image, marked, startpt, endpt, mark);
    return marked;
}
