#include "app/ShortcutMenuKeys.h"

#include <QCursor>
#include <QMenu>
#include <QScrollArea>
#include <QShortcut>

void addShortcutMenuKeys(QWidget &window, const QScrollArea &area, QMenu &menu)
{
    const auto open = [&area, &menu] {
        const QWidget *picture = area.widget();
        const QWidget *viewport = area.viewport();
        // The part of the picture the window shows, in global coordinates.
        const QRect shown = QRect(picture->mapTo(viewport, QPoint(0, 0)), picture->size())
                                .intersected(viewport->rect())
                                .translated(viewport->mapToGlobal(QPoint(0, 0)));
        const QPoint pointer = QCursor::pos();
        menu.popup(shown.contains(pointer) ? pointer : shown.topLeft());
    };
    for (const QKeySequence &keys :
        { QKeySequence(Qt::SHIFT | Qt::Key_F10), QKeySequence(Qt::Key_Menu) })
        QObject::connect(new QShortcut(keys, &window), &QShortcut::activated, &menu, open);
}
