#pragma once

#include <optional>

#include <QtGlobal>

class QImage;
class QImageReader;

// Reads a picture with Qt's reader into memory that is filled before the pixels are decoded.
// Qt's bitmap reader allocates without clearing and reports success for data that ends early, so
// without the fill such a picture would show whatever the process's memory held. Every reader of
// outside pictures (files, drops, the clipboard, previews) goes through here. False when Qt
// refuses the data; the reader's errorString() then says why.
bool readFilledImage(QImageReader &reader, QImage &image);

// Tests and fuzzing: fill with this byte instead, so that two reads with different fills show
// which pixels come from the data and which are the fill.
void setImageFillForTesting(std::optional<uchar> byte);
