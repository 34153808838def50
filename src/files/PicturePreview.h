#pragma once

#include "platform/PicturePreviewer.h"

// Previews picture files as File > Open would read them (the kind by the extension, JPEG
// upright by its Exif orientation, the same size limit), read at a reduced size where the
// format allows: libjpeg's DCT scaling for JPEG, Qt's scaled reading for the rest. Anything
// Quillet would not open, or cannot read, has no preview.
class PicturePreview : public PicturePreviewer {
public:
    Preview preview(const QString &path, QSize box) const override;
};
