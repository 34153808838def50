#include "editor/KeptBlock.h"

#include <algorithm>
#include <cstdlib>

#include "editor/Picture.h"
#include "editor/PictureBuffers.h"

namespace {

void copyAsRgb32(const QImage &from, const QRect &block, QImage &to, QPoint at)
{
    for (int y = 0; y < block.height(); ++y) {
        const uchar *source = from.constScanLine(block.top() + y);
        auto *target = reinterpret_cast<QRgb *>(to.scanLine(at.y() + y)) + at.x();
        if (from.format() == QImage::Format_RGB888) {
            source += 3 * qsizetype(block.left());
            for (int x = 0; x < block.width(); ++x, source += 3)
                target[x] = qRgb(source[0], source[1], source[2]);
        } else {
            const QRgb *pixels = reinterpret_cast<const QRgb *>(source) + block.left();
            for (int x = 0; x < block.width(); ++x)
                target[x] = pixels[x] | 0xff000000u;
        }
    }
}

} // namespace

QRect keptRect(QPoint startpt, QPoint endpt)
{
    return QRect(QPoint(std::min(startpt.x(), endpt.x()), std::min(startpt.y(), endpt.y())),
        QSize(std::abs(endpt.x() - startpt.x()), std::abs(endpt.y() - startpt.y())));
}

void copyKept(const QImage &picture, const QRect &kept, QImage &block)
{
    const QRect onPicture = kept.intersected(picture.rect());
    if (onPicture != kept)
        block.fill(Qt::white);
    copyAsRgb32(picture, onPicture, block, onPicture.topLeft() - kept.topLeft());
    PictureBuffers::copyMetadata(picture, block);
}

QImage keptBlock(const QImage &picture, const QRect &kept)
{
    QImage block = PictureBuffers::newImage(kept.size(), QImage::Format_RGB32);
    if (block.isNull())
        return block;
    // The copy reads 24- and 32-bit rows; a palette or 16-bit picture is made direct first, as
    // the window does before it draws an outline.
    QImage direct = picture;
    Picture::makeDirect(direct);
    copyKept(direct, kept, block);
    return block;
}
