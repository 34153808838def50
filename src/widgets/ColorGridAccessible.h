#pragma once

#include <array>

#include <QAccessible>
#include <QAccessibleWidget>

class TColorGrid;

// Registers, once per process, the factory that gives every TColorGrid the interface below.
void installColorGridAccessibility();

// A colour grid as assistive tools see it: a list of sixteen cells, each named by its colour
// ("Red (255, 0, 0)"), the cell with the keyboard cursor as the focused one. A cell's press
// action picks it as the foreground, as F on it does; its focus action moves the cursor there.
class ColorGridAccessible : public QAccessibleWidget {
public:
    explicit ColorGridAccessible(TColorGrid *grid);
    ~ColorGridAccessible() override;

    TColorGrid *grid() const;

    int childCount() const override;
    QAccessibleInterface *child(int index) const override;
    int indexOfChild(const QAccessibleInterface *child) const override;
    QAccessibleInterface *childAt(int x, int y) const override;
    QAccessibleInterface *focusChild() const override;

private:
    // The cells' interfaces, made on first use and owned by Qt's accessibility cache.
    mutable std::array<QAccessible::Id, 16> cellIds {};
};
