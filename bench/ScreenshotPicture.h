#pragma once

#include <QByteArray>
#include <QImage>

// A 24-bit picture that looks like a desktop screenshot: light window backgrounds, dark
// text-like strokes, a few coloured areas and photo-like gradients. Deterministic.
QImage screenshotPicture(int width = 3840, int height = 2160);

// The 4K and 8K screenshots and their JPEG files' bytes, made once.
const QImage &screenshot4K();
const QImage &screenshot8K();
const QByteArray &screenshotJpeg4K();
const QByteArray &screenshotJpeg8K();
