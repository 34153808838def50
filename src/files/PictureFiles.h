#pragma once

#include <QString>

#include "editor/Picture.h"
#include "files/JpegCodec.h"

class QFile;
class QIODevice;

// Loading and saving pictures, the kind chosen by the file-name extension alone, never by
// the content. JPEG goes through libjpeg (files/JpegCodec.h), the other kinds through Qt.

// Reads the picture file `name`: ".jpg"/".jpeg" through libjpeg; ".bmp", ".ico" and ".png"
// as bitmaps in their own format (icons too, so that every edit works on them). Metafiles
// are refused, as is any other extension, and so is anything but a regular file (a named
// pipe or a device), without waiting on it. Returns a new picture or throws Failure, so a
// failed load never touches the picture the caller holds.
Picture fname2bmpimage(const QString &name);

// The reading behind fname2bmpimage, from an open device: `name` picks the kind and names
// the file in messages. Pictures above `maxPixels` are refused before they are allocated.
Picture readPicture(QIODevice &device, const QString &name, qint64 maxPixels = maxPicturePixels);

// The Qt image format a file of that name opens as ("jpeg", "bmp", "ico", "png"), by its
// extension alone; nullptr for a name Quillet does not open.
const char *pictureFormatOf(const QString &name);

// Opens `name` for reading only when it is a regular file; throws Failure ("Cannot open file
// ...") otherwise, without waiting on a pipe or a device.
void openRegularFile(QFile &file, const QString &name);

enum class SavedAs { Jpeg, Other };

// Saves `picture` to `name`. A name without an extension first gets ".jpg" (saveFilterIndex
// 1) or ".bmp" (otherwise), which stays in the caller's variable. ".jpg"/".jpeg" write JPEG,
// ".png" writes PNG, every other extension writes Windows bitmap data. The file is replaced
// only once it is completely written, so a failure never destroys or truncates the old one.
// Throws Failure on every failure, including an empty picture (no graphic) under any name.
SavedAs bmpimage2fname(const Picture &picture, QString &name, int saveFilterIndex);
