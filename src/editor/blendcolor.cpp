#include "editor/blendcolor.h"

#include <array>
#include <bit>
#include <cstdint>

#include "editor/BlendArithmetic.h"

namespace blend {
namespace {

using u128 = unsigned __int128;

// A binary fraction mant / 2^exp.
struct Dyadic {
    std::uint64_t mant = 0;
    int exp = 0;
};

int bitLength(u128 value)
{
    const auto high = static_cast<std::uint64_t>(value >> 64);
    if (high)
        return 128 - std::countl_zero(high);
    return 64 - std::countl_zero(static_cast<std::uint64_t>(value));
}

// Rounds numerator / 2^scale to the nearest integer, ties to the even one (scale >= 1).
u128 roundHalfEven(u128 numerator, int scale)
{
    const u128 whole = numerator >> scale;
    const u128 rest = numerator & ((u128(1) << scale) - 1);
    const u128 half = u128(1) << (scale - 1);
    return (rest > half || (rest == half && (whole & 1))) ? whole + 1 : whole;
}

// n/255 as the extended-precision division leaves it, then stored as a double: the exact
// quotient is rounded to a 64-bit significand, and that again to 53 bits. The second
// rounding can meet a tie that the exact quotient never has (double rounding).
constexpr Dyadic factorFor(int n)
{
    if (n <= 0)
        return {};
    if (n >= 255)
        return { 1, 0 };
    int exp = 0;
    while ((u128(n) << exp) / 255 < (u128(1) << 63))
        ++exp;
    const u128 numerator = u128(n) << exp;
    u128 q = numerator / 255;
    // 255 is odd, so the remainder is never exactly half of it.
    if (2 * (numerator % 255) > 255)
        ++q;
    if (q >> 64) {
        q >>= 1;
        --exp;
    }
    // 64 -> 53 significant bits, ties to even.
    auto mant = static_cast<std::uint64_t>(q >> 11);
    const auto dropped = static_cast<std::uint64_t>(q) & 0x7ff;
    if (dropped > 0x400 || (dropped == 0x400 && (mant & 1)))
        ++mant;
    exp -= 11;
    if (mant >> 53) {
        mant >>= 1;
        --exp;
    }
    return { mant, exp };
}

constexpr std::array<Dyadic, 256> makeFactors()
{
    std::array<Dyadic, 256> factors {};
    for (int n = 0; n < 256; ++n)
        factors[n] = factorFor(n);
    return factors;
}

constexpr std::array<Dyadic, 256> factors = makeFactors();

// lo + d * f / 2 evaluated as the extended-precision sequence does: d * f and the halving are
// exact (61 bits at most), adding lo is rounded to a 64-bit significand, and that result is
// rounded to an integer, ties to even.
int extendedChannel(int lo, int d, int n)
{
    const Dyadic f = factors[n];
    if (f.mant == 0 || d == 0)
        return lo;
    const int scale = f.exp + 1;
    u128 value = (u128(lo) << scale) + u128(d) * f.mant;
    const int excess = bitLength(value) - 64;
    if (excess > 0)
        value = roundHalfEven(value, excess) << excess;
    return static_cast<int>(roundHalfEven(value, scale));
}

} // namespace

int blendChannel(int pixelValue, int markValue, int n)
{
    const int lo = std::min(pixelValue, markValue);
    const int d = std::max(pixelValue, markValue) - lo;
    // In real arithmetic the value is lo + d*n/510. Unless that is exactly a half, it lies at
    // least 1/510 from every half, far beyond the error of either rounding, so plain integer
    // rounding gives the same result. Only exact halves need the extended-precision sequence.
    const int q = d * n;
    const int whole = q / 510, rest = q % 510;
    if (rest < 255)
        return lo + whole;
    if (rest > 255)
        return lo + whole + 1;
    return extendedChannel(lo, d, n);
}

} // namespace blend

QRgb blendcolor(QRgb pixel, QRgb mark)
{
    const int pr = qRed(pixel), pg = qGreen(pixel), pb = qBlue(pixel);
    const int mr = qRed(mark), mg = qGreen(mark), mb = qBlue(mark);
    const int n = blend::strength(pr + pg + pb, mr + mg + mb);
    return qRgb(blend::blendChannel(pr, mr, n), blend::blendChannel(pg, mg, n),
        blend::blendChannel(pb, mb, n));
}
