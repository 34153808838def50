#include "location/ShellContextMenu.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QUrl>

#include "platform/Command.h"
#include "platform/Failure.h"
#include "platform/Prompts.h"

ShellContextMenu::ShellContextMenu(const QString &folderPath, Prompts &prompts, QWidget *parent)
    : QMenu(parent), folder(folderPath), prompts(prompts)
{
    open = addAction(tr("&Open in file manager"));
    copyPath = addAction(tr("&Copy path"));
    addSeparator();
    newFolder = addAction(tr("&New folder..."));
    setDefaultAction(open);
    for (QAction *action : { open, copyPath, newFolder })
        action->setEnabled(!folder.isEmpty());
    connect(open, &QAction::triggered, this,
        [this] { runCommand(this->prompts, [this] { openFolder(); }); });
    connect(copyPath, &QAction::triggered, this,
        [this] { runCommand(this->prompts, [this] { copyFolderPath(); }); });
    connect(newFolder, &QAction::triggered, this,
        [this] { runCommand(this->prompts, [this] { createFolder(); }); });
}

void ShellContextMenu::openFolder()
{
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(folder)))
        throw Failure("Cannot open " + QDir::toNativeSeparators(folder));
}

void ShellContextMenu::copyFolderPath()
{
    QGuiApplication::clipboard()->setText(QDir::toNativeSeparators(folder));
}

void ShellContextMenu::createFolder()
{
    const auto name
        = prompts.inputBox(tr("New folder"), tr("Name of the new folder:"), tr("New folder"));
    if (!name || name->trimmed().isEmpty())
        return;
    const QString path = QDir(folder).filePath(name->trimmed());
    if (name->contains(QLatin1Char('/')) || QFileInfo::exists(path) || !QDir().mkdir(path))
        throw Failure("Cannot create the folder " + QDir::toNativeSeparators(path));
    emit folderCreated(path);
}
