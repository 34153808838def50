#include "editor/VectorMark.h"

#include <array>
#include <cstdint>
#include <cstring>

#include <QtGlobal>

#include "editor/BlendArithmetic.h"
#include "editor/blendcolor.h"

#if defined(__x86_64__) && defined(__GNUC__)
#define QUILLET_VECTOR_MARK 1
#include <immintrin.h>
#endif

VectorMark::VectorMark(QRgb mark, qsizetype sourceLineBytes)
    : markColour(mark), sourceLineBytes(sourceLineBytes)
{
}

#ifdef QUILLET_VECTOR_MARK

#define QUILLET_AVX2 __attribute__((target("avx2")))

namespace {

// Bit n is set when an exact half of the blend at strength n rounds down. The extended-precision
// factor for n lies a hair to one side of n/255, the same side for every channel, so all its
// halves round alike; only the half of 0.5 itself (d * n = 255) on a low value of 128 or more
// loses that hair in the sum and goes to the even value, and those channels are left to
// blendcolor. Halves need d * n odd, so only odd strengths have them; at 255 the factor is exactly
// 1 and halves round to even.
std::array<std::uint8_t, 32> halvesRoundingDown()
{
    std::array<std::uint8_t, 32> bits {};
    for (int n = 1; n < 255; n += 2) {
        if (blend::blendChannel(255, 0, n) == 255 * n / 510)
            bits[n >> 3] |= std::uint8_t(1 << (n & 7));
    }
    return bits;
}

constexpr std::int8_t z = -128; // a shuffle index that yields zero

// Sixteen pixels, one channel a register, a 16-bit lane a pixel: pixels 0-7 in the lower half,
// 8-15 in the upper one (AVX2 shuffles bytes within halves only).
struct Channels {
    __m256i red, green, blue;
};

// Sixteen bytes in both halves.
QUILLET_AVX2 inline __m256i twice(const void *sixteen)
{
    return _mm256_broadcastsi128_si256(_mm_loadu_si128(static_cast<const __m128i *>(sixteen)));
}

QUILLET_AVX2 inline __m256i halves(const uchar *lower, const uchar *upper)
{
    return _mm256_inserti128_si256(
        _mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i *>(lower))),
        _mm_loadu_si128(reinterpret_cast<const __m128i *>(upper)), 1);
}

// Bytes picked from two registers by two shuffles.
QUILLET_AVX2 inline __m256i picked(
    __m256i a, const std::int8_t (&fromA)[16], __m256i b, const std::int8_t (&fromB)[16])
{
    return _mm256_or_si256(
        _mm256_shuffle_epi8(a, twice(fromA)), _mm256_shuffle_epi8(b, twice(fromB)));
}

QUILLET_AVX2 inline void put(uchar *p, __m128i v)
{
    _mm_storeu_si128(reinterpret_cast<__m128i *>(p), v);
}

QUILLET_AVX2 inline __m128i lowerHalf(__m256i v)
{
    return _mm256_castsi256_si128(v);
}

QUILLET_AVX2 inline __m128i upperHalf(__m256i v)
{
    return _mm256_extracti128_si256(v, 1);
}

// The mark colour and the rounding table, in every lane.
struct MarkLanes {
    __m256i red, green, blue, sum, downLow, downHigh;
};

QUILLET_AVX2 MarkLanes markLanes(QRgb mark)
{
    static const std::array<std::uint8_t, 32> down = halvesRoundingDown();
    return { _mm256_set1_epi16(short(qRed(mark))), _mm256_set1_epi16(short(qGreen(mark))),
        _mm256_set1_epi16(short(qBlue(mark))),
        _mm256_set1_epi16(short(qRed(mark) + qGreen(mark) + qBlue(mark))), twice(down.data()),
        twice(down.data() + 16) };
}

