#pragma once

#include <QByteArray>

// JPEG bytes taken apart for tests that need a header claiming what the picture is not.
namespace picturetest {

// The offset of the first JPEG marker 0xFF `marker`, or -1.
qsizetype findMarker(const QByteArray &jpeg, uchar marker);
// `jpeg` with the frame header's width and height replaced.
QByteArray withFrameSize(QByteArray jpeg, int width, int height);

} // namespace picturetest
