#pragma once

#include <QImage>
#include <QPointer>
#include <QWidget>

#include "app/ViewMapping.h"

class ImageDocument;
class QMouseEvent;
class QPaintEvent;

// The image control: shows the document's picture at a zoom (actual pixels, one picture pixel
// per device pixel, unless the user zooms), repaints what the document says changed, and
// reports mouse positions as the picture pixel under the pointer. It takes the picture's size
// at the zoom unless that has zero width or height; an empty picture keeps the size and shows
// nothing. Zoomed in, picture pixels show as sharp squares; zoomed out, the picture is shown
// smoothly scaled from a copy kept at that zoom, in which only what changes is scaled again,
// and the selection's outline is drawn over it so that it never vanishes in the scaling.
// Every button captures the mouse, so a drag keeps reporting positions outside the widget.
// The right button's release is followed by contextMenuRequested, after the mouse handlers.
class PictureView : public QWidget {
    Q_OBJECT

public:
    explicit PictureView(QWidget *parent = nullptr);

    // Shows `document`'s picture from now on; the document may go first.
    void setDocument(const ImageDocument *document);
    QSize pictureSize() const { return controlSize; }

    qreal zoom() const { return viewZoom; }
    void setZoom(qreal zoom);
    // The mapping in force on this screen.
    ViewMapping mapping() const { return { viewZoom, devicePixelRatioF() }; }

signals:
    void pressed(QPoint pixel);
    void moved(QPoint pixel);
    void released(QPoint pixel);
    void contextMenuRequested(QPoint globalPosition);
    // The picture took another size, or the view moved to a screen of another scale.
    void pictureResized();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void pictureChanged(QRect area);
    void updateLogicalSize();
    QPoint pixelAt(const QMouseEvent *event) const;
    const QImage &picture() const;
    void paintPixels(QPainter &painter, const QRegion &region);
    void paintScaled(QPainter &painter, const QRegion &region);
    void rescale(const QRect &area);
    QRect outlineArea() const;

    QPointer<const ImageDocument> document;
    QSize controlSize; // Image1's size in picture pixels
    qreal viewZoom = 1;
    QImage scaled; // below actual pixels: the picture at the zoom, in device pixels
    QRect shownOutline; // where the outline drawn over the scaled picture stands
};
