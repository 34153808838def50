#include "app/PastedPicture.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QPainter>

#include "app/PictureDrop.h"
#include "files/PictureLimits.h"
#include "files/PictureMimeData.h"
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

std::optional<Picture> clipboardPicture()
{
    const QClipboard *clipboard = QGuiApplication::clipboard();
    const QMimeData *mime = clipboard->mimeData();
    if (const auto *ours = qobject_cast<const PictureMimeData *>(mime))
        return pastedPicture(ours->picture());
    if (const auto data = mime ? PictureDrop::offered(*mime) : std::nullopt)
        return data->picture(QStringLiteral("pasted"));
    const QImage pasted = clipboard->image();
    if (pasted.isNull())
        return std::nullopt;
    return pastedPicture(pasted);
}
