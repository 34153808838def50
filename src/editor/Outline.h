#pragma once

class QImage;
class QPoint;

// The selection's dotted outline, drawn into the picture's own pixels by inverting their RGB
// (alpha untouched), so that drawing the same rectangle a second time restores every pixel
// exactly. The rectangle spans the two corners in either order; its right and bottom edges are
// excluded (columns min x to max x - 1, rows min y to max y - 1), so a zero-width or zero-height
// rectangle draws nothing. The dots are the pixels whose x + y is even, and every outline pixel is
// inverted once per call even where edges meet or coincide. Clipped to the image.
void drawselrect(QImage &image, QPoint startpt, QPoint endpt);
