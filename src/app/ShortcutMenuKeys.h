#pragma once

class QMenu;
class QScrollArea;
class QWidget;

// Shift+F10 and the Menu key open the picture's shortcut menu from the keyboard, as a right
// click does: at the pointer when it is over the visible part of the picture, else at that
// part's top-left corner. For users without a mouse, and for scripts that drive the keys.
void addShortcutMenuKeys(QWidget &window, const QScrollArea &area, QMenu &menu);
