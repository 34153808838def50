#pragma once

#include <QRgb>
#include <QtGlobal>

// Mark's blend sixteen pixels at a time in AVX2 registers, equal to blendcolor on every pixel,
// for processors that have AVX2. Groups of sixteen that repeat the colour last blended take its
// result at once, as screenshots are mostly runs of one colour.
class VectorMark {
public:
    // Whether this processor and build run it; QUILLET_NO_AVX2 set in the environment says no,
    // so that the portable path can be tested and measured on the same machine.
    static bool available();

    // Lines of pictures are blended one after the other, sourceLineBytes apart in the source:
    // while one is blended, the next is fetched from memory, so that the checks for repeated
    // colours find it at hand.
    VectorMark(QRgb mark, qsizetype sourceLineBytes);

    // Blends a run of 24-bit pixels (red first) from src into dst, which may be the same.
    void blendRgb888(const uchar *src, uchar *dst, int count) const;
    // The same for 32-bit pixels (0xAARRGGBB words); alpha is ignored on reading and opaque on
    // writing.
    void blendXrgb32(const uchar *src, uchar *dst, int count) const;

private:
    // Unused where the build has no AVX2 path.
    [[maybe_unused]] QRgb markColour;
    [[maybe_unused]] qsizetype sourceLineBytes;
};
