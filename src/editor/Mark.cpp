#include "editor/Mark.h"
#include "editor/BlendArithmetic.h"
#include "editor/Picture.h"
#include "editor/blendcolor.h"

#include <QImage>
#include <QPoint>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

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

// Blends a run of 24-bit pixels. Screenshots are mostly runs of one colour, so the last colour's
// result is reused, four pixels (twelve bytes) at a time while they all repeat it.
template<typename Blend> void blendRgb888(uchar *pixel, int count, Blend &&blend)
{
    std::uint8_t last[3], result[3];
    std::uint8_t lastFour[12], resultFour[12];
    bool fourStale = true;
    auto take = [&](const uchar *p) {
        last[0] = p[0];
        last[1] = p[1];
        last[2] = p[2];
        blend(last[0], last[1], last[2], result);
        fourStale = true;
    };
    auto one = [&](uchar *p) {
        if (p[0] != last[0] || p[1] != last[1] || p[2] != last[2])
            take(p);
        p[0] = result[0];
        p[1] = result[1];
        p[2] = result[2];
    };
    take(pixel);
    int i = 0;
    for (; i + 4 <= count; i += 4, pixel += 12) {
        if (fourStale) {
            for (int k = 0; k < 12; k += 3) {
                std::memcpy(lastFour + k, last, 3);
                std::memcpy(resultFour + k, result, 3);
            }
            fourStale = false;
        }
        if (std::memcmp(pixel, lastFour, 12) == 0) {
            std::memcpy(pixel, resultFour, 12);
            continue;
        }
        one(pixel);
        one(pixel + 3);
        one(pixel + 6);
        one(pixel + 9);
    }
    for (; i < count; ++i, pixel += 3)
        one(pixel);
}

// The same for 32-bit pixels, two at a time; alpha is ignored on reading and opaque on writing.
template<typename Blend> void blendXrgb32(uchar *bytes, int count, Blend &&blend)
{
    auto *pixel = reinterpret_cast<QRgb *>(bytes);
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
    auto one = [&](QRgb *p) {
        const QRgb value = *p & RGB_MASK;
        if (value != last)
            take(value);
        *p = blended;
    };
    take(pixel[0] & RGB_MASK);
    int i = 0;
    for (; i + 2 <= count; i += 2, pixel += 2) {
        std::uint64_t two;
        std::memcpy(&two, pixel, 8);
        if ((two & 0x00ffffff00ffffffull) == lastTwo) {
            std::memcpy(pixel, &blendedTwo, 8);
            continue;
        }
        one(pixel);
        one(pixel + 1);
    }
    for (; i < count; ++i, ++pixel)
        one(pixel);
}

template<typename Blend>
void blendBlock(QImage &image, int left, int top, int right, int bottom, Blend &&blend)
{
    const int count = right - left + 1;
    const bool packed = image.format() == QImage::Format_RGB888;
    for (int y = top; y <= bottom; ++y) {
        uchar *line = image.scanLine(y);
        if (packed)
            blendRgb888(line + 3 * left, count, blend);
        else
            blendXrgb32(line + 4 * left, count, blend);
    }
}

} // namespace

void markRectangle(QImage &image, QPoint startpt, QPoint endpt, QRgb mark)
{
    if (image.isNull())
        return;
    const int left = std::max(std::min(startpt.x(), endpt.x()), 0);
    const int right = std::min(std::max(startpt.x(), endpt.x()), image.width() - 1);
    const int top = std::max(std::min(startpt.y(), endpt.y()), 0);
    const int bottom = std::min(std::max(startpt.y(), endpt.y()), image.height() - 1);
    if (left > right || top > bottom)
        return;
    Picture::makeDirect(image);

    const qint64 area = qint64(right - left + 1) * (bottom - top + 1);
    if (area >= tableThreshold) {
        MarkTables tables(mark);
        blendBlock(image, left, top, right, bottom,
            [&](int r, int g, int b, std::uint8_t out[3]) { tables.apply(r, g, b, out); });
    } else {
        blendBlock(image, left, top, right, bottom, [&](int r, int g, int b, std::uint8_t out[3]) {
            const QRgb blended = blendcolor(qRgb(r, g, b), mark);
            out[0] = static_cast<std::uint8_t>(qRed(blended));
            out[1] = static_cast<std::uint8_t>(qGreen(blended));
            out[2] = static_cast<std::uint8_t>(qBlue(blended));
        });
    }
}
