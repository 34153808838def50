#include "app/PictureView.h"

#include <cmath>

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include "editor/ImageDocument.h"

PictureView::PictureView(QWidget *parent) : QWidget(parent)
{
    setContextMenuPolicy(Qt::PreventContextMenu);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void PictureView::setDocument(const ImageDocument *newDocument)
{
    if (document)
        disconnect(document, nullptr, this, nullptr);
    document = newDocument;
    if (document)
        connect(document, &ImageDocument::changed, this, &PictureView::pictureChanged);
    pictureChanged(QRect());
    update();
}

void PictureView::pictureChanged(QRect area)
{
    if (!document)
        return;
    const QImage &image = document->picture().image();
    if (!image.isNull() && image.size() != controlSize) {
        controlSize = image.size();
        updateLogicalSize();
        update();
        return;
    }
    // The changed pixels, in logical coordinates rounded outwards.
    const qreal ratio = devicePixelRatioF();
    update(QRectF(area.x() / ratio, area.y() / ratio, area.width() / ratio, area.height() / ratio)
               .toAlignedRect());
}

QPoint PictureView::toPicturePixel(QPointF position, qreal devicePixelRatio)
{
    return QPoint(int(std::floor(position.x() * devicePixelRatio)),
        int(std::floor(position.y() * devicePixelRatio)));
}

void PictureView::updateLogicalSize()
{
    // One picture pixel per device pixel: the widget's logical size is the picture's size
    // divided by the ratio, rounded up so that the last column and row stay visible.
    const qreal ratio = devicePixelRatioF();
    setFixedSize(
        int(std::ceil(controlSize.width() / ratio)), int(std::ceil(controlSize.height() / ratio)));
}

void PictureView::changeEvent(QEvent *event)
{
    // Moving to a screen with another scale changes how many logical pixels the picture needs.
    if (event->type() == QEvent::ScreenChangeInternal)
        updateLogicalSize();
    QWidget::changeEvent(event);
}

void PictureView::paintEvent(QPaintEvent *event)
{
    if (!document || document->picture().image().isNull())
        return;
    // Only the exposed parts (the outline's edges during a drag), mapped one picture pixel to one
    // device pixel, without copying the picture (a copy of a 4K screenshot per mouse move would be
    // felt).
    const qreal ratio = devicePixelRatioF();
    QPainter painter(this);
    for (const QRect &part : event->region()) {
        const QRectF target = part;
        painter.drawImage(target, document->picture().image(),
            QRectF(target.topLeft() * ratio, target.size() * ratio));
    }
}

QPoint PictureView::pixelAt(const QMouseEvent *event) const
{
    return toPicturePixel(event->position(), devicePixelRatioF());
}

void PictureView::mousePressEvent(QMouseEvent *event)
{
    emit pressed(pixelAt(event));
}

void PictureView::mouseMoveEvent(QMouseEvent *event)
{
    emit moved(pixelAt(event));
}

void PictureView::mouseReleaseEvent(QMouseEvent *event)
{
    emit released(pixelAt(event));
    if (event->button() == Qt::RightButton)
        emit contextMenuRequested(event->globalPosition().toPoint());
}