// lo + round(d * n / 510) for one channel in every lane, with the rounding bias 255 for halves
// that round up and 254 for those that round down; halves at strength 255 go to the even value.
// Lanes with the half of 0.5 on a low value of 128 or more are flagged in `hard` (the caller
// leaves out strength 255, whose halves the even rounding gets right).
QUILLET_AVX2 inline __m256i blendedChannel(
    __m256i value, __m256i mark, __m256i n, __m256i bias, __m256i evenHalves, __m256i &hard)
{
    const __m256i lo = _mm256_min_epu16(value, mark);
    const __m256i d = _mm256_abs_epi16(_mm256_sub_epi16(value, mark));
    const __m256i q = _mm256_mullo_epi16(d, n);
    hard = _mm256_or_si256(hard,
        _mm256_and_si256(_mm256_cmpeq_epi16(q, _mm256_set1_epi16(255)),
            _mm256_cmpgt_epi16(lo, _mm256_set1_epi16(127))));
    // y / 510 is (y * 0x8081) >> 24 for every y up to 65280.
    const __m256i k = _mm256_srli_epi16(
        _mm256_mulhi_epu16(_mm256_add_epi16(q, bias), _mm256_set1_epi16(short(0x8081))), 8);
    return _mm256_andnot_si256(_mm256_and_si256(d, evenHalves), _mm256_add_epi16(lo, k));
}

// Blends the channels in place; false when a lane needs blendcolor's own rounding.
QUILLET_AVX2 inline bool blendLanes(Channels &c, const MarkLanes &m)
{
    const __m256i sum = _mm256_add_epi16(_mm256_add_epi16(c.red, c.green), c.blue);
    const __m256i dark = _mm256_cmpgt_epi16(_mm256_set1_epi16(448), _mm256_min_epu16(sum, m.sum));
    const __m256i n = _mm256_andnot_si256(dark,
        _mm256_min_epu16(_mm256_sub_epi16(_mm256_set1_epi16(765), _mm256_max_epu16(sum, m.sum)),
            _mm256_set1_epi16(255)));
    // Bit n & 7 of byte n >> 3 of the rounding table.
    static constexpr std::int8_t bitOf[16]
        = { 1, 2, 4, 8, 16, 32, 64, -128, 0, 0, 0, 0, 0, 0, 0, 0 };
    const __m256i entry = _mm256_srli_epi16(n, 3);
    const __m256i byte = _mm256_blendv_epi8(_mm256_shuffle_epi8(m.downLow, entry),
        _mm256_shuffle_epi8(m.downHigh, entry), _mm256_cmpgt_epi16(entry, _mm256_set1_epi16(15)));
    const __m256i down = _mm256_and_si256(
        _mm256_and_si256(
            byte, _mm256_shuffle_epi8(twice(bitOf), _mm256_and_si256(n, _mm256_set1_epi16(7)))),
        _mm256_set1_epi16(0xff));
    const __m256i bias
        = _mm256_sub_epi16(_mm256_set1_epi16(255), _mm256_min_epu16(down, _mm256_set1_epi16(1)));
    const __m256i evenHalves
        = _mm256_and_si256(_mm256_cmpeq_epi16(n, _mm256_set1_epi16(255)), _mm256_set1_epi16(1));
    __m256i hard = _mm256_setzero_si256();
    c.red = blendedChannel(c.red, m.red, n, bias, evenHalves, hard);
    c.green = blendedChannel(c.green, m.green, n, bias, evenHalves, hard);
    c.blue = blendedChannel(c.blue, m.blue, n, bias, evenHalves, hard);
    hard = _mm256_andnot_si256(_mm256_cmpeq_epi16(n, _mm256_set1_epi16(255)), hard);
    return _mm256_testz_si256(hard, hard);
}

// 24-bit pixels, red first: sixteen are 48 bytes.
struct Rgb888 {
    static constexpr int bytesPerPixel = 3;

    // Sixteen pixels of one colour.
    struct Pattern {
        __m256i first32;
        __m128i last16;
    };

    static std::uint32_t colourOf(QRgb c) { return qRed(c) | qGreen(c) << 8 | qBlue(c) << 16; }
    static QRgb rgbOf(const uchar *p) { return qRgb(p[0], p[1], p[2]); }
    static void write(uchar *p, QRgb c)
    {
        p[0] = uchar(qRed(c));
        p[1] = uchar(qGreen(c));
        p[2] = uchar(qBlue(c));
    }

