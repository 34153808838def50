#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

#include "JpegFrame.h"
#include "platform/Failure.h"

// Pictures and files for the load and save tests, made with Qt's own writers so that the
// expected bytes never come from the code under test.
namespace picturetest {

// A deterministic picture with smooth gradients, flat areas and sharp dark strokes.
QImage samplePicture(int width = 96, int height = 64);

// The picture written by Qt in `format` ("jpeg", "bmp", "png", "ico"); grayscale pictures
// give one-component JPEG files.
QByteArray qtEncoded(const QImage &image, const char *format, bool progressive = false);

// The mean absolute difference of the red, green and blue values of two pictures of one size.
double meanDifference(const QImage &a, const QImage &b);

// Red top-left, green top-right, blue bottom-left and white bottom-right quadrants.
QImage quadrantsPicture(int width, int height);
// The colours at the centres of the four quadrants of `image` (top-left, top-right,
// bottom-left, bottom-right), each within 40 of R red, G green, B blue, W white, K black or
// M mid-gray, else "?"; so quadrantsPicture() reads "RGBW".
QString quadrantColours(const QImage &image);

// The path of a file in tests/data.
QString testData(const char *name);

// libjpeg's error message for `code`, as the decoder and the loader report it.
QString jpegError(int code);

// The message of the Failure that `call` throws, or "(no failure)".
template<class Call> QString failureOf(const Call &call)
{
    try {
        call();
    } catch (const Failure &failure) {
        return failure.message();
    }
    return QStringLiteral("(no failure)");
}

} // namespace picturetest
