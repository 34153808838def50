#pragma once

#include <array>

#include <QRect>

class QImage;
class QPoint;
class QSize;

// The selection's dotted outline, drawn into the picture's own pixels by inverting their RGB
// (alpha untouched), so that drawing the same rectangle a second time restores every pixel
// exactly. The rectangle spans the two corners in either order; its right and bottom edges are
// excluded (columns min x to max x - 1, rows min y to max y - 1), so a zero-width or zero-height
// rectangle draws nothing. The dots are the pixels whose x + y is even, and every outline pixel is
// inverted once per call even where edges meet or coincide. Clipped to the image. Throws Failure,
// changing nothing, when a palette picture cannot be made 24-bit.
void drawselrect(QImage &image, QPoint startpt, QPoint endpt);

// Where that outline lies on a picture of `size`: its top and bottom rows and the columns
// between them, clipped, each pixel in one of them; the parts off the picture are empty.
std::array<QRect, 4> outlineEdges(QSize size, QPoint startpt, QPoint endpt);