    QUILLET_AVX2 static Pattern patternOf(std::uint32_t colour)
    {
        // Byte k of the pattern is byte k % 3 of the colour.
        static constexpr std::int8_t phases[48]
            = { 0, 1, 2, 0, 1, 2, 0, 1, 2, 0, 1, 2, 0, 1, 2, 0, 1, 2, 0, 1, 2, 0, 1, 2, 0, 1, 2, 0,
                  1, 2, 0, 1, 2, 0, 1, 2, 0, 1, 2, 0, 1, 2, 0, 1, 2, 0, 1, 2 };
        const __m256i words = _mm256_set1_epi32(int(colour));
        return { _mm256_shuffle_epi8(
                     words, _mm256_loadu_si256(reinterpret_cast<const __m256i *>(phases))),
            _mm_shuffle_epi8(_mm256_castsi256_si128(words),
                _mm_loadu_si128(reinterpret_cast<const __m128i *>(phases + 32))) };
    }

    QUILLET_AVX2 static bool repeats(const uchar *src, const Pattern &pattern)
    {
        const __m256i first = _mm256_xor_si256(
            _mm256_loadu_si256(reinterpret_cast<const __m256i *>(src)), pattern.first32);
        const __m128i last = _mm_xor_si128(
            _mm_loadu_si128(reinterpret_cast<const __m128i *>(src + 32)), pattern.last16);
        const __m256i diff = _mm256_or_si256(first, _mm256_zextsi128_si256(last));
        return _mm256_testz_si256(diff, diff);
    }

    QUILLET_AVX2 static void fill(uchar *dst, const Pattern &pattern)
    {
        put(dst, lowerHalf(pattern.first32));
        put(dst + 16, upperHalf(pattern.first32));
        put(dst + 32, pattern.last16);
    }

    static std::uint32_t lastColour(const uchar *group)
    {
        std::uint32_t word;
        std::memcpy(&word, group + 44, 4);
        return word >> 8;
    }

    QUILLET_AVX2 static Channels load(const uchar *src)
    {
        // Bytes 0-15 and 8-23 of each half's 24.
        const __m256i low = halves(src, src + 24), high = halves(src + 8, src + 32);
        static constexpr std::int8_t redLow[16]
            = { 0, z, 3, z, 6, z, 9, z, 12, z, 15, z, z, z, z, z };
        static constexpr std::int8_t redHigh[16]
            = { z, z, z, z, z, z, z, z, z, z, z, z, 10, z, 13, z };
        static constexpr std::int8_t greenLow[16]
            = { 1, z, 4, z, 7, z, 10, z, 13, z, z, z, z, z, z, z };
        static constexpr std::int8_t greenHigh[16]
            = { z, z, z, z, z, z, z, z, z, z, 8, z, 11, z, 14, z };
        static constexpr std::int8_t blueLow[16]
            = { 2, z, 5, z, 8, z, 11, z, 14, z, z, z, z, z, z, z };
        static constexpr std::int8_t blueHigh[16]
            = { z, z, z, z, z, z, z, z, z, z, 9, z, 12, z, 15, z };
        return { picked(low, redLow, high, redHigh), picked(low, greenLow, high, greenHigh),
            picked(low, blueLow, high, blueHigh) };
    }

