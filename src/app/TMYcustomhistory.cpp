#include "app/TMYcustomhistory.h"

#include <algorithm>
#include <exception>
#include <optional>

#include <QAction>
#include <QMenu>

#include "files/pathhelpers.h"
#include "platform/Command.h"
#include "platform/Failure.h"
#include "platform/Prompts.h"
#include "platform/TextRules.h"

TMYcustomhistory::TMYcustomhistory(Prompts &prompts, const QString &exefolder, QObject *parent)
    : QObject(parent), prompts(prompts), recent(prompts, exefolder)
{
    connect(&recent, &RecentFiles::changed, this, [this] {
        rebuildItems();
        applyEnabled();
    });
    setEnabled(true);
}

TMYcustomhistory::~TMYcustomhistory() = default;

QMenu *TMYcustomhistory::Menuitem() const
{
    return menuitem;
}

void TMYcustomhistory::setMenuitem(QMenu *menu)
{
    menuitem = menu;
}

void TMYcustomhistory::setEnabled(bool value)
{
    enabled = value;
    applyEnabled();
}

QAction *TMYcustomhistory::addCommand(
    QMenu *menu, const QString &caption, const std::function<void(QAction *)> &handler)
{
    auto *action = new QAction(caption, this);
    connect(action, &QAction::triggered, this,
        [this, action, handler] { runCommand(prompts, [&] { handler(action); }); });
    menu->addAction(action);
    return action;
}

void TMYcustomhistory::loadhistory()
{
    if (!submenu) {
        submenu = std::make_unique<QMenu>(QStringLiteral(">>>"));
        if (menuitem)
            menuitem->addMenu(submenu.get());
        submenu->addAction(new QAction(QStringLiteral("HISTORY MENU:"), this));
        submenu->addSeparator();
        addCommand(submenu.get(), QStringLiteral("Set &max. history items"),
            [this](QAction *) { setmaxhistclick(); });
        submenu->addSeparator();
        addCommand(submenu.get(), QStringLiteral("Set ma&x. length per item"),
            [this](QAction *) { setmaxitemlenclick(); });
        submenu->addSeparator();
        addCommand(submenu.get(), QStringLiteral("Remove ALL history"),
            [this](QAction *) { removeallclick(); });
        marker = submenu->addSeparator();
    }

    recent.load();
    rebuildmenu();
}

void TMYcustomhistory::rebuildmenu()
{
    rebuildItems();
    recent.writeList();
    applyEnabled();
}

void TMYcustomhistory::rebuildItems()
{
    if (menuitem && submenu) {
        const QList<QAction *> entries = menuitem->actions();
        const qsizetype first = entries.indexOf(submenu->menuAction()) + 1;
        for (qsizetype i = first; first > 0 && i < entries.size(); ++i) {
            menuitem->removeAction(entries[i]);
            // The action being handled may be one of these; it must outlive its handler.
            entries[i]->deleteLater();
        }
        const QList<QAction *> removers = submenu->actions();
        for (qsizetype i = removers.indexOf(marker) + 1; i > 0 && i < removers.size(); ++i) {
            submenu->removeAction(removers[i]);
            removers[i]->deleteLater();
        }
    }

    const QStringList texts = recent.items();
    const int maxLength = recent.maxitemlen();
    for (qsizetype i = 0; i < texts.size(); ++i) {
        if (i >= recent.maxhist()) {
            plainmsg(prompts, QStringLiteral("count > maxhist??"));
            break;
        }
        if (!menuitem || !submenu)
            continue;
        addCommand(menuitem, shortleft(texts[i], maxLength), [this](QAction *item) {
            itemclick(item);
        })->setData(int(i));
        // Below 7 the remove items' limit is 0, so they read "remove ..." rather than wrapping.
        const int removeLength = std::max(maxLength - 7, 0);
        addCommand(submenu.get(), QStringLiteral("remove ") + shortleft(texts[i], removeLength),
            [this](QAction *item) { removeclick(item); })
            ->setData(int(i));
    }
}

void TMYcustomhistory::applyEnabled()
{
    if (!menuitem || !submenu || recent.count() == 0)
        return;
    const QList<QAction *> entries = menuitem->actions();
    const qsizetype first = entries.indexOf(submenu->menuAction()) + 1;
    for (qsizetype i = first; first > 0 && i < entries.size(); ++i)
        entries[i]->setEnabled(enabled);
}

int TMYcustomhistory::chosenIndex(QAction *sender) const
{
    const int index = sender ? sender->data().toInt() : -1;
    return index >= 0 && index < recent.count() ? index : -1;
}

void TMYcustomhistory::itemclick(QAction *sender)
{
    const int index = chosenIndex(sender);
    if (index < 0)
        return;
    const QString text = recent.items().at(index);
    // The chosen file is opened even when the list cannot be saved; that failure is reported after.
    std::exception_ptr failure;
    try {
        recent.choose(index);
    } catch (const Failure &) {
        failure = std::current_exception();
    }
    if (Onitemclicked)
        Onitemclicked(this, text);
    else
        plainmsg(prompts, QStringLiteral("onitemclicked not assigned yet"));
    if (failure)
        std::rethrow_exception(failure);
}

void TMYcustomhistory::removeclick(QAction *sender)
{
    if (const int index = chosenIndex(sender); index >= 0)
        recent.remove(index);
}

void TMYcustomhistory::removeallclick()
{
    if (recent.count() == 0) {
        plainmsg(prompts, QStringLiteral("History is already empty!"));
        return;
    }
    const Prompts::Answer answer = prompts.message(QStringLiteral("Warning"),
        QStringLiteral("Really want to remove all history items??"), Prompts::Icon::Warning,
        Prompts::Buttons::YesNo);
    if (answer == Prompts::Answer::Yes)
        recent.clear();
}

bool TMYcustomhistory::askLimit(
    const QString &caption, const QString &prompt, int current, int highest, int &value)
{
    const std::optional<QString> text = prompts.inputBox(caption, prompt, QString::number(current));
    if (!text)
        return false;
    const std::optional<int> number = parseDecimal(*text);
    if (!number) {
        errormsg(prompts, QStringLiteral("Invalid number!!"));
        return false;
    }
    if (*number < 0 || *number > highest) {
        errormsg(prompts, QStringLiteral("Number must be between 0 and %1").arg(highest));
        return false;
    }
    value = *number;
    return true;
}

void TMYcustomhistory::setmaxhistclick()
{
    int value = 0;
    if (askLimit(QStringLiteral("Set maximum history items"),
            QStringLiteral("Give maximum history items (max. %1)").arg(RecentFiles::highestMaxhist),
            recent.maxhist(), RecentFiles::highestMaxhist, value))
        recent.setCountLimit(value);
}

void TMYcustomhistory::setmaxitemlenclick()
{
    int value = 0;
    if (askLimit(QStringLiteral("Set maximum length of one history item"),
            QStringLiteral("Give maximum length of one history item (max. %1)")
                .arg(RecentFiles::highestMaxitemlen),
            recent.maxitemlen(), RecentFiles::highestMaxitemlen, value))
        recent.setLengthLimit(value);
}
