#include <QDir>
#include <QFileInfo>

#include "location/TShellNode.h"
#include "location/TShellTree.h"

// Expanding nodes, and finding and selecting the node of a path or an identifier list.

void TShellTree::nodeExpanded(TShellNode *node)
{
    if (!expandAllowed || destroying)
        return;
    if (updAuto || !node->childrenListed)
        listChildren(node, updAutoRec);
    // Children that stayed expanded while their parent was collapsed are shown again: they are
    // listed and watched again too.
    for (int i = 0; i < node->childCount(); ++i) {
        TShellNode *child = node->childNode(i);
        if (child->isExpanded() && child->childCount() && !child->watcherStarted)
            nodeExpanded(child);
    }
}

void TShellTree::ensureListed(TShellNode *node)
{
    if (!node->isExpanded())
        node->setExpanded(true);
    if (!node->childrenListed)
        listChildren(node, false);
}

TShellNode *TShellTree::childWithId(TShellNode *node, const ItemId &id) const
{
    for (int i = 0; i < node->childCount(); ++i) {
        if (node->childNode(i)->relative == id)
            return node->childNode(i);
    }
    return nullptr;
}

TShellNode *TShellTree::findNode(const ItemIdList &target, bool wholeOnly)
{
    TShellNode *node = rootNode();
    if (!node)
        return nullptr;
    const ItemIdList &rootList = node->absolute;
    if (rootList.size() >= target.size() && rootList != target)
        return nullptr;
    if (target.mid(0, rootList.size()) != rootList)
        return nullptr;
    for (qsizetype i = rootList.size(); i < target.size(); ++i) {
        if (!(node->attributes & IsFolder))
            return nullptr;
        ensureListed(node);
        TShellNode *child = childWithId(node, target[i]);
        if (!child)
            return wholeOnly ? nullptr : node;
        node = child;
    }
    return node;
}

QString TShellTree::normalised(const QString &path) const
{
    if (path.isEmpty())
        return {};
    // A relative path is taken from the process's current folder.
    QString folder = QDir::cleanPath(QDir::current().absoluteFilePath(path));
    const QString root = shellNamespace.rootOf(folder);
    if (root.isEmpty() || !QFileInfo(root).isDir())
        return {};
    while (!QFileInfo(folder).isDir()) {
        if (folder.size() <= root.size())
            return {};
        folder = QFileInfo(folder).path();
    }
    return folder;
}

void TShellTree::showNode(TShellNode *node)
{
    if (node->childIndicatorPolicy() == QTreeWidgetItem::ShowIndicator)
        ensureListed(node);
    setCurrentItem(node);
    scrollToItem(node);
}

void TShellTree::selectPath(const QString &path)
{
    const QString folder = normalised(path);
    if (folder.isEmpty())
        return;
    const auto list = shellNamespace.parse(folder);
    if (!list)
        return;
    if (TShellNode *node = findNode(*list, false))
        showNode(node);
}

bool TShellTree::selectIdList(const ItemIdList &list, bool fromRoot)
{
    TShellNode *start = selectedNode();
    if (!fromRoot && !start)
        return false;
    TShellNode *node = findNode(fromRoot ? list : start->absolute + list, true);
    if (!node)
        return false;
    setCurrentItem(node);
    scrollToItem(node);
    return true;
}

QString TShellTree::Path() const
{
    if (pendingPath)
        return *pendingPath;
    // Before the first show the root counts as selected, as it will be then.
    const TShellNode *node = selectedNode() || windowCreated ? selectedNode() : rootNode();
    return node ? shellNamespace.pathOf(node->absolute) : QString();
}

void TShellTree::setPath(const QString &value)
{
    if (value == Path())
        return;
    if (!windowCreated) {
        pendingPath = value;
        return;
    }
    selectPath(value);
}
