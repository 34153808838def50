#include "widgets/TButtonGlyph.h"

#include <algorithm>
#include <cmath>

#include <QColor>
#include <QFontMetrics>
#include <QPainter>
#include <QPalette>
#include <QString>

#include "widgets/SystemColor.h"
#include "widgets/TGlyphCache.h"
#include "widgets/TGlyphList.h"

namespace {

constexpr QRgb rgbOnly(QRgb c)
{
    return c & 0xffffffu;
}

// Paints `color` over every pixel of `image` whose colour in `source` is `key`.
void paintWhere(QImage &image, const QImage &source, QRgb key, const QColor &color, QPoint offset)
{
    const QRgb paint = color.rgb();
    for (int y = 0; y < source.height(); ++y) {
        const int ty = y + offset.y();
        if (ty < 0 || ty >= image.height())
            continue;
        const auto *from = reinterpret_cast<const QRgb *>(source.constScanLine(y));
        auto *to = reinterpret_cast<QRgb *>(image.scanLine(ty));
        for (int x = 0; x < source.width(); ++x) {
            const int tx = x + offset.x();
            if (tx >= 0 && tx < image.width() && rgbOnly(from[x]) == rgbOnly(key))
                to[tx] = paint;
        }
    }
}

bool isTwoColour(const QImage &image)
{
    return image.depth() == 1
        || (image.format() == QImage::Format_Indexed8 && image.colorCount() == 2);
}

} // namespace

TButtonGlyph::TButtonGlyph()
{
    TGlyphCache::glyphMade();
}

TButtonGlyph::~TButtonGlyph()
{
    dropImages();
    TGlyphCache::glyphGone();
}

void TButtonGlyph::setGlyph(const QImage &image)
{
    dropImages();
    bitmap = image.isNull() ? QImage() : image.convertToFormat(QImage::Format_RGB32);
    if (bitmap.isNull() || bitmap.width() == 0 || bitmap.height() == 0)
        return;
    transparent = isTwoColour(image) ? qRgb(255, 255, 255)
                                     : rgbOnly(bitmap.pixel(0, bitmap.height() - 1)) | 0xff000000u;
    if (bitmap.width() % bitmap.height() == 0) {
        const int n = bitmap.width() / bitmap.height();
        numGlyphs = n > 4 ? 1 : n;
    }
}

void TButtonGlyph::setNumGlyphs(int n)
{
    if (n <= 0)
        return;
    n = std::min(n, 4);
    if (n == numGlyphs)
        return;
    dropImages();
    numGlyphs = n;
}

void TButtonGlyph::dropImages()
{
    for (int &slot : indexes) {
        if (slot != -1 && list)
            list->ReleaseSlot(slot);
        slot = -1;
    }
    if (list && TGlyphCache::exists())
        TGlyphCache::instance().ReleaseList(list);
    list = nullptr;
}

QSize TButtonGlyph::glyphSize() const
{
    if (bitmap.isNull())
        return {};
    return { bitmap.width() / numGlyphs, bitmap.height() };
}

int TButtonGlyph::StateImage(FaceState state, const QColor &face, const QPalette &palette)
{
    if (state == FaceState::Down && numGlyphs < 3)
        state = FaceState::Up;
    int &slot = indexes[size_t(state)];
    if (slot != -1)
        return slot;
    const QSize size = glyphSize();
    if (size.isEmpty())
        return -1;
    if (!list)
        list = TGlyphCache::instance().ListFor(size.width(), size.height());
    const QImage image = makeImage(state, face, palette);
    slot = state == FaceState::Exclusive ? list->addMasked(image, transparent) : list->add(image);
    return slot;
}

QImage TButtonGlyph::makeImage(FaceState state, const QColor &face, const QPalette &palette) const
{
    const QSize size = glyphSize();
    const int own = int(state);
    const QImage source
        = bitmap.copy((own < numGlyphs ? own : 0) * size.width(), 0, size.width(), size.height());
    QImage image = source;
    switch (state) {
    case FaceState::Up:
    case FaceState::Down:
        paintWhere(image, source, transparent, face, {});
        break;
    case FaceState::Exclusive:
        break;
    case FaceState::Disabled:
        if (numGlyphs == 1) {
            // Engraved: the black pixels in highlight one pixel down-right, then in shadow.
            image.fill(face);
            paintWhere(
                image, source, qRgb(0, 0, 0), resolveColor(clBtnHighlight, palette), { 1, 1 });
            paintWhere(image, source, qRgb(0, 0, 0), resolveColor(clBtnShadow, palette), {});
        } else {
            paintWhere(
                image, source, qRgb(255, 255, 255), resolveColor(clBtnHighlight, palette), {});
            paintWhere(image, source, qRgb(128, 128, 128), resolveColor(clBtnShadow, palette), {});
            paintWhere(image, source, transparent, face, {});
        }
        break;
    }
    return image;
}

void TButtonGlyph::drawGlyph(
    QPainter &painter, QPoint pos, const QColor &face, FaceState state, const QPalette &palette)
{
    const QSize size = glyphSize();
    if (size.isEmpty())
        return;
    const int slot = StateImage(state, face, palette);
    if (slot < 0)
        return;
    // Pixel art stays crisp on scaled screens when drawn at a whole number of device pixels
    // per glyph pixel, centred in the glyph's place.
    const qreal dpr = painter.device() ? painter.device()->devicePixelRatio() : 1.0;
    const int zoom = std::max(1, int(dpr));
    const QPointF place(std::round(pos.x() * dpr + (size.width() * (dpr - zoom)) / 2),
        std::round(pos.y() * dpr + (size.height() * (dpr - zoom)) / 2));
    const QRectF target(place / dpr, QSizeF(size * zoom) / dpr);
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(target, list->image(slot));
    painter.restore();
}

QRect TButtonGlyph::DrawFace(QPainter &painter, const QRect &client, const QColor &face,
    FaceState state, int spacing, int margin, TButtonLayout layout, const QString &caption,
    const QPalette &palette)
{
    const QSize text = caption.isEmpty()
        ? QSize()
        : painter.fontMetrics()
              .boundingRect(QRect(0, 0, client.width(), 0), Qt::TextShowMnemonic, caption)
              .size();
    const FaceLayout placed = layoutFace(client, glyphSize(), text, layout, margin, spacing);
    drawGlyph(painter, placed.glyphPos, face, state, palette);

    if (!caption.isEmpty()) {
        painter.save();
        painter.setBrush(Qt::NoBrush);
        if (state == FaceState::Disabled) {
            const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextShowMnemonic;
            painter.setPen(QColor(255, 255, 255));
            painter.drawText(placed.textRect.translated(1, 1), flags, caption);
            painter.setPen(QColor(128, 128, 128));
            painter.drawText(placed.textRect, flags, caption);
        } else {
            painter.setPen(palette.color(QPalette::ButtonText));
            painter.drawText(placed.textRect,
                Qt::AlignCenter | Qt::TextSingleLine | Qt::TextShowMnemonic, caption);
        }
        painter.restore();
    }
    return placed.textRect;
}
