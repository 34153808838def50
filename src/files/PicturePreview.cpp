#include "files/PicturePreview.h"

#include <QFile>

#include "editor/Downscale.h"
#include "files/JpegCodec.h"
#include "files/PictureFiles.h"

namespace {

// Never enlarged.
QImage fittedInto(const QImage &image, QSize box)
{
    if (image.width() <= box.width() && image.height() <= box.height())
        return image;
    return downscaled(image, image.size().scaled(box, Qt::KeepAspectRatio).expandedTo(QSize(1, 1)));
}

// JPEG through libjpeg's reduced scales; the other kinds as File > Open reads them.
PicturePreviewer::Preview readPreview(QFile &file, const QString &path, bool jpeg, QSize box)
{
    if (jpeg) {
        QSize size;
        const QImage image = decodeJpegScaled(file, box, &size);
        return { fittedInto(image, box), size };
    }
    const QImage image = readPicture(file, path).takeImage();
    return { fittedInto(image, box), image.size() };
}

} // namespace

PicturePreviewer::Preview PicturePreview::preview(const QString &path, QSize box) const
{
    try {
        const char *format = pictureFormatOf(path);
        if (!format)
            return {};
        QFile file;
        openRegularFile(file, path);
        return readPreview(file, path, qstrcmp(format, "jpeg") == 0, box);
    } catch (...) {
        // Whatever cannot be read shows "No preview"; the dialog goes on.
        return {};
    }
}
