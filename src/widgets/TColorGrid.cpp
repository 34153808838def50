#include "widgets/TColorGrid.h"

#include <algorithm>
#include <array>

#include <QAccessible>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPolygon>
#include <QResizeEvent>

#include "widgets/ColorGridAccessible.h"
#include "widgets/StandardColors.h"

namespace {

constexpr int cellCount = 16;

constexpr auto &cellColors = standardColors;
static_assert(cellColors.size() == cellCount);

QRect shrunk(const QRect &rect, int by)
{
    return rect.adjusted(by, by, -by, -by);
}

// The one-pixel border of `rect`, as a pen outlines a rectangle.
void fillRing(QPainter &painter, const QRect &rect, const QColor &color)
{
    painter.fillRect(rect.left(), rect.top(), rect.width(), 1, color);
    painter.fillRect(rect.left(), rect.bottom(), rect.width(), 1, color);
    painter.fillRect(rect.left(), rect.top(), 1, rect.height(), color);
    painter.fillRect(rect.right(), rect.top(), 1, rect.height(), color);
}

// One ring of a sunken frame: shadow on the top and left, highlight on the bottom and right.
void fillSunkenRing(QPainter &painter, const QRect &rect, const QColor &top, const QColor &bottom)
{
    painter.fillRect(rect.left(), rect.top(), rect.width(), 1, top);
    painter.fillRect(rect.left(), rect.top(), 1, rect.height(), top);
    painter.fillRect(rect.left(), rect.bottom(), rect.width(), 1, bottom);
    painter.fillRect(rect.right(), rect.top(), 1, rect.height(), bottom);
}

// Every other pixel of the border, as the system's dotted focus rectangle draws it.
void drawDottedRing(QPainter &painter, const QRect &rect, const QColor &color)
{
    QPolygon dots;
    for (int x = rect.left(); x <= rect.right(); ++x)
        for (int y : { rect.top(), rect.bottom() })
            if ((x + y) % 2 == 0)
                dots << QPoint(x, y);
    for (int y = rect.top() + 1; y < rect.bottom(); ++y)
        for (int x : { rect.left(), rect.right() })
            if ((x + y) % 2 == 0)
                dots << QPoint(x, y);
    painter.setPen(color);
    painter.drawPoints(dots);
}

QColor inverted(const QColor &color)
{
    return QColor(255 - color.red(), 255 - color.green(), 255 - color.blue());
}

// The letters' colour: each component flipped to the far end from the cell's own.
QColor letterColor(const QColor &cell)
{
    const auto flip = [](int component) { return component >= 128 ? 0 : 255; };
    return QColor(flip(cell.red()), flip(cell.green()), flip(cell.blue()));
}

} // namespace

TColorGrid::TColorGrid(QWidget *parent) : QWidget(parent)
{
    installColorGridAccessibility();
    // No tab stop by default; an owner that wants the grid reachable sets a focus policy.
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAccessibleName(tr("Colors"));
    setGeometry(0, 0, 100, 100);
    FitToGrid(false);
}

void TColorGrid::setGridOrdering(TGridOrdering value)
{
    if (value == gridOrdering)
        return;
    gridOrdering = value;
    columnCount = cellCount >> int(value);
    rowCount = 1 << int(value);
    FitToGrid(true);
}

void TColorGrid::setForegroundIndex(int value)
{
    if (value == foregroundIndex || !foregroundEnabled)
        return;
    foregroundIndex = value;
    update();
    NotifyChange();
}

void TColorGrid::setBackgroundIndex(int value)
{
    if (value == backgroundIndex || !backgroundEnabled)
        return;
    backgroundIndex = value;
    update();
    NotifyChange();
}

void TColorGrid::setForegroundEnabled(bool value)
{
    if (value == foregroundEnabled)
        return;
    foregroundEnabled = value;
    update();
}

void TColorGrid::setBackgroundEnabled(bool value)
{
    if (value == backgroundEnabled)
        return;
    backgroundEnabled = value;
    update();
}

void TColorGrid::setSelection(int value)
{
    if (value == selection)
        return;
    selection = value;
    update();
    if (gridFocused)
        reportCursorCell();
}

