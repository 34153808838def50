#pragma once

#include <ostream>

#include <QImage>
#include <QSize>

// A picture of the given format made of horizontal runs (1 to 24 pixels) of colours drawn from
// a small random palette, so that both repeated colours and colour changes come up. ARGB32
// pictures get random alpha; Indexed8 ones a random palette.
QImage runsPicture(QImage::Format format, QSize size, quint32 seed);

const char *formatName(QImage::Format format);
void PrintTo(QImage::Format format, std::ostream *out);