    // Writes the pixels and returns the last one's colour.
    QUILLET_AVX2 static std::uint32_t store(const Channels &c, uchar *dst)
    {
        const __m256i redGreen = _mm256_or_si256(c.red, _mm256_slli_epi16(c.green, 8));
        static constexpr std::int8_t firstFromRg[16]
            = { 0, 1, z, 2, 3, z, 4, 5, z, 6, 7, z, 8, 9, z, 10 };
        static constexpr std::int8_t firstFromB[16]
            = { z, z, 0, z, z, 2, z, z, 4, z, z, 6, z, z, 8, z };
        static constexpr std::int8_t restFromRg[16]
            = { 11, z, 12, 13, z, 14, 15, z, z, z, z, z, z, z, z, z };
        static constexpr std::int8_t restFromB[16]
            = { z, 10, z, z, 12, z, z, 14, z, z, z, z, z, z, z, z };
        const __m256i first = picked(redGreen, firstFromRg, c.blue, firstFromB);
        const __m256i rest = picked(redGreen, restFromRg, c.blue, restFromB);
        // Each half holds 16 + 8 bytes of the 48.
        put(dst, lowerHalf(first));
        put(dst + 16, _mm_unpacklo_epi64(lowerHalf(rest), upperHalf(first)));
        put(dst + 32, _mm_alignr_epi8(upperHalf(rest), upperHalf(first), 8));
        return std::uint32_t(_mm256_extract_epi32(rest, 5)) >> 8;
    }
};

// 32-bit pixels, 0xAARRGGBB words: sixteen are 64 bytes.
struct Xrgb32 {
    static constexpr int bytesPerPixel = 4;

    struct Pattern {
        __m256i words;
    };

    static std::uint32_t colourOf(QRgb c) { return c | 0xff000000u; }
    static QRgb rgbOf(const uchar *p)
    {
        QRgb value;
        std::memcpy(&value, p, 4);
        return value;
    }
    static void write(uchar *p, QRgb c)
    {
        const QRgb value = c | 0xff000000u;
        std::memcpy(p, &value, 4);
    }

    QUILLET_AVX2 static Pattern patternOf(std::uint32_t colour)
    {
        return { _mm256_set1_epi32(int(colour)) };
    }

    QUILLET_AVX2 static bool repeats(const uchar *src, const Pattern &pattern)
    {
        const __m256i first = _mm256_xor_si256(
            _mm256_loadu_si256(reinterpret_cast<const __m256i *>(src)), pattern.words);
        const __m256i second = _mm256_xor_si256(
            _mm256_loadu_si256(reinterpret_cast<const __m256i *>(src + 32)), pattern.words);
        // Alpha is not compared: the result is opaque whatever it was.
        const __m256i diff
            = _mm256_and_si256(_mm256_or_si256(first, second), _mm256_set1_epi32(0x00ffffff));
        return _mm256_testz_si256(diff, diff);
    }

    QUILLET_AVX2 static void fill(uchar *dst, const Pattern &pattern)
    {
        for (int offset = 0; offset < 64; offset += 16)
            put(dst + offset, lowerHalf(pattern.words));
    }

    static std::uint32_t lastColour(const uchar *group)
    {
        std::uint32_t word;
        std::memcpy(&word, group + 60, 4);
        return word & 0x00ffffff;
    }

    QUILLET_AVX2 static Channels load(const uchar *src)
    {
        // Pixels 0-3 and 8-11, then 4-7 and 12-15.
        const __m256i low = halves(src, src + 32), high = halves(src + 16, src + 48);
        static constexpr std::int8_t redLow[16]
            = { 2, z, 6, z, 10, z, 14, z, z, z, z, z, z, z, z, z };
        static constexpr std::int8_t redHigh[16]
            = { z, z, z, z, z, z, z, z, 2, z, 6, z, 10, z, 14, z };
        static constexpr std::int8_t greenLow[16]
            = { 1, z, 5, z, 9, z, 13, z, z, z, z, z, z, z, z, z };
        static constexpr std::int8_t greenHigh[16]
            = { z, z, z, z, z, z, z, z, 1, z, 5, z, 9, z, 13, z };
        static constexpr std::int8_t blueLow[16]
            = { 0, z, 4, z, 8, z, 12, z, z, z, z, z, z, z, z, z };
        static constexpr std::int8_t blueHigh[16]
            = { z, z, z, z, z, z, z, z, 0, z, 4, z, 8, z, 12, z };
        return { picked(low, redLow, high, redHigh), picked(low, greenLow, high, greenHigh),
            picked(low, blueLow, high, blueHigh) };
    }

