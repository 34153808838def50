#pragma once

#include <functional>

class QAction;
class QMainWindow;
class QMenu;
class TmainF;

// The main window's menus, built from one table: the main menu with its "Open..." submenu, and
// the picture's shortcut menu. Each item's click runs its handler as `command` wraps it.
struct MainMenus {
    using Handler = void (TmainF::*)();
    using Command = std::function<std::function<void()>(Handler)>;

    static MainMenus build(QMainWindow &window, const Command &command);

    // The check mark of "Selection mode", and the Selection menu with its items' keys enabled,
    // exactly in selection mode.
    void showMode(bool selectionMode) const;

    QMenu *OpenMI = nullptr; // "Browse...", then the recent files
    QMenu *SelectionMI = nullptr;
    QMenu *PopupMenu1 = nullptr;
    QAction *selectionmodeMI = nullptr;
};
