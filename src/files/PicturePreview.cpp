#include "files/PicturePreview.h"

#include <QFile>
#include <QImageReader>

#include "editor/Downscale.h"
#include "files/FilledImageReader.h"
#include "files/JpegCodec.h"
#include "files/PictureFiles.h"
#include "files/pathhelpers.h"
#include "platform/Failure.h"

namespace {

// Never enlarged.
QImage fittedInto(const QImage &image, QSize box)
{
    if (image.width() <= box.width() && image.height() <= box.height())
        return image;
    return downscaled(image, image.size().scaled(box, Qt::KeepAspectRatio).expandedTo(QSize(1, 1)));
}

PicturePreviewer::Preview readPreview(QFile &file, const QString &path, QSize box)
{
    const QString ext = fileExtension(path);
    if (ext == QLatin1String(".jpg") || ext == QLatin1String(".jpeg")) {
        QSize size;
        const QImage image = decodeJpegScaled(file, box, &size);
        return { fittedInto(image, box), size };
    }
    QImageReader reader(&file, pictureFormatOf(path));
    reader.setAutoDetectImageFormat(false);
    const QSize size = reader.size();
    if (!size.isValid() || qint64(size.width()) * size.height() > maxPicturePixels)
        return {};
    QImage image;
    if (!readFilledImage(reader, image))
        return {};
    return { fittedInto(image, box), size };
}

} // namespace

PicturePreviewer::Preview PicturePreview::preview(const QString &path, QSize box) const
{
    try {
        if (!pictureFormatOf(path))
            return {};
        QFile file;
        openRegularFile(file, path);
        return readPreview(file, path, box);
    } catch (...) {
        // Whatever cannot be read shows "No preview"; the dialog goes on.
        return {};
    }
}
