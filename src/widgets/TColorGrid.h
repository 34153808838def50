#pragma once

#include <QColor>
#include <QRect>
#include <QWidget>

class QFocusEvent;
class QKeyEvent;
class QMouseEvent;
class QPaintEvent;
class QPainter;
class QResizeEvent;

// Grid shapes, columns x rows; the ordinal o gives 16 >> o columns and 1 << o rows.
enum class TGridOrdering { go16x1, go8x2, go4x4, go2x8, go1x16 };

// A self-painted palette of sixteen colour cells. The left button (or F) picks the foreground
// cell, any other button (or B) the background cell; the letters "FG", "BG" or "FB" show the
// enabled marks. A press captures the mouse, so a drag out of the grid picks the edge cells.
// changed() follows every change of either index; clicked() follows a click or F/B, when the
// index of the button or key used holds the chosen cell. The widget keeps its size a whole
// number of cells.
class TColorGrid : public QWidget {
    Q_OBJECT

public:
    enum class ColorMark { Foreground, Background };

    explicit TColorGrid(QWidget *parent = nullptr);

    bool ClickEnablesColor() const { return clickEnablesColor; }
    // With true, a press of a mark's button or its key switches a disabled mark on.
    void setClickEnablesColor(bool value) { clickEnablesColor = value; }
    TGridOrdering GridOrdering() const { return gridOrdering; }
    void setGridOrdering(TGridOrdering value);
    int ForegroundIndex() const { return foregroundIndex; }
    // Ignored while the foreground mark is disabled. The range is not checked.
    void setForegroundIndex(int value);
    int BackgroundIndex() const { return backgroundIndex; }
    // Ignored while the background mark is disabled. The range is not checked.
    void setBackgroundIndex(int value);
    bool ForegroundEnabled() const { return foregroundEnabled; }
    void setForegroundEnabled(bool value);
    bool BackgroundEnabled() const { return backgroundEnabled; }
    void setBackgroundEnabled(bool value);
    // The cell with the keyboard cursor. The range is not checked.
    int Selection() const { return selection; }
    void setSelection(int value);
    // Framed cells (true, the default) or flat cells with a black outline.
    bool Ctl3D() const { return ctl3D; }
    void setCtl3D(bool value);

    // The colour of a cell; an invalid QColor for a number outside 0 to 15.
    static QColor CellColor(int cell);
    QColor ForegroundCellColor() const { return CellColor(foregroundIndex); }
    QColor BackgroundCellColor() const { return CellColor(backgroundIndex); }

    int ColumnCount() const { return columnCount; }
    int RowCount() const { return rowCount; }
    // Derived from the size, which FitToGrid keeps a whole number of cells.
    int CellWidth() const { return width() / columnCount; }
    int CellHeight() const { return height() / rowCount; }
    bool GridFocused() const { return gridFocused; }
    QRect CellRect(int cell) const;
    // The cell under a widget point, the point clamped to the widget first.
    int CellAt(QPoint point) const;
    // Trims the size to a whole number of cells, keeping the top-left corner.
    void FitToGrid(bool repaint);

    // Moves the cursor to `cell` and picks it for the mark, as F or B on that cell does.
    void pickCell(int cell, ColorMark mark);

signals:
    void changed();
    void clicked();

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void chooseCell(ColorMark mark, int cell);
    void NotifyChange();
    void reportCursorCell();
    void PaintCell(QPainter &painter, int cell, bool cursorMark) const;
    void PaintMarks(QPainter &painter) const;
    void paintLetters(QPainter &painter, int cell, const QString &text) const;
    int selectionAfterKey(int key) const;
    static bool isGridKey(const QKeyEvent *event);

    bool clickEnablesColor = false;
    TGridOrdering gridOrdering = TGridOrdering::go4x4;
    int foregroundIndex = 0;
    int backgroundIndex = 0;
    bool foregroundEnabled = true;
    bool backgroundEnabled = true;
    int selection = 0;
    bool ctl3D = true;
    int columnCount = 4;
    int rowCount = 4;
    bool gridFocused = false;
    Qt::MouseButton pressedButton = Qt::LeftButton;
    bool buttonHeld = false;
};
