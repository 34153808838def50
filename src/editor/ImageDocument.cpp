#include "editor/ImageDocument.h"

#include <QColor>
#include <QRect>
#include <QSize>

#include "editor/KeptBlock.h"
#include "editor/Mark.h"
#include "editor/Outline.h"
#include "editor/PictureBuffers.h"
#include "platform/Failure.h"

namespace {

// A white bitmap of that size, zero-size for an empty size.
Picture whitePicture(QSize size, QImage::Format format)
{
    QImage image = PictureBuffers::newImage(size, format);
    if (!image.isNull())
        image.fill(Qt::white);
    return Picture(std::move(image));
}

} // namespace

ImageDocument::ImageDocument(QObject *parent) : QObject(parent) { }

ImageDocument::~ImageDocument() = default;

QImage &ImageDocument::canvas()
{
    // Made 24-bit, a palette picture gets new pixels: the undo picture keeps the ones opened.
    if (!Picture::isDirectFormat(working.image().format()))
        keepUndoApart();
    return working.writableImage();
}

void ImageDocument::replacePicture(Picture picture)
{
    const QRect before = working.image().rect();
    working = std::move(picture);
    emit changed(before | working.image().rect());
}

void ImageDocument::drawOutline()
{
    if (!working.hasPixels())
        return;
    drawselrect(canvas(), selection.startpt, selection.endpt);
    for (const QRect &edge : outlineEdges(working.size(), selection.startpt, selection.endpt)) {
        if (!edge.isEmpty())
            emit changed(edge);
    }
}

void ImageDocument::eraseOutline()
{
    if (outlineShown())
        drawOutline();
    dropSelection();
}

void ImageDocument::dropSelection()
{
    selection.dragging = false;
    selection.selpresent = false;
}

void ImageDocument::takeUndoWithOutline()
{
    undobmp = working;
    undoIsPicture = false;
    undoSelection = selection;
    undoSelection.selpresent = outlineShown();
    undoSelection.dragging = false;
}

void ImageDocument::keepUndoApart()
{
    // Only called while the picture holds no outline.
    if (!undoIsPicture)
        return;
    undobmp = working;
    undoIsPicture = false;
    undoSelection = Selection();
}

Picture ImageDocument::undoPicture() const
{
    if (!undoIsPicture)
        return undobmp;
    if (!outlineShown() || !working.hasPixels())
        return working;
    QImage copy = PictureBuffers::copyOf(working.image());
    drawselrect(copy, selection.startpt, selection.endpt);
    return Picture(std::move(copy));
}

void ImageDocument::setPicture(Picture picture)
{
    if (undoIsPicture) {
        eraseOutline();
        keepUndoApart();
    }
    // The new picture holds no outline, so erasing the old one later would draw it into it.
    dropSelection();
    replacePicture(std::move(picture));
}

void ImageDocument::takeUndo()
{
    if (outlineShown()) {
        takeUndoWithOutline();
        return;
    }
    // Until the picture changes other than by its outline, it is its own undo picture.
    undobmp = Picture();
    undoIsPicture = true;
    undoSelection = Selection();
}

void ImageDocument::mouseDown(QPoint p, QSize imageControlSize)
{
    if (working.isEmpty())
        replacePicture(whitePicture(imageControlSize, QImage::Format_RGB888));
    // Made writable first, so that running out of memory changes nothing.
    canvas();
    // A second button pressed during a drag also removes the rubber band being dragged.
    eraseOutline();
    selection.startpt = p;
    selection.endpt = p;
    selection.dragging = true;
    drawOutline();
}

void ImageDocument::mouseMove(QPoint p)
{
    if (!selection.dragging)
        return;
    drawOutline();
    selection.endpt = p;
    drawOutline();
}

bool ImageDocument::mouseUp(QPoint p)
{
    // A release that no press on the picture began (say, the end of a double-click on a dialog
    // above it) would draw stale outlines.
    if (!selection.dragging)
        return false;
    drawOutline();
    selection.endpt = p;
    drawOutline();
    selection.dragging = false;
    selection.selpresent = true;
    return true;
}

