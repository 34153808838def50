#include "app/PastedPicture.h"

#include <QImage>
#include <QPainter>

#include "files/PictureLimits.h"
#include "platform/Failure.h"

namespace {

QImage composedOnWhite(const QImage &image)
{
    if (!image.hasAlphaChannel())
        return image.convertToFormat(QImage::Format_RGB32);
    QImage result(image.size(), QImage::Format_RGB32);
    if (result.isNull())
        return result;
    result.fill(Qt::white);
    QPainter painter(&result);
    painter.drawImage(0, 0, image);
    return result;
}

} // namespace

Picture pastedPicture(const QImage &image)
{
    checkPictureSize(image.size());
    QImage picture = composedOnWhite(image);
    if (picture.isNull())
        throw Failure(QStringLiteral("Not enough memory to paste a picture of %1 x %2 pixels")
                          .arg(image.width())
                          .arg(image.height()));
    return Picture(std::move(picture));
}
