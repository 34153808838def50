#pragma once

#include <QObject>
#include <QPoint>
#include <QRect>
#include <QRgb>

#include "editor/Picture.h"

class QSize;

// The working picture, its one-level undo picture and the rubber-band selection, whose dotted
// outline lives in the picture's own pixels. Invariant: the outline from startpt to endpt is in
// the picture exactly once while dragging() or selpresent() holds, and not at all otherwise. The
// undo picture remembers whether it holds an outline, so Undo brings the selection back with it.
// Every command either completes or throws Failure having changed nothing.
//
// Memory: the picture and the undo picture are the only pictures held. Right after opening the
// undo picture is the picture itself less its outline, so drawing an outline copies nothing, and
// Mark writes its result into the pixels of the undo picture it replaces.
class ImageDocument : public QObject {
    Q_OBJECT

public:
    explicit ImageDocument(QObject *parent = nullptr);
    ~ImageDocument() override;

    const Picture &picture() const { return working; }
    // Made on request when it is the picture less its outline; throws Failure then when memory
    // runs out.
    Picture undoPicture() const;
    QPoint startpt() const { return selection.startpt; }
    QPoint endpt() const { return selection.endpt; }
    bool dragging() const { return selection.dragging; }
    bool selpresent() const { return selection.selpresent; }

    // Replaces the picture (open, paste, start picture); a shown selection is dropped, not drawn.
    void setPicture(Picture picture);
    // The undo picture becomes a copy of the picture, as after opening a file.
    void takeUndo();

    // Mouse handlers in picture pixels. On an empty picture the first drawing makes a white
    // 24-bit bitmap of imageControlSize.
    void mouseDown(QPoint p, QSize imageControlSize);
    void mouseMove(QPoint p);
    // True when it finished a drag; a mouse-up that no mouse-down began is ignored.
    bool mouseUp(QPoint p);

    // Blends the rectangle startpt..endpt (both included) with markcol after taking the undo
    // picture. False, changing nothing, in selection mode with nothing selected.
    bool mark(QRgb markcol, bool selectionmode);
    // Cuts the picture down to the selection's rectangle; false, changing nothing, without one.
    bool crop();
    // The block that crop() would keep, without the outline; null without a selection.
    QImage selectionImage() const;
    // Takes the undo picture (outline included) and empties the picture. Throws Failure when the
    // picture is already empty, changing nothing.
    void clearToEmpty();
    // Fills the picture with white at its present size (an empty one becomes a white bitmap of
    // imageControlSize); takes no undo picture.
    void clearToWhite(QSize imageControlSize);
    // The picture becomes a copy of the undo picture, which stays as it is.
    void undo();

signals:
    // The picture's pixels inside `area` (picture pixels) changed. When the picture is replaced
    // as a whole (opened, pasted, cropped, emptied, undone), `area` spans the old and the new
    // picture, and picture() tells the new size.
    void changed(QRect area);

private:
    struct Selection {
        QPoint startpt;
        QPoint endpt;
        bool dragging = false;
        bool selpresent = false;
    };

    bool outlineShown() const { return selection.dragging || selection.selpresent; }
    QImage &canvas();
    void replacePicture(Picture picture);
    void drawOutline();
    void eraseOutline();
    void dropSelection();
    void takeUndoWithOutline();
    void keepUndoApart();
    bool undoPixelsReusable() const;

    Picture working;
    Picture undobmp;
    // The undo picture is the working picture less its outline, and undobmp holds nothing.
    bool undoIsPicture = false;
    Selection selection;
    // The selection whose outline the undo picture holds (selpresent false: none).
    Selection undoSelection;
};