void TColorGrid::setCtl3D(bool value)
{
    if (value == ctl3D)
        return;
    ctl3D = value;
    update();
}

QColor TColorGrid::CellColor(int cell)
{
    // No cell, no colour: an invalid QColor lets a caller tell it from black.
    if (cell < 0 || cell >= cellCount)
        return QColor();
    return QColor(cellColors[std::size_t(cell)]);
}

QRect TColorGrid::CellRect(int cell) const
{
    const int w = CellWidth();
    const int h = CellHeight();
    return QRect(cell % columnCount * w, cell / columnCount * h, w, h);
}

int TColorGrid::CellAt(QPoint point) const
{
    // Clamped to the cells' area, which a grid not yet fitted may not fill; a grid narrower
    // than one pixel per cell still answers a cell instead of dividing by zero.
    const int w = std::max(1, CellWidth());
    const int h = std::max(1, CellHeight());
    const int x = std::max(0, std::min(point.x(), columnCount * w - 1));
    const int y = std::max(0, std::min(point.y(), rowCount * h - 1));
    return y / h * columnCount + x / w;
}

void TColorGrid::FitToGrid(bool repaint)
{
    resize(columnCount * (width() / columnCount), rowCount * (height() / rowCount));
    if (repaint)
        update();
}

void TColorGrid::pickCell(int cell, ColorMark mark)
{
    setSelection(cell);
    chooseCell(mark, cell);
    emit clicked();
}

void TColorGrid::chooseCell(ColorMark mark, int cell)
{
    const bool foreground = mark == ColorMark::Foreground;
    bool &enabled = foreground ? foregroundEnabled : backgroundEnabled;
    if (!enabled && clickEnablesColor) {
        enabled = true;
        // Through -1, so that picking the cell it held before still counts as a change.
        (foreground ? foregroundIndex : backgroundIndex) = -1;
        update();
    }
    if (foreground)
        setForegroundIndex(cell);
    else
        setBackgroundIndex(cell);
}

void TColorGrid::reportCursorCell()
{
    // Assistive tools follow the cursor cell as the focus within the grid.
    if (selection < 0 || selection >= cellCount)
        return;
    QAccessibleEvent focused(this, QAccessible::Focus);
    focused.setChild(selection);
    QAccessible::updateAccessibility(&focused);
}

void TColorGrid::NotifyChange()
{
    emit changed();
}

bool TColorGrid::event(QEvent *event)
{
    // The grid's own keys reach it before any window shortcut on the same key.
    if (event->type() == QEvent::ShortcutOverride && isGridKey(static_cast<QKeyEvent *>(event))) {
        event->accept();
        return true;
    }
    return QWidget::event(event);
}

void TColorGrid::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Button));
    painter.setFont(font());
    for (int cell = 0; cell < cellCount; ++cell)
        PaintCell(painter, cell, false);
    if (gridFocused)
        PaintCell(painter, selection, true);
    PaintMarks(painter);
}

void TColorGrid::PaintCell(QPainter &painter, int cell, bool cursorMark) const
{
    if (cell < 0 || cell >= cellCount)
        return;
    const QColor color = CellColor(cell);
    QRect r = CellRect(cell);
    if (ctl3D) {
        fillRing(painter, r, palette().color(QPalette::Button));
        r = shrunk(r, 1);
        for (int ring = 0; ring < 2; ++ring, r = shrunk(r, 1))
            fillSunkenRing(
                painter, r, palette().color(QPalette::Dark), palette().color(QPalette::Light));
        painter.fillRect(r, color);
        if (cursorMark)
            drawDottedRing(painter, shrunk(r, 1), inverted(color));
    } else if (!cursorMark) {
        painter.fillRect(r, color);
        fillRing(painter, r, Qt::black);
    } else {
        // An inverting pen over the plain cell: the black outline turns white, the fill its
        // inverse; then a black outline two pixels in, around the cell's own colour.
        fillRing(painter, r, Qt::white);
        painter.fillRect(shrunk(r, 1), inverted(color));
        painter.fillRect(shrunk(r, 2), color);
        fillRing(painter, shrunk(r, 2), Qt::black);
    }
}

