#pragma once

#include <QImage>
#include <QWidget>

class QMouseEvent;
class QPaintEvent;

// The image control: shows the working picture at its natural size, one picture pixel per
// device pixel (crisp on scaled screens), and reports mouse positions in picture pixels.
// Every button captures the mouse, so a drag keeps reporting positions outside the widget.
// The right button's release is followed by contextMenuRequested, after the mouse handlers.
class PictureView : public QWidget {
    Q_OBJECT

public:
    explicit PictureView(QWidget *parent = nullptr);

    // Shows the picture that `source` points to (owned by the caller, read at every paint).
    void setSource(const QImage *source);
    // Call after the picture changed: takes its size unless it has zero width or height; a
    // null image (an empty picture) keeps the size and shows nothing.
    void pictureChanged();
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
    void updateLogicalSize();
    QPoint pixelAt(const QMouseEvent *event) const;

    const QImage *source = nullptr;
    QSize controlSize; // Image1's size in picture pixels
};
