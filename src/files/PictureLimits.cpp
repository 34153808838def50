#include "files/PictureLimits.h"

#include <QImageReader>
#include <QSize>

#include "files/JpegCodec.h"
#include "platform/Failure.h"

void allowPicturesUpToOpenLimit()
{
    // 32 bits a pixel, and a converted copy on top while a reader turns it into our format.
    const int megabytes = int((maxPicturePixels * 4 * 2 + (1 << 20) - 1) >> 20);
    QImageReader::setAllocationLimit(megabytes);
}

void checkPictureSize(const QSize &size)
{
    if (qint64(size.width()) * size.height() > maxPicturePixels)
        throw Failure(pictureTooLargeMessage(size.width(), size.height(), maxPicturePixels));
}
