#include "editor/ImageDocument.h"

#include <algorithm>
#include <cstdlib>

#include <QColor>
#include <QRect>
#include <QSize>

#include "editor/Mark.h"
#include "editor/Outline.h"
#include "platform/Failure.h"

namespace {

Picture whitePicture(QSize size)
{
    if (size.isEmpty())
        return Picture();
    QImage image(size, QImage::Format_RGB888);
    image.fill(Qt::white);
    return Picture(std::move(image));
}

} // namespace

ImageDocument::ImageDocument() = default;

void ImageDocument::drawOutline()
{
    drawselrect(working.writableImage(), selection.startpt, selection.endpt);
}

void ImageDocument::eraseOutline()
{
    if (outlineShown())
        drawOutline();
    selection.dragging = false;
    selection.selpresent = false;
}

void ImageDocument::dropSelection()
{
    selection.dragging = false;
    selection.selpresent = false;
}

void ImageDocument::takeUndoWithOutline()
{
    undobmp = working;
    undoSelection = selection;
    undoSelection.selpresent = outlineShown();
    undoSelection.dragging = false;
}

void ImageDocument::setPicture(Picture picture)
{
    // The new picture holds no outline, so erasing the old one later would draw it into it.
    working = std::move(picture);
    dropSelection();
}

void ImageDocument::takeUndo()
{
    takeUndoWithOutline();
}

void ImageDocument::mouseDown(QPoint p, QSize imageControlSize)
{
    if (working.isEmpty())
        working = whitePicture(imageControlSize);
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

bool ImageDocument::mark(QRgb markcol, bool selectionmode)
{
    if (selectionmode && !selection.selpresent)
        return false;
    eraseOutline();
    // With no pixels there is nothing to mark, and the undo picture is worth keeping.
    if (!working.hasPixels())
        return true;
    // The unmarked pixels become the undo picture as they are; the marked ones are a new image.
    Picture marked(
        markedCopy(working.writableImage(), selection.startpt, selection.endpt, markcol));
    undobmp = std::move(working);
    undoSelection.selpresent = false;
    working = std::move(marked);
    return true;
}

QRect ImageDocument::keptRectangle() const
{
    const QPoint a = selection.startpt, b = selection.endpt;
    const qint64 left = std::min(a.x(), b.x()), top = std::min(a.y(), b.y());
    const qint64 right = std::max(a.x(), b.x()), bottom = std::max(a.y(), b.y());
    const qint64 x0 = std::max<qint64>(left, 0), y0 = std::max<qint64>(top, 0);
    const qint64 x1 = std::min<qint64>(right, working.size().width());
    const qint64 y1 = std::min<qint64>(bottom, working.size().height());
    if (!working.hasPixels() || x0 >= x1 || y0 >= y1)
        return QRect();
    return QRect(int(x0), int(y0), int(x1 - x0), int(y1 - y0));
}

bool ImageDocument::crop()
{
    if (!selection.selpresent)
        return false;
    eraseOutline();
    const QRect kept = keptRectangle();
    working = kept.isEmpty()
        ? Picture()
        : Picture(working.image().copy(kept).convertToFormat(QImage::Format_RGB32));
    return true;
}

QImage ImageDocument::selectionImage() const
{
    const QRect kept = keptRectangle();
    if (!selection.selpresent || kept.isEmpty())
        return QImage();
    // The dots depend on where the outline lies in the whole picture, so it is erased there.
    QImage whole = working.image().copy();
    drawselrect(whole, selection.startpt, selection.endpt);
    return whole.copy(kept);
}

void ImageDocument::clearToEmpty()
{
    if (working.isEmpty())
        throw Failure("There is no picture to clear");
    takeUndoWithOutline();
    working = Picture::emptyPicture();
    dropSelection();
}

void ImageDocument::clearToWhite(QSize imageControlSize)
{
    if (working.isEmpty())
        working = whitePicture(imageControlSize);
    else if (working.hasPixels())
        working.writableImage().fill(Qt::white);
    dropSelection();
}

void ImageDocument::undo()
{
    working = undobmp;
    selection.dragging = false;
    selection.selpresent = undoSelection.selpresent;
    if (undoSelection.selpresent) {
        selection.startpt = undoSelection.startpt;
        selection.endpt = undoSelection.endpt;
    }
}
