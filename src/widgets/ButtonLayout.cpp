#include "widgets/ButtonLayout.h"

#include <algorithm>

FaceLayout layoutFace(
    const QRect &client, QSize glyph, QSize text, TButtonLayout layout, int margin, int spacing)
{
    const int w = client.width();
    const int h = client.height();
    // An invalid size counts as no glyph or no caption.
    const int gw = std::max(0, glyph.width());
    const int gh = std::max(0, glyph.height());
    const int tw = std::max(0, text.width());
    const int th = std::max(0, text.height());
    const bool horizontal
        = layout == TButtonLayout::blGlyphLeft || layout == TButtonLayout::blGlyphRight;

    // Integer division truncates toward zero, as the arithmetic wants.
    QPoint glyphPos;
    QPoint textPos;
    if (horizontal) {
        glyphPos.setY((h - gh + 1) / 2);
        textPos.setY((h - th + 1) / 2);
    } else {
        glyphPos.setX((w - gw + 1) / 2);
        textPos.setX((w - tw + 1) / 2);
    }
    if (tw == 0 || gw == 0)
        spacing = 0;

    const int room = horizontal ? w : h;
    const int glyphSize = horizontal ? gw : gh;
    const int textSize = horizontal ? tw : th;
    if (margin == -1 && spacing == -1) {
        margin = (room - (glyphSize + textSize)) / 3;
        spacing = margin;
    } else if (margin == -1) {
        margin = (room - (glyphSize + spacing + textSize) + 1) / 2;
    } else if (spacing == -1) {
        spacing = ((room - (margin + glyphSize)) - textSize) / 2;
    }

    switch (layout) {
    case TButtonLayout::blGlyphLeft:
        glyphPos.setX(margin);
        textPos.setX(glyphPos.x() + gw + spacing);
        break;
    case TButtonLayout::blGlyphRight:
        glyphPos.setX(w - margin - gw);
        textPos.setX(glyphPos.x() - spacing - tw);
        break;
    case TButtonLayout::blGlyphTop:
        glyphPos.setY(margin);
        textPos.setY(glyphPos.y() + gh + spacing);
        break;
    case TButtonLayout::blGlyphBottom:
        glyphPos.setY(h - margin - gh);
        textPos.setY(glyphPos.y() - spacing - th);
        break;
    }

    const QPoint origin = client.topLeft();
    return { glyphPos + origin, QRect(textPos + origin, QSize(tw, th)) };
}
