#pragma once

#include <QByteArrayView>

class QImage;

// Cameras and phones store a picture as the sensor saw it and say in the Exif block how to
// turn it for showing. These two functions let the JPEG reader show such pictures upright.

// The orientation (1 to 8, as Exif numbers them) held in an APP1 block that starts with
// "Exif\0\0"; 1 (as stored) for any other block and for one that is damaged or cut short.
int exifOrientation(QByteArrayView app1);

// `image` turned and mirrored as `orientation` asks, in its own format; orientations outside
// 2 to 8 leave it as it is. A null image when there is no memory for the turned copy.
QImage uprightImage(const QImage &image, int orientation);
