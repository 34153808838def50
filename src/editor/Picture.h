#pragma once

#include <utility>

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

    // The bitmap in a format that every pixel operation can write to directly, with pixels of
    // its own. Throws Failure, changing nothing, when memory runs out.
    QImage &writableImage();
    // Hands the bitmap over, leaving a zero-size one.
    QImage takeImage() { return std::exchange(bitmap, QImage()); }

    // True for the formats that pixel work handles in place.
    static bool isDirectFormat(QImage::Format format);
    // The format an image of `format` is turned into before pixel work.
    static QImage::Format directFormat(QImage::Format format, bool hasAlpha);
    // Converts an image of any other format to 24-bit, or to 32-bit with alpha when it has alpha.
    // Throws Failure, leaving the image as it was, when memory runs out.
    static void makeDirect(QImage &image);
    // makeDirect, then pixels shared with another image are copied (into recycled memory), so
    // that writing never copies behind our back. Throws as makeDirect.
    static void makeWritable(QImage &image);

private:
    QImage bitmap;
    bool empty = false;
};
