#pragma once

#include <QBitArray>
#include <QImage>
#include <QList>
#include <QRgb>

// An image list of one image size whose slots can be freed and reused: a released slot keeps
// its image until an added image takes the slot again.
class TGlyphList {
public:
    TGlyphList(int width, int height);

    int width() const { return w; }
    int height() const { return h; }
    int count() const { return used; }

    // Takes the first free slot, growing the list by a blank image when none is free.
    int AcquireSlot();
    // Adds `image` in a new slot and answers the slot.
    int add(const QImage &image);
    // Adds `image` with the pixels of `maskColor` made transparent.
    int addMasked(const QImage &image, QRgb maskColor);
    void ReleaseSlot(int slot);

    // The image of a slot; a null image for a slot that does not exist.
    QImage image(int slot) const;

private:
    int w;
    int h;
    QList<QImage> images;
    QBitArray usedSlots;
    int used = 0;
};
