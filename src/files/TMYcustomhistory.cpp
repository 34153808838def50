#include "files/TMYcustomhistory.h"

#include <algorithm>
#include <exception>
#include <optional>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>

#include "files/pathhelpers.h"
#include "platform/AtomicFile.h"
#include "platform/Command.h"
#include "platform/Failure.h"
#include "platform/Prompts.h"
#include "platform/TextRules.h"

namespace {

constexpr int defaultMaxhist = 10;
constexpr int defaultMaxitemlen = 2000;
constexpr int highestMaxhist = 100;
constexpr int highestMaxitemlen = 10000;

// The lines of a text file as bytes: split at CR LF, CR or LF; a last line without a line end
// counts. Nothing when the file does not exist; Failure when it exists but cannot be read. Bytes,
// not text: CR and LF never occur inside a UTF-8 sequence, and an entry that is not valid UTF-8
// or holds a NUL byte must survive, with the entries after it.
std::optional<QList<QByteArray>> readLines(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return std::nullopt;
    QFile file(path);
    // Only a regular file is opened: a named pipe in its place would wait for a writer.
    if (!info.isFile() || !file.open(QIODevice::ReadOnly))
        throw Failure(QStringLiteral("Cannot open file %1").arg(QDir::toNativeSeparators(path)));
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw Failure(QStringLiteral("Cannot open file %1").arg(QDir::toNativeSeparators(path)));

    QList<QByteArray> lines;
    qsizetype start = 0;
    const qsizetype size = data.size();
    for (qsizetype i = 0; i < size; ++i) {
        const char c = data[i];
        if (c != '\r' && c != '\n')
            continue;
        lines.append(data.mid(start, i - start));
        if (c == '\r' && i + 1 < size && data[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < size)
        lines.append(data.mid(start));
    return lines;
}

// An entry as the menu can show it: 8-bit text in the system code page, which is UTF-8 here,
// with a NUL byte shown as the replacement character that stands for bytes that are no text.
QString shownText(const QByteArray &bytes)
{
    return QString::fromUtf8(bytes).replace(QChar(0), QChar::ReplacementCharacter);
}

// A file that already holds these bytes is left as it is: the list is written at every start,
// and replacing an unchanged file would only wait for the disk.
bool holds(const QString &path, const QByteArray &data)
{
    const QFileInfo info(path);
    QFile file(path);
    return info.isFile() && info.size() == data.size() && file.open(QIODevice::ReadOnly)
        && file.readAll() == data;
}

void writeFile(const QString &path, const QByteArray &data)
{
    if (holds(path, data))
        return;
    if (!writeFileAtomically(path, data))
        throw Failure(QStringLiteral("Cannot create file %1").arg(QDir::toNativeSeparators(path)));
}

} // namespace

TMYcustomhistory::TMYcustomhistory(Prompts &prompts, const QString &exefolder, QObject *parent)
    : QObject(parent), prompts(prompts), exefolder(exefolder)
{
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

void TMYcustomhistory::setMaxhist(int value)
{
    maxCount = std::max(value, 0);
}

void TMYcustomhistory::setMaxitemlen(int value)
{
    maxLength = std::max(value, 0);
}

void TMYcustomhistory::setEnabled(bool value)
{
    enabled = value;
    applyEnabled();
}

QString TMYcustomhistory::filePath(const QString &name) const
{
    return joinPath(exefolder, name);
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

    maxCount = readNumber(countName, defaultMaxhist, highestMaxhist);
    maxLength = readNumber(lengthName, defaultMaxitemlen, highestMaxitemlen);
    if (const auto lines = readLines(filePath(listName))) {
        list.clear();
        for (const QByteArray &line : *lines)
            list.append({ line, shownText(line) });
    }
    rebuildmenu();
}

int TMYcustomhistory::readNumber(const QString &name, int fallback, int highest)
{
    const auto lines = readLines(filePath(name));
    if (!lines)
        return fallback;
    // A NUL byte ends a number, as it ends the text in C.
    const std::optional<int> value = lines->isEmpty()
        ? std::nullopt
        : parseDecimal(QString::fromLatin1(lines->constFirst().split('\0').constFirst()));
    // A hand-edited number outside the dialog's range counts as invalid, like any other
    // garbage: the user is told and the default holds, so no limit is ever negative or wrapped.
    if (!value || *value < 0 || *value > highest) {
        warnmsg(prompts, QStringLiteral("Invalid number in ") + name);
        return fallback;
    }
    return *value;
}

QStringList TMYcustomhistory::items() const
{
    QStringList texts;
    texts.reserve(list.size());
    for (const Entry &entry : list)
        texts.append(entry.text);
    return texts;
}

void TMYcustomhistory::additem(const QString &path)
{
    putOnTop({ path.toUtf8(), path });
}

void TMYcustomhistory::putOnTop(const Entry &entry)
{
    // Latin-1 maps each byte to one character and back, so this compares the bytes themselves
    // with only A-Z folded, whether or not they are valid UTF-8.
    const QString key = QString::fromLatin1(entry.bytes);
    qsizetype found = -1;
    for (qsizetype i = list.size() - 1; i >= 0; --i) {
        if (equalIgnoringAZCase(QString::fromLatin1(list[i].bytes), key)) {
            found = i;
            break;
        }
    }
    if (found >= 0) {
        list.removeAt(found);
        list.prepend(entry);
    } else {
        list.prepend(entry);
        if (list.size() > maxCount)
            list.removeAt(maxCount);
    }
    rebuildmenu();
}

void TMYcustomhistory::rebuildmenu()
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

    for (qsizetype i = 0; i < list.size(); ++i) {
        if (i >= maxCount) {
            plainmsg(prompts, QStringLiteral("count > maxhist??"));
            break;
        }
        if (!menuitem || !submenu)
            continue;
        addCommand(menuitem, shortleft(list[i].text, maxLength), [this](QAction *item) {
            itemclick(item);
        })->setData(int(i));
        // Below 7 the remove items' limit is 0, so they read "remove ..." rather than wrapping.
        const int removeLength = std::max(maxLength - 7, 0);
        addCommand(submenu.get(), QStringLiteral("remove ") + shortleft(list[i].text, removeLength),
            [this](QAction *item) { removeclick(item); })
            ->setData(int(i));
    }

    writeList();
    applyEnabled();
}

void TMYcustomhistory::writeList()
{
    QByteArray data;
    for (const Entry &entry : std::as_const(list)) {
        data += entry.bytes;
        data += "\r\n";
    }
    writeFile(filePath(listName), data);
}

void TMYcustomhistory::applyEnabled()
{
    if (!menuitem || !submenu || list.isEmpty())
        return;
    const QList<QAction *> entries = menuitem->actions();
    const qsizetype first = entries.indexOf(submenu->menuAction()) + 1;
    for (qsizetype i = first; first > 0 && i < entries.size(); ++i)
        entries[i]->setEnabled(enabled);
}

void TMYcustomhistory::itemclick(QAction *sender)
{
    const int index = sender ? sender->data().toInt() : -1;
    if (index < 0 || index >= list.size())
        return;
    const Entry entry = list[index];
    // The chosen file is opened even when the list cannot be saved; that failure is reported after.
    std::exception_ptr failure;
    try {
        putOnTop(entry);
    } catch (const Failure &) {
        failure = std::current_exception();
    }
    if (Onitemclicked)
        Onitemclicked(this, entry.text);
    else
        plainmsg(prompts, QStringLiteral("onitemclicked not assigned yet"));
    if (failure)
        std::rethrow_exception(failure);
}

void TMYcustomhistory::removeclick(QAction *sender)
{
    const int index = sender ? sender->data().toInt() : -1;
    if (index < 0 || index >= list.size())
        return;
    list.removeAt(index);
    rebuildmenu();
}

void TMYcustomhistory::removeallclick()
{
    if (list.isEmpty()) {
        plainmsg(prompts, QStringLiteral("History is already empty!"));
        return;
    }
    const Prompts::Answer answer = prompts.message(QStringLiteral("Warning"),
        QStringLiteral("Really want to remove all history items??"), Prompts::Icon::Warning,
        Prompts::Buttons::YesNo);
    if (answer != Prompts::Answer::Yes)
        return;
    list.clear();
    rebuildmenu();
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

void TMYcustomhistory::saveLimit(const QString &name, int value)
{
    const QString path = filePath(name);
    try {
        writeFile(path, QByteArray::number(value) + "\r\n");
    } catch (const Failure &) {
        errormsg(prompts,
            QStringLiteral("Unable to save max history file %1!!")
                .arg(QDir::toNativeSeparators(path)));
    }
}

void TMYcustomhistory::setmaxhistclick()
{
    int value = 0;
    if (!askLimit(QStringLiteral("Set maximum history items"),
            QStringLiteral("Give maximum history items (max. %1)").arg(highestMaxhist), maxCount,
            highestMaxhist, value))
        return;
    maxCount = value;
    if (list.size() > maxCount)
        list.resize(maxCount);
    // Rebuilt even when nothing was cut, so that raising the limit shows the entries it allows;
    // the limit file is written even when the list file cannot be.
    std::exception_ptr failure;
    try {
        rebuildmenu();
    } catch (const Failure &) {
        failure = std::current_exception();
    }
    saveLimit(countName, value);
    if (failure)
        std::rethrow_exception(failure);
}

void TMYcustomhistory::setmaxitemlenclick()
{
    int value = 0;
    if (!askLimit(QStringLiteral("Set maximum length of one history item"),
            QStringLiteral("Give maximum length of one history item (max. %1)")
                .arg(highestMaxitemlen),
            maxLength, highestMaxitemlen, value))
        return;
    maxLength = value;
    std::exception_ptr failure;
    try {
        rebuildmenu();
    } catch (const Failure &) {
        failure = std::current_exception();
    }
    saveLimit(lengthName, value);
    if (failure)
        std::rethrow_exception(failure);
}
