#pragma once

#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QRectF>
#include <QSize>

// Where picture pixels stand on the screen: `zoom` device pixels per picture pixel, on a screen
// with `devicePixelRatio` device pixels per logical one. Positions are the view's own logical
// coordinates; a position in the scroll area's viewport is that plus the scroll offset. At zoom
// 1 a picture pixel is one device pixel, as the design's view has it.
struct ViewMapping {
    qreal zoom = 1;
    qreal devicePixelRatio = 1;

    // The picture pixel under a position: the press, drag and release of a mark.
    QPoint pictureAt(QPointF position) const;
    QPoint pictureAt(QPointF viewportPosition, QPoint scroll) const;
    // A picture point (fractional) in view coordinates, and back.
    QPointF viewAt(QPointF picturePoint) const;
    QPointF picturePointAt(QPointF position) const;
    // The view area that shows these picture pixels, rounded outwards to whole logical pixels.
    QRect viewArea(const QRect &pixels) const;
    // The view's logical size for a picture: rounded up, so the last column and row show.
    QSize viewSize(QSize picture) const;
};

// The zoom steps from 1/16 to 16, and the fit that shows a whole picture.
namespace ZoomSteps {
inline constexpr qreal smallest = 1.0 / 16;
inline constexpr qreal largest = 16;
qreal larger(qreal zoom);
qreal smaller(qreal zoom);
// The largest zoom at which `picture` fits a viewport of `logical` size whole; never above
// actual pixels, so a small picture stays sharp.
qreal fitting(QSize picture, QSize logical, qreal devicePixelRatio);
} // namespace ZoomSteps
