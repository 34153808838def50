#pragma once

class QSize;

// Qt's image readers (picture files and the clipboard alike) refuse pictures above a
// process-wide allocation limit that is lower than the largest picture Quillet opens. Called
// once at start, so that what a paste accepts never depends on which file was opened before.
void allowPicturesUpToOpenLimit();

// Throws the failure that refuses a picture above the largest that Quillet opens.
void checkPictureSize(const QSize &size);
