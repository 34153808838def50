#pragma once

#include <functional>
#include <memory>

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include "files/RecentFiles.h"

class QAction;
class QMenu;
class Prompts;

class TMYcustomhistory;
using Tnotifyevent_and_s = std::function<void(TMYcustomhistory *sender, const QString &str)>;

// The recent-files list shown under a menu ("Open..."): one entry item per shown path, and a
// ">>>" submenu to remove entries, clear the list and set the two limits. The list, its files
// and rules are RecentFiles'; this builds the menu over them. It knows nothing about pictures;
// a chosen entry goes to the owner through Onitemclicked.
class TMYcustomhistory : public QObject {
    Q_OBJECT

public:
    TMYcustomhistory(Prompts &prompts, const QString &exefolder, QObject *parent = nullptr);
    ~TMYcustomhistory() override;

    // The list itself, for the commands that add to it.
    RecentFiles &list() { return recent; }

    QMenu *Menuitem() const;
    void setMenuitem(QMenu *menu);
    int maxhist() const { return recent.maxhist(); }
    void setMaxhist(int value) { recent.setMaxhist(value); }
    int maxitemlen() const { return recent.maxitemlen(); }
    void setMaxitemlen(int value) { recent.setMaxitemlen(value); }
    QString histname() const { return recent.histname(); }
    void setHistname(const QString &name) { recent.setHistname(name); }
    QString maxhistname() const { return recent.maxhistname(); }
    void setMaxhistname(const QString &name) { recent.setMaxhistname(name); }
    QString maxitemlenname() const { return recent.maxitemlenname(); }
    void setMaxitemlenname(const QString &name) { recent.setMaxitemlenname(name); }
    bool Enabled() const { return enabled; }
    // Enables or disables the entry items; ">>>" and its submenu stay as they are.
    void setEnabled(bool value);

    Tnotifyevent_and_s Onitemclicked;

    // The entries as shown, most recent first.
    QStringList items() const { return recent.items(); }
    // The ">>>" submenu, once loadhistory has built it.
    QMenu *historyMenu() const { return submenu.get(); }

    // Builds the fixed menu items, reads the three files and shows the entries. A file that
    // exists but cannot be read throws Failure.
    void loadhistory();
    // Puts `path` at the top of the list, then rebuilds the menu and writes the list file.
    // Throws Failure when the file cannot be written; the list has changed all the same.
    void additem(const QString &path) { recent.additem(path); }
    // Recreates the entry and remove items, writes the list file and applies Enabled.
    void rebuildmenu();

    // Menu handlers; the menu runs each inside the command wrapper. `sender` carries the entry's
    // list index as its data.
    void itemclick(QAction *sender);
    void removeclick(QAction *sender);
    void removeallclick();
    void setmaxhistclick();
    void setmaxitemlenclick();

private:
    QAction *addCommand(
        QMenu *menu, const QString &caption, const std::function<void(QAction *)> &handler);
    void rebuildItems();
    void applyEnabled();
    bool askLimit(
        const QString &caption, const QString &prompt, int current, int highest, int &value);
    int chosenIndex(QAction *sender) const;

    Prompts &prompts;
    RecentFiles recent;
    QPointer<QMenu> menuitem;
    bool enabled = true;

    std::unique_ptr<QMenu> submenu;
    QAction *marker = nullptr;
};
