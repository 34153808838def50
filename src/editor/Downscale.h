#pragma once

#include <QImage>
#include <QSize>

// `image` scaled down to exactly `size` so that text stays legible: averaged over the pixels
// each result pixel covers. Far below the original, it is first thinned to twice `size` by
// dropping pixels, which costs next to nothing, since averaging a whole 8K picture takes longer
// than the eye can tell apart.
QImage downscaled(const QImage &image, QSize size);
