#include "app/MainMenus.h"

#include <QAction>
#include <QHash>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

#include "app/TmainF.h"

namespace {

struct MenuEntry {
    const char *name;
    const char *caption;
    const char *parent; // "" for the main menu; nullptr for a shortcut menu of its own
};

const MenuEntry menuEntries[] = {
    { "File1", "&File", "" },
    { "OpenMI", "Open...", "File1" },
    { "EditMI", "&Edit", "" },
    { "SelectionMI", "&Selection", "" },
    { "Options1", "&Options", "" },
    { "HelpMI", "&Help", "" },
    { "PopupMenu1", "", nullptr },
};

// One item of a menu: a separator where the name is empty; a top-level item of the main menu
// where the menu is empty.
struct ItemEntry {
    const char *menu;
    const char *name;
    const char *caption;
    const char *shortcut;
    MainMenus::Handler handler;
};

const ItemEntry itemEntries[] = {
    { "OpenMI", "OpenBrowseMI", "Browse...", "", &TmainF::OpenBrowseMIClick },
    { "OpenMI", "", "", "", nullptr },
    { "File1", "Saveas1", "Save as...", "Ctrl+S", &TmainF::Saveas1Click },
    { "File1", "", "", "", nullptr },
    { "File1", "SaveMI", "Save", "S", &TmainF::SaveMIClick },
    { "File1", "", "", "", nullptr },
    { "File1", "PrintMI", "Print...", "Ctrl+P", &TmainF::PrintMIClick },
    { "EditMI", "pasteMI", "P&aste", "Ctrl+V", &TmainF::pasteMIClick },
    { "EditMI", "", "", "", nullptr },
    { "EditMI", "DeleteCleardisplay1", "Delete (Clear display)", "D",
        &TmainF::DeleteCleardisplay1Click },
    { "EditMI", "", "", "", nullptr },
    { "EditMI", "Undo1", "Undo", "Ctrl+Z", &TmainF::Undo1Click },
    { "SelectionMI", "CropMI", "Crop", "Ctrl+Y", &TmainF::CropMIClick },
    { "SelectionMI", "MarkMI", "Mark!", "M", &TmainF::MarkMIClick },
    { "SelectionMI", "Copy2", "Copy", "Ctrl+C", &TmainF::SelectionCopyClick },
    { "Options1", "Markcolor1", "Mark color...", "", &TmainF::Markcolor1Click },
    { "Options1", "DefaultsavetoMI", "Default &save to...", "", &TmainF::DefaultsavetoMIClick },
    { "Options1", "selectionmodeMI", "Selection mode", "", &TmainF::selectionmodeMIClick },
    { "HelpMI", "AboutMI", "&About", "", &TmainF::AboutMIClick },
    { "", "Exit1", "E&xit", "", &TmainF::Exit1Click },
    { "PopupMenu1", "Copy1", "Copy", "", &TmainF::Copy1Click },
    { "PopupMenu1", "", "", "", nullptr },
    // The keys Ctrl+V and D belong to the Edit menu; here they are only shown.
    { "PopupMenu1", "Paste1", "Paste\tCtrl+V", "", &TmainF::pasteMIClick },
    { "PopupMenu1", "", "", "", nullptr },
    { "PopupMenu1", "Clear1", "Delete (Clear display)\tD", "", &TmainF::Clear1Click },
    { "PopupMenu1", "", "", "", nullptr },
    { "PopupMenu1", "Setstandardstartimage1", "Set standard start image...", "",
        &TmainF::Setstandardstartimage1Click },
};

} // namespace

MainMenus MainMenus::build(QMainWindow &window, const Command &command)
{
    QHash<QString, QMenu *> menus;
    for (const MenuEntry &entry : menuEntries) {
        const QString caption = QString::fromUtf8(entry.caption);
        QMenu *menu = !entry.parent ? new QMenu(&window)
            : *entry.parent         ? menus.value(QString::fromUtf8(entry.parent))->addMenu(caption)
                                    : window.menuBar()->addMenu(caption);
        menu->setObjectName(QString::fromUtf8(entry.name));
        menus.insert(menu->objectName(), menu);
    }
    for (const ItemEntry &entry : itemEntries) {
        QMenu *menu = menus.value(QString::fromUtf8(entry.menu));
        if (!*entry.name) {
            menu->addSeparator();
            continue;
        }
        const QString caption = QString::fromUtf8(entry.caption);
        QAction *action = menu ? menu->addAction(caption) : window.menuBar()->addAction(caption);
        action->setObjectName(QString::fromUtf8(entry.name));
        action->setShortcut(QKeySequence(QString::fromUtf8(entry.shortcut)));
        QObject::connect(action, &QAction::triggered, &window, command(entry.handler));
    }
    auto *selectionmodeMI = window.findChild<QAction *>(QStringLiteral("selectionmodeMI"));
    selectionmodeMI->setCheckable(true);
    return { menus.value(QStringLiteral("OpenMI")), menus.value(QStringLiteral("SelectionMI")),
        menus.value(QStringLiteral("PopupMenu1")), selectionmodeMI };
}

void MainMenus::showMode(bool selectionMode) const
{
    selectionmodeMI->setChecked(selectionMode);
    // A disabled menu does not stop its items' shortcuts in Qt, so the items follow it.
    SelectionMI->menuAction()->setEnabled(selectionMode);
    for (QAction *action : SelectionMI->actions())
        action->setEnabled(selectionMode);
}
