#include "widgets/TGlyphList.h"

TGlyphList::TGlyphList(int width, int height) : w(width), h(height) { }

int TGlyphList::AcquireSlot()
{
    int slot = 0;
    while (slot < usedSlots.size() && usedSlots.testBit(slot))
        ++slot;
    if (slot >= images.size()) {
        QImage blank(w, h, QImage::Format_ARGB32_Premultiplied);
        blank.fill(Qt::transparent);
        images.append(blank);
    }
    if (slot >= usedSlots.size())
        usedSlots.resize(slot + 1);
    usedSlots.setBit(slot);
    return slot;
}

int TGlyphList::add(const QImage &image)
{
    const int slot = AcquireSlot();
    images[slot] = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    ++used;
    return slot;
}

int TGlyphList::addMasked(const QImage &image, QRgb maskColor)
{
    QImage masked = image.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = maskColor | 0xff000000u;
    for (int y = 0; y < masked.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(masked.scanLine(y));
        for (int x = 0; x < masked.width(); ++x) {
            if ((line[x] | 0xff000000u) == key)
                line[x] = 0;
        }
    }
    return add(masked);
}

void TGlyphList::ReleaseSlot(int slot)
{
    if (slot < 0 || slot >= usedSlots.size() || !usedSlots.testBit(slot))
        return;
    usedSlots.clearBit(slot);
    --used;
}

QImage TGlyphList::image(int slot) const
{
    return slot >= 0 && slot < images.size() ? images.at(slot) : QImage();
}
