#pragma once

#include <optional>

#include "editor/Picture.h"

class QImage;

// The clipboard's image as a working picture in the display's format, composed on white so that
// transparent parts never turn black. Throws Failure for a picture larger than Quillet opens or
// one that there is no memory for; the caller's picture is untouched then.
Picture pastedPicture(const QImage &image);

// What Edit > Paste takes from the clipboard: another program's PNG, bitmap or JPEG data read
// as a drop's is (Qt's own decoding would take any format, and a damaged bitmap with leftover
// memory), else the clipboard's picture; nothing when it holds none. Throws Failure for data
// that cannot be read.
std::optional<Picture> clipboardPicture();
