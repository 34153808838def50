#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

// Where a button's glyph sits against its caption.
enum class TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

struct FaceLayout {
    QPoint glyphPos; // top-left of the glyph
    QRect textRect; // the caption's measured box, placed
};

// Places a glyph of `glyph` size and a caption of `text` size in `client`. A margin of -1 centres
// the whole; a spacing of -1 spreads the free room evenly between edge, glyph and caption.
FaceLayout layoutFace(
    const QRect &client, QSize glyph, QSize text, TButtonLayout layout, int margin, int spacing);
