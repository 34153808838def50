#include "editor/blendcolor.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <ostream>

#include <QRandomGenerator>

#include <gtest/gtest.h>

#include "TableRow.h"

namespace {

struct BlendCase : TableRow {
    QRgb pixel;
    QRgb mark;
    QRgb expected;
};

const QRgb yellow = qRgb(255, 255, 0);

class BlendExamples : public ::testing::TestWithParam<BlendCase> { };

TEST_P(BlendExamples, GiveTheExpectedColour)
{
    const BlendCase &row = GetParam();
    EXPECT_EQ(blendcolor(row.pixel, row.mark), row.expected)
        << std::hex << "got 0x" << blendcolor(row.pixel, row.mark) << ", want 0x" << row.expected;
}

INSTANTIATE_TEST_SUITE_P(YellowMark, BlendExamples,
    ::testing::Values(BlendCase { "WhiteTakesTheMark", qRgb(255, 255, 255), yellow, yellow },
        BlendCase { "CreamTintsSlightly", qRgb(255, 251, 240), yellow, qRgb(255, 251, 9) },
        BlendCase { "LightGrey", qRgb(200, 200, 200), yellow, qRgb(218, 218, 65) },
        BlendCase { "Silver", qRgb(192, 192, 192), yellow, qRgb(215, 215, 71) },
        BlendCase { "Grey170IsAnAverage", qRgb(170, 170, 170), yellow, qRgb(212, 212, 85) },
        BlendCase { "Grey150HalfGoesToEven", qRgb(150, 150, 150), yellow, qRgb(202, 202, 75) },
        BlendCase { "Grey149IsTooDark", qRgb(149, 149, 149), yellow, qRgb(149, 149, 0) },
        BlendCase { "MidGreyStaysDark", qRgb(128, 128, 128), yellow, qRgb(128, 128, 0) },
        BlendCase { "BlackStaysBlack", qRgb(0, 0, 0), yellow, qRgb(0, 0, 0) },
        BlendCase { "RedStaysRed", qRgb(255, 0, 0), yellow, qRgb(255, 0, 0) },
        BlendCase { "BlueTurnsBlack", qRgb(0, 0, 255), yellow, qRgb(0, 0, 0) }),
    RowName());

// Values that are exact halves in real arithmetic land beside the half in extended precision;
// these are the cases where plain double arithmetic, or an exact sum, rounds the other way.
INSTANTIATE_TEST_SUITE_P(ExtendedPrecision, BlendExamples,
    ::testing::Values(BlendCase { "CyanOverNearWhiteRoundsDown", qRgb(255, 255, 252),
                          qRgb(0, 255, 255), qRgb(1, 255, 252) },
        BlendCase {
            "RoundedSumTipsAHalfUp", qRgb(254, 247, 247), qRgb(239, 255, 0), qRgb(240, 247, 8) },
        BlendCase { "InputAlphaIgnoredResultOpaque", qRgba(200, 200, 200, 0),
            qRgba(255, 255, 0, 17), qRgb(218, 218, 65) }),
    RowName());

TEST(BlendColor, WhiteMarkChangesNothingAndBlackMarkBlackens)
{
    for (int r = 0; r < 256; r += 3) {
        for (int g = 0; g < 256; g += 5) {
            for (int b = 0; b < 256; b += 7) {
                ASSERT_EQ(blendcolor(qRgb(r, g, b), qRgb(255, 255, 255)), qRgb(r, g, b));
                ASSERT_EQ(blendcolor(qRgb(r, g, b), qRgb(0, 0, 0)), qRgb(0, 0, 0));
            }
        }
    }
}

#if defined(__x86_64__) && LDBL_MANT_DIG == 64

// The blend evaluated step by step with the x87 80-bit type, as independent reference for the
// integer emulation.
QRgb extendedReference(QRgb pixel, QRgb mark)
{
    const int p[3] = { qRed(pixel), qGreen(pixel), qBlue(pixel) };
    const int m[3] = { qRed(mark), qGreen(mark), qBlue(mark) };
    const int pixelSum = p[0] + p[1] + p[2], markSum = m[0] + m[1] + m[2];
    double f
        = static_cast<double>(static_cast<long double>(765 - std::max(pixelSum, markSum)) / 255.0L);
    if (f > 1)
        f = 1;
    if (std::min(pixelSum, markSum) < 448)
        f = 0;
    int out[3];
    for (int c = 0; c < 3; ++c) {
        const int lo = std::min(p[c], m[c]), hi = std::max(p[c], m[c]);
        long double value = static_cast<long double>(hi - lo) * f;
        value = value / 2;
        value = value + lo;
        out[c] = static_cast<int>(std::llrint(value));
    }
    return qRgb(out[0], out[1], out[2]);
}

#if defined(__SANITIZE_ADDRESS__) || !defined(NDEBUG)
constexpr int pixelStride = 97; // sanitizer and debug builds sample the colour cube
constexpr int randomMarks = 100;
#else
constexpr int pixelStride = 1;
constexpr int randomMarks = 2000;
#endif

struct NamedMark : TableRow {
    QRgb mark;
};

class BlendAgainstExtended : public ::testing::TestWithParam<NamedMark> { };

TEST_P(BlendAgainstExtended, EveryPixelColour)
{
    const QRgb mark = GetParam().mark;
    int mismatches = 0;
    for (int colour = 0; colour < 0x1000000; colour += pixelStride) {
        const QRgb pixel = 0xff000000u | QRgb(colour);
        if (blendcolor(pixel, mark) != extendedReference(pixel, mark) && ++mismatches <= 5) {
            ADD_FAILURE() << std::hex << "pixel 0x" << pixel << ": got 0x"
                          << blendcolor(pixel, mark) << ", want 0x"
                          << extendedReference(pixel, mark);
        }
    }
    EXPECT_EQ(mismatches, 0);
}

INSTANTIATE_TEST_SUITE_P(Marks, BlendAgainstExtended,
    ::testing::Values(NamedMark { "Black", qRgb(0, 0, 0) },
        NamedMark { "White", qRgb(255, 255, 255) }, NamedMark { "Red", qRgb(255, 0, 0) },
        NamedMark { "Yellow", qRgb(255, 255, 0) }, NamedMark { "Cyan", qRgb(0, 255, 255) }),
    RowName());

TEST(BlendAgainstExtended, RandomMarksAndPixels)
{
    QRandomGenerator random(2024);
    // Light colours half of the time, so that every strength of the blend comes up.
    auto colour = [&] {
        const int floor = random.bounded(2) ? 150 : 0;
        return qRgb(
            random.bounded(floor, 256), random.bounded(floor, 256), random.bounded(floor, 256));
    };
    int mismatches = 0;
    for (int m = 0; m < randomMarks; ++m) {
        const QRgb mark = colour();
        for (int i = 0; i < 8192; ++i) {
            const QRgb pixel = colour();
            if (blendcolor(pixel, mark) != extendedReference(pixel, mark) && ++mismatches <= 5)
                ADD_FAILURE() << std::hex << "pixel 0x" << pixel << ", mark 0x" << mark;
        }
    }
    EXPECT_EQ(mismatches, 0);
}

#endif

} // namespace
