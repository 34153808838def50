#include "files/PictureMimeData.h"

#include <QtConcurrent/QtConcurrentRun>

#include "files/PngWriter.h"
#include "platform/PictureWorker.h"

namespace {

const QString pngType = QStringLiteral("image/png");

} // namespace

PictureMimeData::PictureMimeData(const QImage &picture) : copy(picture.copy())
{
    // The worker gets its own reference to the copy, which nothing writes to.
    png = QtConcurrent::run(&pictureWorker(), [image = copy] { return encodePng(image); });
}

QStringList PictureMimeData::formats() const
{
    return { pngType };
}

bool PictureMimeData::hasFormat(const QString &mimeType) const
{
    return mimeType == pngType;
}

QVariant PictureMimeData::retrieveData(const QString &mimeType, QMetaType) const
{
    if (mimeType != pngType)
        return {};
    return png.result();
}
