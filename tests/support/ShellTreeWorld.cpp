#include "ShellTreeWorld.h"

#include <QDir>
#include <QTreeWidgetItemIterator>

#include <gtest/gtest.h>

namespace {

QByteArray table(const QString &media, bool inserted)
{
    QByteArray lines = mountLine("8:2", "/", "ext4", "/dev/sda2");
    if (inserted)
        lines += mountLine("8:17", media.toUtf8().constData(), "ext4", "/dev/sdb1");
    return lines;
}

} // namespace

ShellTreeWorld::ShellTreeWorld()
    : source(table(dir.path() + "/media", true), { { "/dev/sdb1", "STICK" } }, { "/dev/sdb1" }),
      volumes(source), shell(dir.path() + "/Desktop", dir.path() + "/home", volumes)
{
    makeFolders({ "Desktop", "home", "media" });
}

ShellTreeWorld::~ShellTreeWorld()
{
    tree.reset();
}

QString ShellTreeWorld::path(const QString &relative) const
{
    return dir.path() + '/' + relative;
}

void ShellTreeWorld::makeFolders(const QStringList &relative) const
{
    for (const QString &folder : relative)
        ASSERT_TRUE(QDir().mkpath(path(folder))) << folder.toStdString();
}

TShellTree &ShellTreeWorld::makeTree()
{
    tree = std::make_unique<TShellTree>(shell, notification, prompts);
    return *tree;
}

TShellTree &ShellTreeWorld::shownTree()
{
    makeTree().show();
    return *tree;
}

void ShellTreeWorld::setMediumInserted(bool inserted)
{
    source.setMountTable(table(path("media"), inserted));
}

TShellNode *ShellTreeWorld::node(const QString &relative) const
{
    const QString wanted = path(relative);
    for (QTreeWidgetItemIterator it(tree.get()); *it; ++it) {
        auto *node = static_cast<TShellNode *>(*it);
        if (shell.pathOf(node->absolute) == wanted)
            return node;
    }
    return nullptr;
}

QStringList ShellTreeWorld::childNames(const QTreeWidgetItem *node)
{
    QStringList names;
    for (int i = 0; node && i < node->childCount(); ++i)
        names << node->child(i)->text(0);
    return names;
}

int threadCount()
{
    return int(QDir("/proc/self/task").entryList(QDir::Dirs | QDir::NoDotAndDotDot).size());
}
