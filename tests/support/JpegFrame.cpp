#include "JpegFrame.h"

#include <gtest/gtest.h>

namespace picturetest {

qsizetype findMarker(const QByteArray &jpeg, uchar marker)
{
    const char pattern[] = { char(0xFF), char(marker) };
    return jpeg.indexOf(QByteArrayView(pattern, 2));
}

QByteArray withFrameSize(QByteArray jpeg, int width, int height)
{
    const qsizetype sof = findMarker(jpeg, 0xC0);
    EXPECT_GE(sof, 0);
    // Marker, length (2), precision (1), then height and width, big-endian.
    const char size[] = { char(height >> 8), char(height), char(width >> 8), char(width) };
    jpeg.replace(sof + 5, 4, QByteArray(size, 4));
    return jpeg;
}

} // namespace picturetest
