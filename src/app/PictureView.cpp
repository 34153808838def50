#include "app/PictureView.h"

#include <cmath>

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

PictureView::PictureView(QWidget *parent) : QWidget(parent)
{
    setContextMenuPolicy(Qt::PreventContextMenu);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void PictureView::setSource(const QImage *picture)
{
    source = picture;
    pictureChanged();
}

void PictureView::pictureChanged()
{
    if (source && !source->isNull())
        controlSize = source->size();
    updateLogicalSize();
    update();
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
    if (!source || source->isNull())
        return;
    // Only the exposed part, mapped one picture pixel to one device pixel, without copying
    // the picture (a copy of a 4K screenshot per mouse move would be felt).
    const qreal ratio = devicePixelRatioF();
    const QRectF target = event->rect();
    const QRectF pixels(target.topLeft() * ratio, target.size() * ratio);
    QPainter painter(this);
    painter.drawImage(target, *source, pixels);
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
