#pragma once

#include <QImage>
#include <QSize>

// The working picture: a bitmap (which may be 0 x 0) or empty, holding no graphic at all.
// Pixel work goes through writableImage(), which first turns pictures whose format cannot
// hold every 24-bit colour (palettes, 16-bit, mono) into 24-bit ones, so that a highlight
// never snaps to the nearest palette entry.
class Picture {
public:
    // A bitmap of zero size.
    Picture() = default;
    explicit Picture(QImage image);

    static Picture emptyPicture();

    bool isEmpty() const { return empty; }
    // Null for an empty picture and for a zero-size bitmap.
    const QImage &image() const { return bitmap; }
    QSize size() const { return bitmap.size(); }
    bool hasPixels() const { return !empty && !bitmap.isNull(); }

    // The bitmap in a format that every pixel operation can write to directly.
    QImage &writableImage();

    // True for the formats that pixel work handles in place.
    static bool isDirectFormat(QImage::Format format);
    // Converts an image of any other format to 24-bit, or to 32-bit with alpha when it has alpha.
    static void makeDirect(QImage &image);

private:
    QImage bitmap;
    bool empty = false;
};
