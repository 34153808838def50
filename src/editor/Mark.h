#pragma once

#include <QRgb>

class QImage;
class QPoint;
class QRect;
class QSize;

// The pixels Mark blends on a picture of `size`: the rectangle spanned by the two corners, both
// included, in either order, clamped to the picture so that coordinates never wrap.
QRect markedBlock(QSize size, QPoint startpt, QPoint endpt);

// Blends every pixel of markedBlock with the mark colour (blendcolor). Marked pixels become
// opaque. Images in a format without room for every 24-bit colour are turned into 24-bit ones
// first. Throws Failure, changing nothing, when memory runs out.
void markRectangle(QImage &image, QPoint startpt, QPoint endpt, QRgb mark);

// The same written into `result`, an image of the same size and direct format with pixels of its
// own, in one pass over `image`, which is left as it is: what Mark needs when the unmarked
// picture becomes the undo picture. Every pixel of `result` is written.
void markInto(const QImage &image, QImage &result, QPoint startpt, QPoint endpt, QRgb mark);

// markInto on a new image (from recycled memory), keeping the picture's metadata. Throws Failure
// when memory runs out.
QImage markedCopy(const QImage &image, QPoint startpt, QPoint endpt, QRgb mark);
