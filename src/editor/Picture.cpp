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

QImage &Picture::writableImage()
{
    if (!bitmap.isNull() && !isDirectFormat(bitmap.format())) {
        bitmap = bitmap.convertToFormat(
            bitmap.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB888);
    }
    return bitmap;
}
