#pragma once

#include <functional>
#include <memory>

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

class QAction;
class QMenu;
class Prompts;

class TMYcustomhistory;
using Tnotifyevent_and_s = std::function<void(TMYcustomhistory *sender, const QString &str)>;

// The recent-files list shown under a menu ("Open..."): one entry item per shown path, and a
// ">>>" submenu to remove entries, clear the list and set the two limits. The list and the
// limits live in three small text files in the executable's folder. It knows nothing about
// pictures; a chosen entry goes to the owner through Onitemclicked.
class TMYcustomhistory : public QObject {
    Q_OBJECT

public:
    TMYcustomhistory(Prompts &prompts, const QString &exefolder, QObject *parent = nullptr);
    ~TMYcustomhistory() override;

    QMenu *Menuitem() const;
    void setMenuitem(QMenu *menu);
    int maxhist() const { return maxCount; }
    // A negative count is taken as 0.
    void setMaxhist(int value);
    int maxitemlen() const { return maxLength; }
    // A negative length is taken as 0.
    void setMaxitemlen(int value);
    QString histname() const { return listName; }
    void setHistname(const QString &name) { listName = name; }
    QString maxhistname() const { return countName; }
    void setMaxhistname(const QString &name) { countName = name; }
    QString maxitemlenname() const { return lengthName; }
    void setMaxitemlenname(const QString &name) { lengthName = name; }
    bool Enabled() const { return enabled; }
    // Enables or disables the entry items; ">>>" and its submenu stay as they are.
    void setEnabled(bool value);

    Tnotifyevent_and_s Onitemclicked;

    // The entries as shown, most recent first.
    QStringList items() const;
    // The ">>>" submenu, once loadhistory has built it.
    QMenu *historyMenu() const { return submenu.get(); }

    // Builds the fixed menu items, reads the three files and shows the entries. A file that
    // exists but cannot be read throws Failure.
    void loadhistory();
    // Puts `path` at the top of the list (an entry equal but for the case of A-Z moves there),
    // then rebuilds the menu and writes the list file. Throws Failure when the file cannot be
    // written; the list has changed all the same.
    void additem(const QString &path);
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
    // An entry keeps the bytes it was read as, so that a path which is not valid UTF-8 is
    // written back unchanged; `text` is its shown form.
    struct Entry {
        QByteArray bytes;
        QString text;
    };

    void putOnTop(const Entry &entry);
    QAction *addCommand(
        QMenu *menu, const QString &caption, const std::function<void(QAction *)> &handler);
    int readNumber(const QString &name, int fallback, int highest);
    QString filePath(const QString &name) const;
    void writeList();
    void applyEnabled();
    bool askLimit(
        const QString &caption, const QString &prompt, int current, int highest, int &value);
    void saveLimit(const QString &name, int value);

    Prompts &prompts;
    QString exefolder;
    QPointer<QMenu> menuitem;
    int maxCount = 10;
    int maxLength = 2000;
    QString listName = QStringLiteral("files.his");
    QString countName = QStringLiteral("max.his");
    QString lengthName = QStringLiteral("maxlen.his");
    bool enabled = true;

    QList<Entry> list;
    std::unique_ptr<QMenu> submenu;
    QAction *marker = nullptr;
};
