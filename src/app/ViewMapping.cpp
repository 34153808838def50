#include "app/ViewMapping.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

constexpr std::array<qreal, 17> steps = { 1.0 / 16, 1.0 / 12, 1.0 / 8, 1.0 / 6, 1.0 / 4, 1.0 / 3,
    1.0 / 2, 2.0 / 3, 1, 1.5, 2, 3, 4, 6, 8, 12, 16 };

// A zoom a hair off a step (a fit) counts as between its neighbours.
constexpr qreal tolerance = 1e-9;

} // namespace

QPoint ViewMapping::pictureAt(QPointF position) const
{
    const QPointF point = picturePointAt(position);
    return QPoint(int(std::floor(point.x())), int(std::floor(point.y())));
}

QPoint ViewMapping::pictureAt(QPointF viewportPosition, QPoint scroll) const
{
    return pictureAt(viewportPosition + QPointF(scroll));
}

QPointF ViewMapping::viewAt(QPointF picturePoint) const
{
    return picturePoint * zoom / devicePixelRatio;
}

QPointF ViewMapping::picturePointAt(QPointF position) const
{
    return position * devicePixelRatio / zoom;
}

QRect ViewMapping::viewArea(const QRect &pixels) const
{
    return QRectF(viewAt(pixels.topLeft()),
        viewAt(pixels.topLeft() + QPoint(pixels.width(), pixels.height())))
        .toAlignedRect();
}

QSize ViewMapping::viewSize(QSize picture) const
{
    const QPointF far = viewAt(QPointF(picture.width(), picture.height()));
    return QSize(int(std::ceil(far.x() - tolerance)), int(std::ceil(far.y() - tolerance)));
}

qreal ZoomSteps::larger(qreal zoom)
{
    const auto next = std::upper_bound(steps.begin(), steps.end(), zoom + tolerance);
    return next == steps.end() ? largest : *next;
}

qreal ZoomSteps::smaller(qreal zoom)
{
    const auto next = std::lower_bound(steps.begin(), steps.end(), zoom - tolerance);
    return next == steps.begin() ? smallest : *(next - 1);
}

qreal ZoomSteps::fitting(QSize picture, QSize logical, qreal devicePixelRatio)
{
    if (picture.isEmpty() || logical.isEmpty())
        return 1;
    const qreal across = logical.width() * devicePixelRatio / picture.width();
    const qreal down = logical.height() * devicePixelRatio / picture.height();
    return std::clamp(std::min(across, down), smallest, qreal(1));
}
