#include "app/PictureDrop.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QDropEvent>
#include <QImageReader>
#include <QMimeData>
#include <QUrl>

#include "app/PastedPicture.h"
#include "files/FilledImageReader.h"
#include "files/PictureLimits.h"
#include "platform/Failure.h"

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("PictureDrop", text);
}

struct DataKind {
    const char *mimeType;
    const char *format;
};

// PNG first: it is the lossless one where a program offers several.
const DataKind dataKinds[] = { { "image/png", "png" }, { "image/bmp", "bmp" },
    { "image/x-bmp", "bmp" }, { "image/x-MS-bmp", "bmp" }, { "image/jpeg", "jpeg" } };

QString localFile(const QMimeData &mime)
{
    const QList<QUrl> urls = mime.urls();
    return urls.size() == 1 && urls.first().isLocalFile()
        ? QDir::toNativeSeparators(urls.first().toLocalFile())
        : QString();
}

const DataKind *dataKind(const QMimeData &mime)
{
    for (const DataKind &kind : dataKinds) {
        if (mime.hasFormat(QLatin1String(kind.mimeType)))
            return &kind;
    }
    return nullptr;
}

} // namespace

bool PictureDrop::acceptCopy(QDropEvent &event)
{
    const QMimeData *mime = event.mimeData();
    if (!mime || !(event.possibleActions() & Qt::CopyAction)
        || (localFile(*mime).isEmpty() && !dataKind(*mime)))
        return false;
    event.setDropAction(Qt::CopyAction);
    event.accept();
    return true;
}

std::optional<PictureDrop> PictureDrop::take(QDropEvent &event)
{
    if (!acceptCopy(event))
        return std::nullopt;
    const QMimeData &mime = *event.mimeData();
    if (QString file = localFile(mime); !file.isEmpty())
        return PictureDrop { std::move(file), {}, {} };
    return offered(mime);
}

std::optional<PictureDrop> PictureDrop::offered(const QMimeData &mime)
{
    const DataKind *kind = dataKind(mime);
    if (!kind)
        return std::nullopt;
    return PictureDrop { {}, mime.data(QLatin1String(kind->mimeType)), kind->format };
}

Picture PictureDrop::picture(const QString &source) const
{
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    reader.setAutoDetectImageFormat(false);
    // Refused before the pixels are allocated, with the message a paste gives.
    checkPictureSize(reader.size());
    QImage image;
    if (!readFilledImage(reader, image))
        throw Failure(
            tr("Cannot read the %1 picture: the data is damaged or is not %2 (%3)")
                .arg(source, QString::fromLatin1(format).toUpper(), reader.errorString()));
    return pastedPicture(image);
}
