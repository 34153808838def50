#include "files/PicturePreview.h"

#include <QFile>
#include <QImageReader>

#include "files/FilledImageReader.h"
#include "files/JpegCodec.h"
#include "files/PictureFiles.h"
#include "files/pathhelpers.h"
#include "platform/Failure.h"

namespace {

// Never enlarged. A large picture is first thinned to twice the box by dropping pixels, which
// costs next to nothing, and only then smoothed: a smooth scale of a whole 8K picture takes
// longer than reading it.
QImage fittedInto(const QImage &image, QSize box)
{
    if (image.width() <= box.width() && image.height() <= box.height())
        return image;
    const QImage thinned = image.width() > 4 * box.width() || image.height() > 4 * box.height()
        ? image.scaled(box * 2, Qt::KeepAspectRatio, Qt::FastTransformation)
        : image;
    return thinned.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation);
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
