#pragma once

#include "editor/Picture.h"

class QImage;

// The clipboard's image as a working picture in the display's format, composed on white so that
// transparent parts never turn black. Throws Failure for a picture larger than Quillet opens or
// one that there is no memory for; the caller's picture is untouched then.
Picture pastedPicture(const QImage &image);
