#pragma once

#include <QRgb>

class QImage;
class QPoint;

// Blends every pixel of the rectangle spanned by the two corners, both included, with the mark
// colour (blendcolor). The corners may come in either order and may lie outside the image: the
// rectangle is clamped to it, so coordinates never wrap. Marked pixels become opaque. Images in a
// format without room for every 24-bit colour are turned into 24-bit ones first.
void markRectangle(QImage &image, QPoint startpt, QPoint endpt, QRgb mark);

// The same on a new image, made in one pass from the original, which is left as it is: what Mark
// needs when the unmarked picture becomes the undo picture. Throws Failure when memory runs out.
QImage markedCopy(const QImage &image, QPoint startpt, QPoint endpt, QRgb mark);
