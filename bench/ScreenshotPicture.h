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

// A picture as Qt's default PNG writer writes it, and the 4K and 8K screenshots' PNG files made
// so, once.
QByteArray qtPng(const QImage &image);
const QByteArray &screenshotPng4K();
const QByteArray &screenshotPng8K();
