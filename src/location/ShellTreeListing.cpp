#include <memory>
#include <vector>

#include <QGuiApplication>
#include <QTimer>

#include <sys/stat.h>

#include "location/TShellNode.h"
#include "location/TShellTree.h"

// Building the tree, the merge listing and the refreshes that watchers and mount notices start:
// a folder's items are merged into the nodes there, so that nodes found again keep their
// expansion, selection and watchers.

namespace {

// The hourglass and a paused repaint while one listing runs.
class BusyListing {
public:
    explicit BusyListing(QWidget &widget) : widget(widget), updating(widget.updatesEnabled())
    {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        widget.setUpdatesEnabled(false);
    }
    ~BusyListing()
    {
        widget.setUpdatesEnabled(updating);
        QGuiApplication::restoreOverrideCursor();
    }

private:
    QWidget &widget;
    const bool updating;
};

} // namespace

void TShellTree::buildRoot(bool restorePath)
{
    const QString remembered = Path();
    clearNodes();
    std::optional<ItemIdList> list;
    if (rootUsePidl)
        list = rootPidl == PIDL_USERDEFINED ? userPidl : shellNamespace.specialFolder(rootPidl);
    else if (!(list = shellNamespace.parse(normalised(rootDir))))
        list = shellNamespace.parse(QStringLiteral("/"));
    if (!list)
        list = ItemIdList();
    ShellEntry entry = shellNamespace.describe(*list, enumFlags()).value_or(ShellEntry {});
    if (entry.name.isEmpty() && entry.parsingName.isEmpty())
        entry.name = QStringLiteral("Desktop");
    auto *root = new TShellNode(*this, ++nextNodeId, *list, entry);
    if (!rootUsePidl)
        rootDir = shellNamespace.pathOf(*list);
    addTopLevelItem(root);
    applyLook(root);
    root->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    expandAllowed = true;
    // Before the first show the root waits unlisted and unselected: that show lists it, as every
    // show does, and selects it unless a path waits.
    if (windowCreated) {
        ensureListed(root);
        setCurrentItem(root);
    }
    if (restorePath)
        setPath(remembered);
}

// Every watcher is told first, so that destroying the nodes waits on none of them.
void TShellTree::clearNodes()
{
    watchers.signalAllStops();
    clear();
}

bool TShellTree::listChildren(TShellNode *node, bool recursive)
{
    if (!(node->attributes & IsFolder))
        return true;
    const DepthScope scope(listingDepth);
    BusyListing busy(*this);
    quint32 flags = enumFlags();
    if (node->relative.isEmpty())
        flags |= EnumFolders;
    QHash<ItemId, TShellNode *> existing;
    existing.reserve(node->childCount());
    for (int i = 0; i < node->childCount(); ++i) {
        TShellNode *child = node->childNode(i);
        child->seen = false;
        existing.insert(child->relative, child);
    }
    // Nodes made for new items belong to no parent until the listing is through.
    std::vector<std::unique_ptr<TShellNode>> added;
    const bool listed
        = shellNamespace.enumerate(node->absolute, flags, [&](const ShellEntry &entry) {
              if (TShellNode *child = addOrUpdateChild(node, entry, existing))
                  added.emplace_back(child);
              return true;
          });
    removeUnseenChildren(node);
    QList<QTreeWidgetItem *> children;
    for (auto &child : added)
        children.append(child.release());
    node->addChildren(children);
    node->childrenListed = true;
    node->setChildIndicatorPolicy(
        node->childCount() ? QTreeWidgetItem::ShowIndicator : QTreeWidgetItem::DontShowIndicator);
    order.sort(node);
    // A folder that lists nothing is watched all the same, so that a first subfolder shows.
    if (listed)
        watchers.start(node);
    if (!recursive)
        return listed;
    for (int i = 0; i < node->childCount(); ++i) {
        TShellNode *child = node->childNode(i);
        if (child->isExpanded() && child->childCount())
            listChildren(child, true);
    }
    return listed;
}

void TShellTree::selectAboveChildren(
    TShellNode *node, const std::function<bool(const TShellNode *)> &leaving)
{
    // The selection leaves the children that go for their parent before their nodes go, so that
    // it never lands on a sibling that may be gone as well.
    for (TShellNode *at = selectedNode(); at && at != node; at = at->parentNode()) {
        if (at->parentNode() == node && leaving(at)) {
            setCurrentItem(node);
            return;
        }
    }
}

void TShellTree::removeUnseenChildren(TShellNode *node)
{
    selectAboveChildren(node, [](const TShellNode *child) { return !child->seen; });
    for (int i = node->childCount() - 1; i >= 0; --i) {
        if (!node->childNode(i)->seen) {
            ShellTreeWatchers::signalStops(node->childNode(i));
            delete node->takeChild(i);
        }
    }
}

TShellNode *TShellTree::addOrUpdateChild(
    TShellNode *parent, const ShellEntry &entry, QHash<ItemId, TShellNode *> &existing)
{
    TShellNode *child = existing.value(entry.id);
    if (child && child->seen)
        child = nullptr;
    if (!accepted(entry)) {
        if (child)
            child->seen = false;
        return nullptr;
    }
    TShellNode *made = nullptr;
    if (child) {
        child->setItem(entry);
        // A folder replaced under its name, or one whose watch could not be set up: watched
        // anew, and listed again if it was.
        if (child->watcher && child->watcher->failed()) {
            watchers.retire(child);
            if (child->childrenListed)
                listChildren(child, false);
        }
    } else {
        child = made = new TShellNode(
            *this, ++nextNodeId, parent->absolute + ItemIdList { entry.id }, entry);
    }
    child->seen = true;
    setChildState(child);
    return made;
}

