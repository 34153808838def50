#pragma once

#include <array>

#include <QImage>
#include <QRgb>

#include "widgets/ButtonLayout.h"

class QColor;
class QPainter;
class QPalette;
class QRect;
class QString;
class TGlyphList;

// The drawing states of a glyph; image i of a glyph bitmap belongs to state i.
enum class FaceState { Up, Disabled, Down, Exclusive };

// Owns a button's glyph bitmap and makes, keeps and draws one image per drawing state in a
// glyph list shared through the program's glyph cache. Images are made on first use and dropped
// whenever the glyph or the number of images in it changes.
class TButtonGlyph {
public:
    TButtonGlyph();
    ~TButtonGlyph();
    TButtonGlyph(const TButtonGlyph &) = delete;
    TButtonGlyph &operator=(const TButtonGlyph &) = delete;

    const QImage &glyph() const { return bitmap; }
    // Copies `image`, takes its transparent colour and, when its width is a whole number of
    // heights, the number of images in it.
    void setGlyph(const QImage &image);
    int NumGlyphs() const { return numGlyphs; }
    // Above 4 counts as 4; 0 and below are ignored.
    void setNumGlyphs(int n);
    QRgb transparentColor() const { return transparent; }

    // Releases every state image and gives the glyph list back to the cache.
    void dropImages();
    // The list slot of the state's image on a `face` background, made when missing; -1 without
    // a glyph.
    int StateImage(FaceState state, const QColor &face, const QPalette &palette);
    const TGlyphList *glyphList() const { return list; }

    // Lays out glyph and caption in `client`, draws both and answers the caption's rectangle.
    QRect DrawFace(QPainter &painter, const QRect &client, const QColor &face, FaceState state,
        int spacing, int margin, TButtonLayout layout, const QString &caption,
        const QPalette &palette);

private:
    QSize glyphSize() const;
    void drawGlyph(QPainter &painter, QPoint pos, const QColor &face, FaceState state,
        const QPalette &palette);
    QImage makeImage(FaceState state, const QColor &face, const QPalette &palette) const;

    QImage bitmap;
    TGlyphList *list = nullptr;
    std::array<int, 4> indexes { -1, -1, -1, -1 };
    QRgb transparent = qRgb(128, 128, 0);
    int numGlyphs = 1;
};
