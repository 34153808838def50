#include "editor/Downscale.h"

QImage downscaled(const QImage &image, QSize size)
{
    const bool far = image.width() > 4 * size.width() || image.height() > 4 * size.height();
    const QImage thinned
        = far ? image.scaled(size * 2, Qt::IgnoreAspectRatio, Qt::FastTransformation) : image;
    return thinned.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}
