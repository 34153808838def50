#include "app/PictureView.h"

#include <algorithm>
#include <cmath>

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include "editor/Downscale.h"
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
    scaled = QImage();
    pictureChanged(QRect());
    update();
}

void PictureView::setZoom(qreal zoom)
{
    zoom = std::clamp(zoom, ZoomSteps::smallest, ZoomSteps::largest);
    if (zoom == viewZoom)
        return;
    viewZoom = zoom;
    scaled = QImage();
    updateLogicalSize();
    update();
}

const QImage &PictureView::picture() const
{
    return document->picture().image();
}

void PictureView::pictureChanged(QRect area)
{
    if (!document)
        return;
    const QImage &image = picture();
    if (!image.isNull() && image.size() != controlSize) {
        controlSize = image.size();
        scaled = QImage();
        updateLogicalSize();
        update();
        emit pictureResized();
        return;
    }
    if (!scaled.isNull())
        rescale(area);
    update(mapping().viewArea(area));
    // The outline drawn over a scaled picture follows the selection.
    const QRect outline = outlineArea();
    if (outline != shownOutline) {
        update(shownOutline.adjusted(-1, -1, 1, 1));
        update(outline.adjusted(-1, -1, 1, 1));
    }
}

void PictureView::updateLogicalSize()
{
    setFixedSize(mapping().viewSize(controlSize));
}

void PictureView::changeEvent(QEvent *event)
{
    // Moving to a screen with another scale changes how many logical pixels the picture needs.
    if (event->type() == QEvent::ScreenChangeInternal) {
        scaled = QImage();
        updateLogicalSize();
        emit pictureResized();
    }
    QWidget::changeEvent(event);
}

void PictureView::paintEvent(QPaintEvent *event)
{
    if (!document || picture().isNull())
        return;
    QPainter painter(this);
    if (viewZoom < 1)
        paintScaled(painter, event->region());
    else
        paintPixels(painter, event->region());
}

// Actual pixels and above: only the exposed picture pixels (the outline's edges during a drag),
// without copying the picture (a copy of a 4K screenshot per mouse move would be felt), each
// pixel a sharp square of zoom device pixels.
void PictureView::paintPixels(QPainter &painter, const QRegion &region)
{
    const ViewMapping map = mapping();
    painter.scale(map.zoom / map.devicePixelRatio, map.zoom / map.devicePixelRatio);
    for (const QRect &part : region) {
        const QRect pixels
            = QRectF(map.picturePointAt(part.topLeft()),
                  map.picturePointAt(QPointF(part.x() + part.width(), part.y() + part.height())))
                  .toAlignedRect()
            & picture().rect();
        painter.drawImage(pixels.topLeft(), picture(), pixels);
    }
}

void PictureView::paintScaled(QPainter &painter, const QRegion &region)
{
    const qreal ratio = devicePixelRatioF();
    if (scaled.isNull()) {
        const QSizeF size = QSizeF(controlSize) * viewZoom;
        scaled = downscaled(picture(),
            QSize(std::max(1, qRound(size.width())), std::max(1, qRound(size.height()))));
    }
    for (const QRect &part : region)
        painter.drawImage(QRectF(part), scaled,
            QRectF(QPointF(part.topLeft()) * ratio, QSizeF(part.size()) * ratio));
    shownOutline = outlineArea();
    if (shownOutline.isNull())
        return;
    // Black dashes over white: seen on any picture.
    painter.setPen(QPen(Qt::white, 0));
    painter.drawRect(shownOutline);
    painter.setPen(QPen(Qt::black, 0, Qt::DashLine));
    painter.drawRect(shownOutline);
}

// Below actual pixels, the outline shown over the scaled picture; none otherwise.
QRect PictureView::outlineArea() const
{
    if (viewZoom >= 1 || !document || !(document->dragging() || document->selpresent()))
        return QRect();
    const QRect pixels = QRect(document->startpt(), document->endpt()).normalized();
    return mapping().viewArea(pixels).adjusted(0, 0, -1, -1);
}

// Scales again the part of the kept copy that shows these picture pixels.
void PictureView::rescale(const QRect &area)
{
    const QRect target = QRectF(QPointF(area.topLeft()) * viewZoom, QSizeF(area.size()) * viewZoom)
                             .toAlignedRect()
                             .adjusted(-1, -1, 1, 1)
        & scaled.rect();
    const QRect source
        = QRectF(QPointF(target.topLeft()) / viewZoom, QSizeF(target.size()) / viewZoom)
              .toAlignedRect()
        & picture().rect();
    if (target.isEmpty() || source.isEmpty())
        return;
    const QPoint at(qRound(source.x() * viewZoom), qRound(source.y() * viewZoom));
    const QSize size(std::max(1, qRound(source.width() * viewZoom)),
        std::max(1, qRound(source.height() * viewZoom)));
    QPainter painter(&scaled);
    painter.setClipRect(target);
    painter.drawImage(at, downscaled(picture().copy(source), size));
}

QPoint PictureView::pixelAt(const QMouseEvent *event) const
{
    return mapping().pictureAt(event->position());
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
