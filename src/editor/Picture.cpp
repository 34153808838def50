#include "editor/Picture.h"

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

void Picture::makeDirect(QImage &image)
{
    if (!image.isNull() && !isDirectFormat(image.format())) {
        image = image.convertToFormat(
            image.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB888);
    }
}

QImage &Picture::writableImage()
{
    makeDirect(bitmap);
    return bitmap;
}
