#pragma once

#include <memory>

#include <QStringList>
#include <QTemporaryDir>

#include "FakePrompts.h"
#include "FakeVolumeSource.h"
#include "location/TShellNode.h"
#include "location/TShellTree.h"
#include "platform/ChangeNotification.h"
#include "shell/ShellNamespace.h"
#include "shell/Volumes.h"

// A temporary machine for folder-tree tests: "/" as C:, the folder "media" as the removable
// drive D:, and injected desktop ("Desktop") and home ("home") folders, all in a temporary
// folder; a tree over them is made on demand.
class ShellTreeWorld {
public:
    ShellTreeWorld();
    ~ShellTreeWorld();

    // The absolute path of `relative` inside the temporary folder.
    QString path(const QString &relative) const;
    void makeFolders(const QStringList &relative) const;
    TShellTree &makeTree();
    TShellTree &shownTree();
    // Takes the D: volume out of the mount table, or puts it back.
    void setMediumInserted(bool inserted);

    // The node showing `relative`, among the nodes there (nothing is expanded to find it).
    TShellNode *node(const QString &relative) const;
    static QStringList childNames(const QTreeWidgetItem *node);

    QTemporaryDir dir;
    FakeVolumeSource source;
    Volumes volumes;
    ShellNamespace shell;
    ChangeNotification notification;
    FakePrompts prompts;
    std::unique_ptr<TShellTree> tree;
};

// The number of threads of this process.
int threadCount();
