#include "location/ShellTreeWatchers.h"

#include "location/TDiscMonitorThread.h"
#include "location/TShellNode.h"
#include "platform/ChangeNotification.h"
#include "shell/ShellNamespace.h"

ShellTreeWatchers::ShellTreeWatchers(const ShellNamespace &shell, ChangeNotification &notification,
    const QHash<quint64, TShellNode *> &nodes, std::function<void(quint64 nodeId)> refresh)
    : shell(shell), notification(notification), nodes(nodes), refresh(std::move(refresh)),
      changeFilter(ChangeDirName | ChangeAttributes),
      mailbox([this](quint64 id, quint64 serial) { delivered(id, serial); },
          [this](quint64 serial) { reap(serial); })
{
}

// The retiring watchers were told to stop; destroying them waits for their threads.
ShellTreeWatchers::~ShellTreeWatchers() = default;

void ShellTreeWatchers::setEnabled(bool value)
{
    on = value;
    if (!on) {
        for (TShellNode *node : nodes)
            retire(node);
    }
}

void ShellTreeWatchers::setFilter(quint32 filter)
{
    if (filter == changeFilter)
        return;
    changeFilter = filter;
    for (TShellNode *node : nodes) {
        if (node->watcher && !node->watcher->failed() && node->watcher->filter() != filter)
            node->watcher->setFilter(filter);
    }
}

void ShellTreeWatchers::start(TShellNode *node)
{
    if (!on || node->watcherStarted)
        return;
    node->watcherStarted = true;
    const QByteArray path = shell.nativePathOf(node->absolute);
    if (path.isEmpty())
        return;
    node->watcher = std::make_unique<TDiscMonitorThread>(
        notification, mailbox, node->id, ++nextSerial, path, changeFilter);
    node->watcher->start();
}

void ShellTreeWatchers::retire(TShellNode *node)
{
    node->watcherStarted = false;
    if (!node->watcher)
        return;
    node->watcher->stop();
    if (node->watcher->isFinished())
        node->watcher.reset();
    else
        retiring.push_back(std::move(node->watcher));
}

void ShellTreeWatchers::retireBelow(TShellNode *node)
{
    for (int i = 0; i < node->childCount(); ++i) {
        TShellNode *child = node->childNode(i);
        if (child->watcherStarted)
            retire(child);
        if (child->isExpanded())
            retireBelow(child);
    }
}

void ShellTreeWatchers::signalStops(TShellNode *node)
{
    if (node->watcher)
        node->watcher->stop();
    for (int i = 0; i < node->childCount(); ++i)
        signalStops(node->childNode(i));
}

void ShellTreeWatchers::signalAllStops()
{
    for (TShellNode *node : nodes) {
        if (node->watcher)
            node->watcher->stop();
    }
}

void ShellTreeWatchers::delivered(quint64 nodeId, quint64 serial)
{
    const TShellNode *node = nodes.value(nodeId);
    if (on && node && node->watcher && node->watcher->serial() == serial)
        refresh(nodeId);
}

void ShellTreeWatchers::reap(quint64 serial)
{
    for (auto it = retiring.begin(); it != retiring.end(); ++it) {
        if ((*it)->serial() == serial) {
            retiring.erase(it);
            return;
        }
    }
}
