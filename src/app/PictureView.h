#pragma once

#include <QPointer>
#include <QWidget>

class ImageDocument;
class QMouseEvent;
class QPaintEvent;

// The image control: shows the document's picture at its natural size, one picture pixel per
// device pixel (crisp on scaled screens), repaints what the document says changed, and reports
// mouse positions in picture pixels. It takes the picture's size unless that has zero width or
// height; an empty picture keeps the size and shows nothing. Every button captures the mouse,
// so a drag keeps reporting positions outside the widget. The right button's release is
// followed by contextMenuRequested, after the mouse handlers.
class PictureView : public QWidget {
    Q_OBJECT

public:
    explicit PictureView(QWidget *parent = nullptr);

    // Shows `document`'s picture from now on; the document may go first.
    void setDocument(const ImageDocument *document);
    QSize pictureSize() const { return controlSize; }

    // Picture pixel under a widget position on a screen with the given device pixel ratio.
    static QPoint toPicturePixel(QPointF position, qreal devicePixelRatio);

signals:
    void pressed(QPoint pixel);
    void moved(QPoint pixel);
    void released(QPoint pixel);
    void contextMenuRequested(QPoint globalPosition);

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

    QPointer<const ImageDocument> document;
    QSize controlSize; // Image1's size in picture pixels
};