void TShellTree::setChildState(TShellNode *child)
{
    bool hasChildren = child->attributes & HasSubfolder;
    if (!hasChildren && (options & TF_NONFOLDERS) && (child->attributes & IsFolder))
        hasChildren = child->isExpanded() || hasAcceptedChild(child);
    if (hasChildren) {
        child->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    } else {
        deleteChildren(child);
        child->childrenListed = false;
        child->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicator);
        // Watched at once, so that a first subfolder gives it a button.
        watchers.start(child);
    }
    applyLook(child);
}

bool TShellTree::accepted(const ShellEntry &entry) const
{
    const quint32 attributes = entry.attributes;
    if (!showVirtualFolders && !(attributes & (FileSystem | FileSysAncestor)))
        return false;
    if (!(attributes & FileSystem))
        return true;
    if (!(attributes & IsFolder) && (options & TF_NONFOLDERS)) {
        if (fileMaskUse && !fileMasks.matches(entry.name))
            return false;
        return !OnFileAdd
            || OnFileAdd(const_cast<TShellTree *>(this), entry.parsingName, attributes);
    }
    return !OnDirAdd || OnDirAdd(const_cast<TShellTree *>(this), entry.parsingName, attributes);
}

bool TShellTree::hasAcceptedChild(TShellNode *node) const
{
    bool found = false;
    shellNamespace.enumerate(node->absolute, enumFlags(), [&](const ShellEntry &entry) {
        found = accepted(entry);
        return !found;
    });
    return found;
}

void TShellTree::deleteChildren(TShellNode *node)
{
    if (!node->childCount())
        return;
    selectAboveChildren(node, [](const TShellNode *) { return true; });
    // The node's own watcher goes on: a later subfolder must still show.
    for (int i = 0; i < node->childCount(); ++i)
        ShellTreeWatchers::signalStops(node->childNode(i));
    const QList<QTreeWidgetItem *> children = node->takeChildren();
    for (auto it = children.crbegin(); it != children.crend(); ++it)
        delete *it;
}

void TShellTree::applyLook(TShellNode *node)
{
    const bool link = showLinkOverlay && (node->attributes & IsLink);
    const ShellItemKind kind = ShellNamespace::kindOf(node->absolute, node->attributes);
    const int look = showIcons ? int(kind) * 2 + (link ? 1 : 0) : -2;
    // Drives change their icon with their medium; other kinds are set once. Icons wait for the
    // first show: the icon theme's lookup is the largest part of a tree's making.
    if (windowCreated && (look != node->look || kind == ShellItemKind::Drive)) {
        node->look = look;
        node->setIcon(0,
            showIcons ? icons.icon(
                kind, link, ShellNamespace::driveLetterOf(node->relative), node->parsingName)
                      : QIcon());
    }
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (!readOnly && (node->attributes & CanRename) && node->parentNode())
        flags |= Qt::ItemIsEditable;
    if (checkBoxes)
        flags |= Qt::ItemIsUserCheckable;
    if (node->flags() != flags)
        node->setFlags(flags);
    if (checkBoxes && node->data(0, Qt::CheckStateRole).isNull())
        node->setCheckState(0, Qt::Unchecked);
}

void TShellTree::relistAll()
{
    if (!windowCreated)
        return;
    if (TShellNode *root = rootNode())
        relist(root);
}

void TShellTree::relist(TShellNode *node)
{
    listChildren(node, false);
    for (int i = 0; i < node->childCount(); ++i) {
        TShellNode *child = node->childNode(i);
        if (child->childCount() && child->isExpanded())
            relist(child);
        else
            child->childrenListed = false;
    }
}

void TShellTree::forEachNode(const std::function<void(TShellNode *)> &visit) const
{
    for (TShellNode *node : nodesById)
        visit(node);
}

// ---- automatic refreshes ----

void TShellTree::refreshAutomatically(quint64 nodeId)
{
    // A listing still running below (a nested event loop, a box) finishes before the tree
    // changes again; the refresh looks again a moment later rather than spinning meanwhile.
    if (listingDepth) {
        QTimer::singleShot(20, this, [this, nodeId] { refreshAutomatically(nodeId); });
        return;
    }
    TShellNode *node = nodesById.value(nodeId);
    if (destroying || !node)
        return;
    // A folder gone from the disk leaves the tree with its node: the nearest ancestor that is
    // still there lists it out.
    while (node->parentNode() && !folderExists(node))
        node = node->parentNode();
    runAutomatically([&] { listChildren(node, false); });
}

void TShellTree::runAutomatically(const std::function<void()> &work)
{
    const DepthScope scope(automaticDepth);
    // Nobody asked for this refresh: a failure in it is nobody's to read, so no box shows.
    try {
        work();
    } catch (...) {
    }
}

bool TShellTree::folderExists(const TShellNode *node) const
{
    if (!(node->attributes & FileSystem))
        return true;
    const QByteArray path = shellNamespace.nativePathOf(node->absolute);
    struct stat info;
    return !path.isEmpty() && stat(path.constData(), &info) == 0 && S_ISDIR(info.st_mode);
}
