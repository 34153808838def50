#include "editor/Picture.h"

#include "editor/PictureBuffers.h"
#include "platform/Failure.h"

Picture::Picture(QImage image) : bitmap(std::move(image)) { }

Picture Picture::emptyPicture()
{
    Picture picture;
    picture.empty = true;
    return picture;
}

bool Picture::isDirectFormat(QImage::Format format)
{
    return format == QImage::Format_RGB888 || format == QImage::Format_RGB32
        || format == QImage::Format_ARGB32;
}

QImage::Format Picture::directFormat(QImage::Format format, bool hasAlpha)
{
    if (isDirectFormat(format))
        return format;
    return hasAlpha ? QImage::Format_ARGB32 : QImage::Format_RGB888;
}

void Picture::makeDirect(QImage &image)
{
    if (image.isNull() || isDirectFormat(image.format()))
        return;
    QImage direct = image.convertToFormat(directFormat(image.format(), image.hasAlphaChannel()));
    if (direct.isNull())
        throw notEnoughMemory(image.size());
    image = std::move(direct);
}

void Picture::makeWritable(QImage &image)
{
    makeDirect(image);
    if (!image.isNull() && !image.isDetached())
        image = PictureBuffers::copyOf(image);
}

QImage &Picture::writableImage()
{
    makeWritable(bitmap);
    return bitmap;
}