    QUILLET_AVX2 static std::uint32_t store(const Channels &c, uchar *dst)
    {
        const __m256i blueGreen = _mm256_or_si256(c.blue, _mm256_slli_epi16(c.green, 8));
        const __m256i redAlpha = _mm256_or_si256(c.red, _mm256_set1_epi16(short(0xff00)));
        // Pixels 0-3 and 8-11, then 4-7 and 12-15, as in load.
        const __m256i low = _mm256_unpacklo_epi16(blueGreen, redAlpha);
        const __m256i high = _mm256_unpackhi_epi16(blueGreen, redAlpha);
        put(dst, lowerHalf(low));
        put(dst + 16, lowerHalf(high));
        put(dst + 32, upperHalf(low));
        put(dst + 48, upperHalf(high));
        return std::uint32_t(_mm256_extract_epi32(high, 7));
    }
};

// The group one pixel at a time through blendcolor; returns the last one's result.
template<typename Layout> std::uint32_t blendOneByOne(const uchar *src, uchar *dst, QRgb mark)
{
    QRgb result = 0;
    for (int k = 0; k < 16; ++k) {
        result = blendcolor(Layout::rgbOf(src + k * Layout::bytesPerPixel), mark);
        Layout::write(dst + k * Layout::bytesPerPixel, result);
    }
    return Layout::colourOf(result);
}

template<typename Layout>
QUILLET_AVX2 std::uint32_t blendGroup(
    const uchar *src, uchar *dst, const MarkLanes &lanes, QRgb mark)
{
    Channels c = Layout::load(src);
    if (!blendLanes(c, lanes))
        return blendOneByOne<Layout>(src, dst, mark);
    return Layout::store(c, dst);
}

// Fewer than sixteen pixels, through a whole group's worth of memory of our own.
template<typename Layout>
QUILLET_AVX2 void blendFew(
    const uchar *src, uchar *dst, int count, const MarkLanes &lanes, QRgb mark)
{
    uchar group[16 * Layout::bytesPerPixel] = {};
    const std::size_t bytes = std::size_t(count) * Layout::bytesPerPixel;
    std::memcpy(group, src, bytes);
    blendGroup<Layout>(group, group, lanes, mark);
    std::memcpy(dst, group, bytes);
}

template<typename Layout>
QUILLET_AVX2 void blendLine(
    const uchar *src, uchar *dst, int count, QRgb mark, qsizetype sourceLineBytes)
{
    constexpr int groupBytes = 16 * Layout::bytesPerPixel;
    const MarkLanes lanes = markLanes(mark);
    typename Layout::Pattern last = Layout::patternOf(0);
    typename Layout::Pattern result = Layout::patternOf(Layout::colourOf(blendcolor(0, mark)));
    int i = 0;
    for (; i + 16 <= count; i += 16, src += groupBytes, dst += groupBytes) {
        // The same place in the next line, at hand when its turn comes.
        _mm_prefetch(reinterpret_cast<const char *>(src + sourceLineBytes), _MM_HINT_T0);
        if (Layout::repeats(src, last)) {
            Layout::fill(dst, result);
            continue;
        }
        last = Layout::patternOf(Layout::lastColour(src));
        result = Layout::patternOf(blendGroup<Layout>(src, dst, lanes, mark));
    }
    if (i < count)
        blendFew<Layout>(src, dst, count - i, lanes, mark);
}

} // namespace

bool VectorMark::available()
{
    static const bool usable
        = __builtin_cpu_supports("avx2") && !qEnvironmentVariableIsSet("QUILLET_NO_AVX2");
    return usable;
}

void VectorMark::blendRgb888(const uchar *src, uchar *dst, int count) const
{
    blendLine<Rgb888>(src, dst, count, markColour, sourceLineBytes);
}

void VectorMark::blendXrgb32(const uchar *src, uchar *dst, int count) const
{
    blendLine<Xrgb32>(src, dst, count, markColour, sourceLineBytes);
}

#else

bool VectorMark::available()
{
    return false;
}

void VectorMark::blendRgb888(const uchar *, uchar *, int) const
{
    Q_UNREACHABLE();
}

void VectorMark::blendXrgb32(const uchar *, uchar *, int) const
{
    Q_UNREACHABLE();
}

#endif
