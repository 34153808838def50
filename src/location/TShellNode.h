#pragma once

#include <memory>
#include <optional>

#include <QTreeWidgetItem>

#include "location/TDiscMonitorThread.h"
#include "shell/ShellNamespace.h"

class TShellTree;

// One item of the shell namespace in a TShellTree: its identifiers, attributes and listing
// state, and the watcher of its folder while it has one. Destroying a node stops and waits for
// its watcher and takes it out of the tree's id map, so no refresh can reach it afterwards.
class TShellNode : public QTreeWidgetItem {
public:
    TShellNode(TShellTree &tree, quint64 id, const ItemIdList &absolute, const ShellEntry &entry);
    ~TShellNode() override;

    TShellNode *parentNode() const { return static_cast<TShellNode *>(parent()); }
    TShellNode *childNode(int index) const { return static_cast<TShellNode *>(child(index)); }

    // The file-system order of the children is the tree's, not the column's text order.
    bool operator<(const QTreeWidgetItem &other) const override;

    // Takes the item's names and attributes (the sort key only when the name changed).
    void setItem(const ShellEntry &entry);

    const quint64 id;
    ItemId relative;
    ItemIdList absolute;
    quint32 attributes = 0;
    QString parsingName;
    qint64 size = 0;
    QDateTime modified;
    // The key the tree orders siblings by.
    const ShellNamespace::SortKey &key() const;
    bool childrenListed = false;
    bool seen = false;
    bool watcherStarted = false;
    int look = -1; // the icon last set, by kind and overlay
    Qt::CheckState shownCheck = Qt::Unchecked;
    std::unique_ptr<TDiscMonitorThread> watcher;

private:
    TShellTree &tree;
    mutable std::optional<ShellNamespace::SortKey> sortKey;
};