void TColorGrid::PaintMarks(QPainter &painter) const
{
    const bool sameCell = foregroundIndex == backgroundIndex;
    if (foregroundEnabled)
        paintLetters(painter, foregroundIndex, sameCell && backgroundEnabled ? tr("FB") : tr("FG"));
    if (backgroundEnabled)
        paintLetters(painter, backgroundIndex, sameCell && foregroundEnabled ? tr("FB") : tr("BG"));
}

void TColorGrid::paintLetters(QPainter &painter, int cell, const QString &text) const
{
    if (cell < 0 || cell >= cellCount)
        return;
    painter.setPen(letterColor(CellColor(cell)));
    painter.drawText(CellRect(cell), Qt::AlignCenter | Qt::TextSingleLine | Qt::TextDontClip, text);
}

void TColorGrid::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    FitToGrid(false);
}

void TColorGrid::mousePressEvent(QMouseEvent *event)
{
    // Qt grabs the mouse for every button until its release, and a focus policy with
    // Qt::ClickFocus takes the focus on the press, as a tab stop does.
    pressedButton = event->button();
    buttonHeld = true;
    const int cell = CellAt(event->position().toPoint());
    chooseCell(
        pressedButton == Qt::LeftButton ? ColorMark::Foreground : ColorMark::Background, cell);
    setSelection(cell);
}

void TColorGrid::mouseMoveEvent(QMouseEvent *event)
{
    if (!buttonHeld)
        return;
    const int cell = CellAt(event->position().toPoint());
    if (pressedButton == Qt::LeftButton)
        setForegroundIndex(cell);
    else
        setBackgroundIndex(cell);
    setSelection(cell);
}

void TColorGrid::mouseReleaseEvent(QMouseEvent *event)
{
    buttonHeld = false;
    // A left click counts only when released over the grid; the other buttons anywhere.
    if (event->button() != Qt::LeftButton || rect().contains(event->position().toPoint()))
        emit clicked();
}

bool TColorGrid::isGridKey(const QKeyEvent *event)
{
    if (event->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier))
        return false;
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Right:
    case Qt::Key_Left:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_F:
    case Qt::Key_B:
        return true;
    default:
        return false;
    }
}

void TColorGrid::keyPressEvent(QKeyEvent *event)
{
    if (!isGridKey(event)) {
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
    const int s = selection;
    if (event->key() == Qt::Key_F || event->key() == Qt::Key_B) {
        chooseCell(event->key() == Qt::Key_F ? ColorMark::Foreground : ColorMark::Background, s);
        emit clicked();
        return;
    }
    const int next = selectionAfterKey(event->key());
    if (next != s)
        setSelection(next);
}

int TColorGrid::selectionAfterKey(int key) const
{
    const int range = columnCount * rowCount;
    // A cursor set outside the cells by code moves on from the nearest cell.
    const int s = std::max(0, std::min(selection, range - 1));
    switch (key) {
    case Qt::Key_Space:
    case Qt::Key_Right:
        return s == range - 1 ? 0 : s + 1;
    case Qt::Key_Left:
        return s == 0 ? range - 1 : s - 1;
    case Qt::Key_Home:
        return 0;
    case Qt::Key_End:
        return range - 1;
    case Qt::Key_Up:
        // Off the top row: the last row, one column to the left.
        if (s >= columnCount)
            return s - columnCount;
        return s != 0 ? range - columnCount + s - 1 : range - 1;
    case Qt::Key_Down:
        // Off the bottom row: the first row, one column to the right.
        if (s + columnCount < range)
            return s + columnCount;
        return s == range - 1 ? 0 : s % columnCount + 1;
    default:
        return s;
    }
}

void TColorGrid::focusInEvent(QFocusEvent *event)
{
    gridFocused = true;
    update();
    QWidget::focusInEvent(event);
    reportCursorCell();
}

void TColorGrid::focusOutEvent(QFocusEvent *event)
{
    gridFocused = false;
    update();
    QWidget::focusOutEvent(event);
}
