#pragma once

#include <QImage>

// A 24-bit picture that looks like a desktop screenshot: light window backgrounds, dark
// text-like strokes, a few coloured areas and photo-like gradients. Deterministic.
QImage screenshotPicture(int width = 3840, int height = 2160);
