#pragma once

#include <QColor>
#include <QtGlobal>

class QPalette;

// A colour value as the widgets take it: red in bits 0-7, green in 8-15, blue in 16-23. A value
// with the top bit set names a system colour by the index in its low byte.
using TColor = quint32;

constexpr TColor systemColorFlag = 0x80000000u;
constexpr TColor clWindowFrame = systemColorFlag | 6;
constexpr TColor clBtnFace = systemColorFlag | 15;
constexpr TColor clBtnShadow = systemColorFlag | 16;
constexpr TColor clBtnText = systemColorFlag | 18;
constexpr TColor clBtnHighlight = systemColorFlag | 20;
constexpr TColor cl3DDkShadow = systemColorFlag | 21;
constexpr TColor cl3DLight = systemColorFlag | 22;

// The plain colour value of an RGB colour.
constexpr TColor rgbColor(int red, int green, int blue)
{
    return TColor(red & 0xff) | TColor(green & 0xff) << 8 | TColor(blue & 0xff) << 16;
}

// The RGB colour that `color` stands for; system colours come from `palette`, unknown system
// indices give the button face.
QColor resolveColor(TColor color, const QPalette &palette);
