#include "widgets/ColorGridAccessible.h"

#include <QCoreApplication>
#include <QPointer>

#include "widgets/ColorNames.h"
#include "widgets/TColorGrid.h"

namespace {

QString trCell(const char *text)
{
    return QCoreApplication::translate("ColorGridAccessible", text);
}

// One cell of the grid; it holds no object of its own, only its number.
class ColorCellAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    ColorCellAccessible(const ColorGridAccessible *parent, int cell)
        : gridInterface(parent), grid(parent->grid()), cell(cell)
    {
    }

    bool isValid() const override { return !grid.isNull(); }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override { return gridInterface->window(); }
    QAccessibleInterface *parent() const override
    {
        return const_cast<ColorGridAccessible *>(gridInterface);
    }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    void setText(QAccessible::Text, const QString &) override { }

    QString text(QAccessible::Text kind) const override
    {
        if (!grid)
            return {};
        if (kind == QAccessible::Name)
            return colorAccessibleName(TColorGrid::CellColor(cell));
        if (kind == QAccessible::Description)
            return marks();
        return {};
    }

    QRect rect() const override
    {
        if (!grid)
            return {};
        const QRect local = grid->CellRect(cell);
        return QRect(grid->mapToGlobal(local.topLeft()), local.size());
    }

    QAccessible::State state() const override
    {
        QAccessible::State state;
        if (!grid)
            return state;
        state.focusable = true;
        state.selectable = true;
        state.selected = grid->Selection() == cell;
        state.focused = state.selected && grid->hasFocus();
        state.invisible = !grid->isVisible();
        state.disabled = !grid->isEnabled();
        return state;
    }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ActionInterface)
            return static_cast<QAccessibleActionInterface *>(this);
        return nullptr;
    }

    QStringList actionNames() const override { return { pressAction(), setFocusAction() }; }
    QStringList keyBindingsForAction(const QString &) const override { return {}; }

    void doAction(const QString &action) override
    {
        if (!grid || !grid->isEnabled())
            return;
        if (action == pressAction()) {
            grid->pickCell(cell, TColorGrid::ColorMark::Foreground);
        } else if (action == setFocusAction()) {
            grid->setFocus(Qt::OtherFocusReason);
            grid->setSelection(cell);
        }
    }

private:
    // The letters the grid draws on the cell, in words.
    QString marks() const
    {
        const bool foreground = grid->ForegroundEnabled() && grid->ForegroundIndex() == cell;
        const bool background = grid->BackgroundEnabled() && grid->BackgroundIndex() == cell;
        if (foreground && background)
            return trCell("Foreground and background");
        if (foreground)
            return trCell("Foreground");
        if (background)
            return trCell("Background");
        return {};
    }

    const ColorGridAccessible *gridInterface;
    QPointer<TColorGrid> grid;
    int cell;
};

QAccessibleInterface *colorGridFactory(const QString &, QObject *object)
{
    if (auto *grid = qobject_cast<TColorGrid *>(object))
        return new ColorGridAccessible(grid);
    return nullptr;
}

} // namespace

void installColorGridAccessibility()
{
    static const bool installed = (QAccessible::installFactory(colorGridFactory), true);
    Q_UNUSED(installed);
}

ColorGridAccessible::ColorGridAccessible(TColorGrid *grid)
    : QAccessibleWidget(grid, QAccessible::List)
{
}

ColorGridAccessible::~ColorGridAccessible()
{
    for (QAccessible::Id id : cellIds)
        if (id)
            QAccessible::deleteAccessibleInterface(id);
}

TColorGrid *ColorGridAccessible::grid() const
{
    return static_cast<TColorGrid *>(widget());
}

int ColorGridAccessible::childCount() const
{
    return int(cellIds.size());
}

QAccessibleInterface *ColorGridAccessible::child(int index) const
{
    if (index < 0 || index >= childCount())
        return nullptr;
    QAccessible::Id &id = cellIds[std::size_t(index)];
    if (!id)
        id = QAccessible::registerAccessibleInterface(new ColorCellAccessible(this, index));
    return QAccessible::accessibleInterface(id);
}

int ColorGridAccessible::indexOfChild(const QAccessibleInterface *child) const
{
    for (int index = 0; index < childCount(); ++index) {
        const QAccessible::Id id = cellIds[std::size_t(index)];
        if (id && QAccessible::accessibleInterface(id) == child)
            return index;
    }
    return -1;
}

QAccessibleInterface *ColorGridAccessible::childAt(int x, int y) const
{
    const QPoint local = grid()->mapFromGlobal(QPoint(x, y));
    if (!grid()->rect().contains(local))
        return nullptr;
    return child(grid()->CellAt(local));
}

QAccessibleInterface *ColorGridAccessible::focusChild() const
{
    if (!grid()->hasFocus())
        return nullptr;
    return child(grid()->Selection());
}
