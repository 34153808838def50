#pragma once

#include "platform/PicturePreviewer.h"

// Previews picture files as File > Open would read them (the kind by the extension, JPEG
// upright by its Exif orientation, the same size limit): JPEG read at a reduced size through
// libjpeg's DCT scaling, the rest read whole and then shrunk. Anything Quillet would not open,
// or cannot read, has no preview.
class PicturePreview : public PicturePreviewer {
public:
    Preview preview(const QString &path, QSize box) const override;
};
