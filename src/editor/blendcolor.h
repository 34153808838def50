#pragma once

#include <QRgb>

// The highlight blend: the colour a pixel takes when the mark colour is laid over it, the way a
// text marker tints paper. Light pixels take on the mark's hue, dark ones stay dark, a white mark
// changes nothing and a black mark blackens. Pure and exact; the alpha of both inputs is
// ignored and the result is opaque.
QRgb blendcolor(QRgb pixel, QRgb mark);
