#pragma once

class QPoint;
class QRect;

// Whether the far column and row of a drag (its largest x and y) belong to the rectangle: Mark
// blends them; Crop and the outline stop just before them.
enum class FarEdge { Excluded, Included };

// The rectangle between two corners dragged in any direction (columns from the smaller x to the
// larger, rows likewise, the far ones as `farEdge` says), clamped to `bounds`. Empty when none of
// it lies inside. Exact for every pair of corners: nothing wraps or overflows.
QRect selectionRect(QPoint a, QPoint b, FarEdge farEdge, const QRect &bounds);
