#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>

// The block a selection keeps, as Crop keeps it: |dx| by |dy| pixels from its top-left corner
// whatever the picture's size.
QRect keptRect(QPoint startpt, QPoint endpt);

// Copies the picture's part of `kept` into `block` (32-bit, of kept's size); the part off the
// picture is white, as a new bitmap starts out.
void copyKept(const QImage &picture, const QRect &kept, QImage &block);

// A new 32-bit picture of `kept`, as Crop makes it, from a picture in any format. Throws
// Failure when memory runs out.
QImage keptBlock(const QImage &picture, const QRect &kept);
