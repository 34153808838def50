#include "editor/SelectionRect.h"

#include <algorithm>

#include <QPoint>
#include <QRect>

QRect selectionRect(QPoint a, QPoint b, FarEdge farEdge, const QRect &bounds)
{
    const qint64 far = farEdge == FarEdge::Included ? 1 : 0;
    // Left and top included, right and bottom excluded, in 64 bits.
    const qint64 left = std::max<qint64>(std::min(a.x(), b.x()), bounds.left());
    const qint64 top = std::max<qint64>(std::min(a.y(), b.y()), bounds.top());
    const qint64 right = std::min<qint64>(
        qint64(std::max(a.x(), b.x())) + far, qint64(bounds.left()) + bounds.width());
    const qint64 bottom = std::min<qint64>(
        qint64(std::max(a.y(), b.y())) + far, qint64(bounds.top()) + bounds.height());
    if (left >= right || top >= bottom)
        return QRect();
    return QRect(int(left), int(top), int(right - left), int(bottom - top));
}
