#pragma once

#include <functional>
#include <memory>
#include <vector>

#include <QHash>

#include "location/WatcherMailbox.h"

class ChangeNotification;
class ShellNamespace;
class TDiscMonitorThread;
class TShellNode;

// The watchers of a tree's listed folders, one thread a folder: started when a node is listed,
// stopped when it is collapsed away, destroyed with it. Their refreshes come back through one
// mailbox and reach the tree only for a node that still has the watcher that asked. A stopped
// watcher is kept here until its thread has ended.
class ShellTreeWatchers {
public:
    // `nodes` is the tree's map of its nodes by id; `refresh` lists a node again.
    ShellTreeWatchers(const ShellNamespace &shell, ChangeNotification &notification,
        const QHash<quint64, TShellNode *> &nodes, std::function<void(quint64 nodeId)> refresh);
    ~ShellTreeWatchers();

    bool enabled() const { return on; }
    // Off: no watcher starts, and every node's watcher is retired.
    void setEnabled(bool value);
    quint32 filter() const { return changeFilter; }
    // Stores the filter and has every running watcher set up its notification again with it.
    void setFilter(quint32 filter);

    // Starts the node's watcher once: a virtual folder (no path) is marked started all the same.
    void start(TShellNode *node);
    // Stops the node's watcher and forgets it; it may be started again.
    void retire(TShellNode *node);
    // Retires the watchers of the node's children, and below its expanded children.
    void retireBelow(TShellNode *node);
    // Tells every watcher in the subtree to stop, so that destroying the nodes does not wait.
    static void signalStops(TShellNode *node);
    // Tells every watcher of the tree to stop.
    void signalAllStops();

private:
    void delivered(quint64 nodeId, quint64 serial);
    void reap(quint64 serial);

    const ShellNamespace &shell;
    ChangeNotification &notification;
    const QHash<quint64, TShellNode *> &nodes;
    const std::function<void(quint64)> refresh;
    bool on = true;
    quint32 changeFilter;
    quint64 nextSerial = 0;
    WatcherMailbox mailbox;
    std::vector<std::unique_ptr<TDiscMonitorThread>> retiring;
};