bool ImageDocument::undoPixelsReusable() const
{
    const QImage &undoImage = undobmp.image(), &image = working.image();
    return !undoIsPicture && undoImage.isDetached() && undoImage.size() == image.size()
        && undoImage.format() == image.format() && undoImage.textKeys() == image.textKeys();
}

bool ImageDocument::mark(QRgb markcol, bool selectionmode)
{
    if (selectionmode && !selection.selpresent)
        return false;
    eraseOutline();
    // With no pixels there is nothing to mark, and the undo picture is worth keeping.
    if (!working.hasPixels())
        return true;
    if (!Picture::isDirectFormat(working.image().format()))
        canvas();
    const QRect block = markedBlock(working.size(), selection.startpt, selection.endpt);
    if (block.isEmpty()) {
        takeUndoWithOutline();
        return true;
    }
    // The result takes the pixels of the undo picture it replaces, so no third picture is made.
    const bool reuse = undoPixelsReusable();
    QImage result = reuse ? undobmp.takeImage()
                          : PictureBuffers::newImage(working.size(), working.image().format());
    try {
        markInto(working.image(), result, selection.startpt, selection.endpt, markcol);
    } catch (...) {
        // markInto fails only before it writes a pixel.
        if (reuse)
            undobmp = Picture(std::move(result));
        throw;
    }
    PictureBuffers::copyMetadata(working.image(), result);
    undobmp = std::move(working);
    undoIsPicture = false;
    undoSelection = Selection();
    working = Picture(std::move(result));
    emit changed(block);
    return true;
}

bool ImageDocument::crop()
{
    if (!selection.selpresent)
        return false;
    const QRect kept = keptRect(selection.startpt, selection.endpt);
    // The new picture first: when memory runs out, nothing has changed.
    QImage cropped = PictureBuffers::newImage(kept.size(), QImage::Format_RGB32);
    eraseOutline();
    if (!cropped.isNull())
        copyKept(working.image(), kept, cropped);
    keepUndoApart();
    replacePicture(Picture(std::move(cropped)));
    return true;
}

QImage ImageDocument::selectionImage() const
{
    const QRect kept = keptRect(selection.startpt, selection.endpt);
    if (!selection.selpresent || kept.isEmpty())
        return QImage();
    // The dots depend on where the outline lies in the whole picture, so it is erased there.
    QImage whole = PictureBuffers::copyOf(working.image());
    drawselrect(whole, selection.startpt, selection.endpt);
    return keptBlock(whole, kept);
}

void ImageDocument::clearToEmpty()
{
    if (working.isEmpty())
        throw Failure("There is no picture to clear");
    takeUndoWithOutline();
    dropSelection();
    replacePicture(Picture::emptyPicture());
}

void ImageDocument::clearToWhite(QSize imageControlSize)
{
    if (working.isEmpty()) {
        replacePicture(whitePicture(imageControlSize, QImage::Format_RGB888));
        dropSelection();
        return;
    }
    if (!working.hasPixels()) {
        dropSelection();
        return;
    }
    const QImage &image = working.image();
    if (!undoIsPicture && image.isDetached() && Picture::isDirectFormat(image.format())) {
        working.writableImage().fill(Qt::white);
        dropSelection();
        emit changed(image.rect());
        return;
    }
    // The picture's pixels are still needed elsewhere (by the undo picture, say): white ones
    // of the same size and kind replace them. Made first, so that running out of memory
    // changes nothing.
    Picture white = whitePicture(
        image.size(), Picture::directFormat(image.format(), image.hasAlphaChannel()));
    if (undoIsPicture) {
        eraseOutline();
        keepUndoApart();
    }
    dropSelection();
    replacePicture(std::move(white));
}

void ImageDocument::undo()
{
    // The undo picture is the picture less its outline.
    if (undoIsPicture) {
        eraseOutline();
        return;
    }
    selection.dragging = false;
    selection.selpresent = undoSelection.selpresent;
    if (undoSelection.selpresent) {
        selection.startpt = undoSelection.startpt;
        selection.endpt = undoSelection.endpt;
    }
    replacePicture(undobmp);
}
