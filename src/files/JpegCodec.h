#pragma once

#include <QSize>
#include <QString>

class QByteArray;
class QIODevice;
class QImage;

// JPEG through libjpeg. Library errors become Failure("JPEG error #<libjpeg message code>");
// warnings (damaged but readable data) are ignored, as are libjpeg's trace messages.

// The most pixels a picture may have when it is opened: 64 megapixels cover 8K screens and
// most cameras, keep a picture, its undo copy and a conversion well inside memory, and match
// Qt's own default allocation limit for 32-bit pictures.
inline constexpr qint64 maxPicturePixels = qint64(8192) * 8192;

// The message that refuses a picture above `maxPixels`.
QString pictureTooLargeMessage(qint64 width, qint64 height, qint64 maxPixels);

// Decodes at full size with block smoothing. Colour files give Format_RGB888, CMYK and YCCK
// files included (Adobe's inverted CMYK told apart by its APP14 block); one-component
// (grayscale) files give Format_Indexed8 with a 256-level gray palette. Pictures always decode
// to 24 bits except grayscale: no display today has 8 bits per pixel or fewer. The picture
// comes upright, turned as its Exif orientation asks; a damaged Exif block is ignored. Throws
// Failure; a header that claims more than `maxPixels` pixels is refused before anything is
// allocated.
QImage decodeJpeg(const QByteArray &data, qint64 maxPixels = maxPicturePixels);
QImage decodeJpeg(QIODevice &device, qint64 maxPixels = maxPicturePixels);
// The same at the smallest of libjpeg's scales (1, 1/2, 1/4, 1/8) that still covers `box`
// upright, for a preview; `fullSize`, where given, gets the upright size at full scale.
QImage decodeJpegScaled(
    QIODevice &device, QSize box, QSize *fullSize, qint64 maxPixels = maxPicturePixels);

// Encodes a 24-bit copy of `image`: quality 90 with baseline tables, three RGB components,
// sequential, libjpeg's defaults otherwise, and no Exif block (the picture is upright). A picture
// of zero width or height gives no bytes.
QByteArray encodeJpeg(const QImage &image);
// The same, written to `device` as it is made. Returns false when the device refuses data;
// libjpeg's own errors throw Failure.
bool encodeJpeg(const QImage &image, QIODevice &device);
