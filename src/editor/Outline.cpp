#include "editor/Outline.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include <QImage>
#include <QPoint>

#include "editor/Picture.h"

namespace {

void invertPixel(QImage &image, int x, int y)
{
    uchar *line = image.scanLine(y);
    if (image.format() == QImage::Format_RGB888) {
        uchar *pixel = line + 3 * x;
        pixel[0] ^= 0xff;
        pixel[1] ^= 0xff;
        pixel[2] ^= 0xff;
    } else {
        std::uint32_t value;
        std::memcpy(&value, line + 4 * x, 4);
        value ^= 0x00ffffffu;
        std::memcpy(line + 4 * x, &value, 4);
    }
}

bool isDot(int x, int y)
{
    return ((x + y) & 1) == 0;
}

void invertRow(QImage &image, int y, int left, int right)
{
    if (y < 0 || y >= image.height())
        return;
    const int from = std::max(left, 0), to = std::min(right, image.width());
    for (int x = from + (isDot(from, y) ? 0 : 1); x < to; x += 2)
        invertPixel(image, x, y);
}

void invertColumn(QImage &image, int x, int top, int bottom)
{
    if (x < 0 || x >= image.width())
        return;
    const int from = std::max(top, 0), to = std::min(bottom, image.height());
    for (int y = from + (isDot(x, from) ? 0 : 1); y < to; y += 2)
        invertPixel(image, x, y);
}

} // namespace

void drawselrect(QImage &image, QPoint startpt, QPoint endpt)
{
    const int left = std::min(startpt.x(), endpt.x()), right = std::max(startpt.x(), endpt.x());
    const int top = std::min(startpt.y(), endpt.y()), bottom = std::max(startpt.y(), endpt.y());
    if (image.isNull() || left == right || top == bottom)
        return;
    Picture::makeDirect(image);

    // Each pixel once: the top and bottom rows take the corners, the columns only what lies
    // between them; a one-pixel-high or -wide rectangle has a single row or column.
    invertRow(image, top, left, right);
    if (bottom - 1 != top)
        invertRow(image, bottom - 1, left, right);
    invertColumn(image, left, top + 1, bottom - 1);
    if (right - 1 != left)
        invertColumn(image, right - 1, top + 1, bottom - 1);
}
