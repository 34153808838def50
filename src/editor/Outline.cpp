#include "editor/Outline.h"

#include <cstdint>
#include <cstring>

#include <QImage>
#include <QPoint>
#include <QSize>

#include "editor/Picture.h"
#include "editor/SelectionRect.h"

namespace {

// Inverts the dots of one edge: every other pixel, those whose x + y is even.
void invertDots(QImage &image, const QRect &edge)
{
    const bool threeBytes = image.format() == QImage::Format_RGB888;
    for (int y = edge.top(); y <= edge.bottom(); ++y) {
        uchar *line = image.scanLine(y);
        for (int x = edge.left() + ((edge.left() + y) & 1); x <= edge.right(); x += 2) {
            if (threeBytes) {
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
    }
}

} // namespace

std::array<QRect, 4> outlineEdges(QSize size, QPoint startpt, QPoint endpt)
{
    // Clamped one pixel beyond the picture, an edge off the picture stays off it.
    const QRect r = selectionRect(
        startpt, endpt, FarEdge::Excluded, QRect(QPoint(0, 0), size).adjusted(-1, -1, 1, 1));
    std::array<QRect, 4> edges;
    if (r.isEmpty())
        return edges;
    const QRect picture(QPoint(0, 0), size);
    // The rows take the corners, the columns only what lies between them; a one-pixel-high or
    // -wide rectangle has a single row or column.
    edges[0] = QRect(r.left(), r.top(), r.width(), 1) & picture;
    if (r.height() > 1)
        edges[1] = QRect(r.left(), r.bottom(), r.width(), 1) & picture;
    if (r.height() > 2) {
        edges[2] = QRect(r.left(), r.top() + 1, 1, r.height() - 2) & picture;
        if (r.width() > 1)
            edges[3] = QRect(r.right(), r.top() + 1, 1, r.height() - 2) & picture;
    }
    return edges;
}

void drawselrect(QImage &image, QPoint startpt, QPoint endpt)
{
    if (image.isNull())
        return;
    const std::array<QRect, 4> edges = outlineEdges(image.size(), startpt, endpt);
    if (edges[0].isEmpty() && edges[1].isEmpty() && edges[2].isEmpty() && edges[3].isEmpty())
        return;
    Picture::makeWritable(image);
    for (const QRect &edge : edges) {
        if (!edge.isEmpty())
            invertDots(image, edge);
    }
}
