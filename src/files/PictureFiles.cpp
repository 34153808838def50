#include "files/PictureFiles.h"

#include <algorithm>
#include <fcntl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>

#include <sys/stat.h>

#include "files/FilledImageReader.h"
#include "files/PngWriter.h"
#include "files/pathhelpers.h"
#include "platform/AtomicFile.h"
#include "platform/Failure.h"

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("PictureFiles", text);
}

enum class Kind { Jpeg, Bitmap, Icon, Png };

struct QtKind {
    const char *format;
    const char *description;
};

QtKind qtKind(Kind kind)
{
    switch (kind) {
    case Kind::Icon:
        return { "ico", "an icon" };
    case Kind::Png:
        return { "png", "a PNG" };
    default:
        return { "bmp", "a bitmap" };
    }
}

// The kind a name opens as; throws for the extensions that do not open.
Kind loadableKind(const QString &name)
{
    const QString ext = fileExtension(name);
    if (ext == QLatin1String(".jpg") || ext == QLatin1String(".jpeg"))
        return Kind::Jpeg;
    if (ext == QLatin1String(".bmp"))
        return Kind::Bitmap;
    if (ext == QLatin1String(".ico"))
        return Kind::Icon;
    if (ext == QLatin1String(".png"))
        return Kind::Png;
    // There is no metafile reader here; saying so is clearer than "unknown extension".
    if (ext == QLatin1String(".emf") || ext == QLatin1String(".wmf"))
        throw Failure(tr("Cannot open file %1: metafiles are not supported")
                          .arg(QDir::toNativeSeparators(name)));
    const QString written = name.mid(name.size() - ext.size() + 1);
    throw Failure(tr("Unknown picture file extension (.%1)").arg(written));
}

bool isJpegExtension(const QString &ext)
{
    return ext == QLatin1String(".jpg") || ext == QLatin1String(".jpeg");
}

[[noreturn]] void cannotCreate(const QString &name)
{
    throw Failure(tr("Cannot create file %1").arg(QDir::toNativeSeparators(name)));
}

// Writes through a temporary file in the same folder that replaces `name` only once
// `write` has succeeded, so a failure leaves the old file as it was and no partial one.
template<class Write> void saveAtomically(const QString &name, const Write &write)
{
    AtomicFile file(name);
    if (!file.open(QIODevice::WriteOnly) || !write(file) || !file.commit())
        cannotCreate(name);
}

[[noreturn]] void cannotOpen(const QString &name, const QString &reason = {})
{
    const QString message = tr("Cannot open file %1").arg(QDir::toNativeSeparators(name));
    throw Failure(reason.isEmpty() ? message : message + QLatin1String(": ") + reason);
}

} // namespace

const char *pictureFormatOf(const QString &name)
{
    try {
        const Kind kind = loadableKind(name);
        return kind == Kind::Jpeg ? "jpeg" : qtKind(kind).format;
    } catch (const Failure &) {
        return nullptr;
    }
}

// A named pipe would block the open (and every read) until some other program writes into it,
// and a device may never end, so the file is opened without waiting and asked what it is
// before a byte is read.
void openRegularFile(QFile &file, const QString &name)
{
    // The system would read a name only up to a NUL and open another file.
    if (name.contains(QChar(0)))
        cannotOpen(name);
    const int fd = ::open(QFile::encodeName(name).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        cannotOpen(name);
    struct stat info { };
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        cannotOpen(name, tr("it is not a regular file"));
    }
    // Reads from a regular file never wait; clearing the flag only keeps the descriptor plain.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        cannotOpen(name);
    }
}

Picture readPicture(QIODevice &device, const QString &name, qint64 maxPixels)
{
    const Kind kind = loadableKind(name);
    if (kind == Kind::Jpeg)
        return Picture(decodeJpeg(device, maxPixels));

    const QtKind qt = qtKind(kind);
    QImageReader reader(&device, qt.format);
    reader.setAutoDetectImageFormat(false);
    // Formats that do not tell their size early are still held by Qt's allocation limit.
    const QSize size = reader.size();
    if (size.isValid() && qint64(size.width()) * size.height() > maxPixels)
        throw Failure(pictureTooLargeMessage(size.width(), size.height(), maxPixels));
    QImage image;
    if (!readFilledImage(reader, image)) {
        throw Failure(tr("Cannot read %1: the file is damaged or is not %2 file (%3)")
                          .arg(QDir::toNativeSeparators(name), QLatin1String(qt.description),
                              reader.errorString()));
    }
    return Picture(std::move(image));
}

Picture fname2bmpimage(const QString &name)
{
    loadableKind(name);
    QFile file;
    openRegularFile(file, name);
    return readPicture(file, name);
}

SavedAs bmpimage2fname(const Picture &picture, QString &name, int saveFilterIndex)
{
    if (fileExtension(name).isEmpty())
        name += saveFilterIndex == 1 ? QLatin1String(".jpg") : QLatin1String(".bmp");
    const QString ext = fileExtension(name);
    if (picture.isEmpty())
        throw Failure(tr("There is no picture to save"));

    if (isJpegExtension(ext)) {
        // A picture of zero width or height writes an empty file.
        saveAtomically(name, [&](QIODevice &file) { return encodeJpeg(picture.image(), file); });
        return SavedAs::Jpeg;
    }

    // Qt writes no bitmap of zero size; say so rather than leave a file that opens nowhere.
    if (picture.image().isNull())
        throw Failure(tr("A picture of zero width or height cannot be saved as %1")
                          .arg(QDir::toNativeSeparators(name)));
    if (ext == QLatin1String(".png")) {
        saveAtomically(name, [&](QIODevice &file) { return encodePng(picture.image(), file); });
        return SavedAs::Other;
    }
    saveAtomically(name, [&](QIODevice &file) {
        QImageWriter writer(&file, "bmp");
        return writer.write(picture.image());
    });
    return SavedAs::Other;
}
