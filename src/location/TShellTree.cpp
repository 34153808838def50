#include "location/TShellTree.h"

#include <algorithm>

#include <QContextMenuEvent>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>
#include <QRegularExpression>
#include <QScrollBar>
#include <QWheelEvent>

#include <sys/stat.h>

#include "location/TDiscMonitorThread.h"
#include "location/TShellNode.h"
#include "platform/ChangeNotification.h"
#include "platform/Command.h"
#include "platform/Failure.h"
#include "platform/Volumes.h"
#include "platform/qt/ShellContextMenu.h"

namespace {

TShellNode *asNode(QTreeWidgetItem *item)
{
    return static_cast<TShellNode *>(item);
}

// "*" any run, "?" one character, letters compared without case. As users of "*.*" expect,
// a mask ending in ".*" also takes names without an extension.
QList<QRegularExpression> compiledMasks(const QString &masks)
{
    QList<QRegularExpression> compiled;
    for (const QString &piece : masks.split(QLatin1Char(';'))) {
        const QString mask = piece.trimmed();
        if (mask.isEmpty())
            continue;
        compiled.append(QRegularExpression::fromWildcard(mask, Qt::CaseInsensitive));
        if (mask.endsWith(QLatin1String(".*")))
            compiled.append(QRegularExpression::fromWildcard(mask.chopped(2), Qt::CaseInsensitive));
    }
    if (compiled.isEmpty())
        compiled.append(QRegularExpression::fromWildcard(u"*"));
    return compiled;
}

// Counts the listings or automatic refreshes running, nested ones included.
class DepthScope {
public:
    explicit DepthScope(int &depth) : depth(depth) { ++depth; }
    ~DepthScope() { --depth; }
    DepthScope(const DepthScope &) = delete;
    DepthScope &operator=(const DepthScope &) = delete;

private:
    int &depth;
};

quint32 filterFor(quint32 options)
{
    quint32 filter = (options & TF_FOLDERS) ? ChangeDirName | ChangeAttributes : ChangeAttributes;
    if (options & TF_NONFOLDERS)
        filter |= ChangeFileName;
    return filter;
}

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

TShellTree::TShellTree(
    ShellNamespace &shell, ChangeNotification &notification, Prompts &prompts, QWidget *parent)
    : QTreeWidget(parent), shellNamespace(shell), notification(notification), prompts(prompts),
      icons(shell.volumeLayer()),
      mailbox([this](quint64 id, quint64 serial) { refreshFromWatcher(id, serial); },
          [this](quint64 serial) { reap(serial); }),
      masks(compiledMasks(fileMask)), filter(filterFor(TF_FOLDERS))
{
    setHeaderHidden(true);
    setColumnCount(1);
    setIndentation(19);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    resize(170, 270);
    // The selection stays visible when the tree loses the focus.
    QPalette look = palette();
    look.setColor(
        QPalette::Inactive, QPalette::Highlight, look.color(QPalette::Active, QPalette::Highlight));
    look.setColor(QPalette::Inactive, QPalette::HighlightedText,
        look.color(QPalette::Active, QPalette::HighlightedText));
    setPalette(look);

    connect(this, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem *item) {
        runCommand(this->prompts, [&] { nodeExpanded(asNode(item)); });
    });
    connect(this, &QTreeWidget::itemCollapsed, this, [this](QTreeWidgetItem *item) {
        if (!destroying)
            stopWatchersBelow(asNode(item));
    });
    connect(this, &QTreeWidget::currentItemChanged, this, [this] {
        if (!destroying && OnChange)
            runCommand(this->prompts, [&] { OnChange(this); });
    });
    connect(this, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem *item) {
        TShellNode *node = asNode(item);
        if (destroying || !checkBoxes || node->checkState(0) == node->shownCheck)
            return;
        node->shownCheck = node->checkState(0);
        if (OnCheckBoxChanged)
            runCommand(this->prompts, [&] { OnCheckBoxChanged(this, node); });
    });
    Volumes &volumes = shell.volumeLayer();
    connect(&volumes, &Volumes::lettersArrived, this,
        [this](const QString &letters) { runAutomatically([&] { deviceNotice(letters, true); }); });
    connect(&volumes, &Volumes::lettersGone, this, [this](const QString &letters) {
        runAutomatically([&] { deviceNotice(letters, false); });
    });
    buildRoot(false);
}

TShellTree::~TShellTree()
{
    destroying = true;
    // Every watcher is told first, so that the waits below end at once.
    for (TShellNode *node : std::as_const(nodesById)) {
        if (node->watcher)
            node->watcher->stop();
    }
    clear();
    retiring.clear();
}

void TShellTree::registerNode(TShellNode *node)
{
    nodesById.insert(node->id, node);
}

void TShellTree::forgetNode(TShellNode *node)
{
    nodesById.remove(node->id);
}

TShellNode *TShellTree::rootNode() const
{
    return topLevelItemCount() ? asNode(topLevelItem(0)) : nullptr;
}

TShellNode *TShellTree::selectedNode() const
{
    return asNode(currentItem());
}

// ---- building and listing ----

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
    ensureListed(root);
    setCurrentItem(root);
    if (restorePath)
        setPath(remembered);
}

void TShellTree::clearNodes()
{
    for (TShellNode *node : std::as_const(nodesById)) {
        if (node->watcher)
            node->watcher->stop();
    }
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
    sortChildren(node);
    // A folder that lists nothing is watched all the same, so that a first subfolder shows.
    if (listed)
        startWatcher(node);
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
            signalStops(node->childNode(i));
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
            retireWatcher(child);
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
        startWatcher(child);
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
        if (fileMaskUse && !matchesMask(entry.name))
            return false;
        return !OnFileAdd
            || OnFileAdd(const_cast<TShellTree *>(this), entry.parsingName, attributes);
    }
    return !OnDirAdd || OnDirAdd(const_cast<TShellTree *>(this), entry.parsingName, attributes);
}

bool TShellTree::matchesMask(const QString &name) const
{
    return std::any_of(masks.cbegin(), masks.cend(),
        [&](const QRegularExpression &mask) { return mask.match(name).hasMatch(); });
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
        signalStops(node->childNode(i));
    const QList<QTreeWidgetItem *> children = node->takeChildren();
    for (auto it = children.crbegin(); it != children.crend(); ++it)
        delete *it;
}

void TShellTree::applyLook(TShellNode *node)
{
    const bool link = showLinkOverlay && (node->attributes & IsLink);
    const ShellItemKind kind = ShellNamespace::kindOf(node->absolute, node->attributes);
    const int look = showIcons ? int(kind) * 2 + (link ? 1 : 0) : -2;
    // Drives change their icon with their medium; other kinds are set once.
    if (look != node->look || kind == ShellItemKind::Drive) {
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

bool TShellTree::lessThan(const TShellNode &a, const TShellNode &b) const
{
    const auto isFile = [](const TShellNode &node) {
        return (node.attributes & FileSystem) && !(node.attributes & IsFolder);
    };
    const int byName = ShellNamespace::compare(*a.sortKey, *b.sortKey);
    if (!isFile(a) || !isFile(b))
        return byName < 0;
    int order = 0;
    if (fileSortType == so_Size)
        order = a.size < b.size ? -1 : (a.size > b.size ? 1 : 0);
    else if (fileSortType == so_Date)
        order = a.modified < b.modified ? -1 : (a.modified > b.modified ? 1 : 0);
    else if (fileSortType == so_Type)
        order = QFileInfo(a.text(0)).suffix().compare(
            QFileInfo(b.text(0)).suffix(), Qt::CaseInsensitive);
    if (order == 0)
        order = byName;
    return fileSortOrder == so_Descending ? order > 0 : order < 0;
}

void TShellTree::sortChildren(TShellNode *node)
{
    for (int i = 1; i < node->childCount(); ++i) {
        if (lessThan(*node->childNode(i), *node->childNode(i - 1))) {
            node->sortChildren(0, Qt::AscendingOrder);
            return;
        }
    }
}

void TShellTree::relistAll()
{
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

// ---- expanding and selecting ----

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
    const TShellNode *node = selectedNode();
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

// ---- watchers ----

void TShellTree::startWatcher(TShellNode *node)
{
    if (!updAutoThread || node->watcherStarted)
        return;
    node->watcherStarted = true;
    const QByteArray path = shellNamespace.nativePathOf(node->absolute);
    if (path.isEmpty())
        return;
    const quint64 serial = ++nextSerial;
    node->watcher = std::make_unique<TDiscMonitorThread>(
        notification, mailbox, node->id, serial, path, filter);
    node->watcher->start();
}

void TShellTree::retireWatcher(TShellNode *node)
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

void TShellTree::stopWatchersBelow(TShellNode *node)
{
    for (int i = 0; i < node->childCount(); ++i) {
        TShellNode *child = node->childNode(i);
        if (child->watcherStarted)
            retireWatcher(child);
        if (child->isExpanded())
            stopWatchersBelow(child);
    }
}

void TShellTree::signalStops(TShellNode *node)
{
    if (node->watcher)
        node->watcher->stop();
    for (int i = 0; i < node->childCount(); ++i)
        signalStops(node->childNode(i));
}

void TShellTree::refreshFromWatcher(quint64 nodeId, quint64 serial)
{
    TShellNode *node = nodesById.value(nodeId);
    if (destroying || !updAutoThread || !node || !node->watcher
        || node->watcher->serial() != serial)
        return;
    refreshAutomatically(nodeId);
}

void TShellTree::refreshAutomatically(quint64 nodeId)
{
    // A listing still running below (a nested event loop) finishes before the tree changes again.
    if (listingDepth) {
        QMetaObject::invokeMethod(
            this, [this, nodeId] { refreshAutomatically(nodeId); }, Qt::QueuedConnection);
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

void TShellTree::reap(quint64 serial)
{
    for (auto it = retiring.begin(); it != retiring.end(); ++it) {
        if ((*it)->serial() == serial) {
            retiring.erase(it);
            return;
        }
    }
}

// ---- mount notices ----

void TShellTree::deviceNotice(const QString &letters, bool arrived)
{
    TShellNode *root = rootNode();
    if (!root)
        return;
    const ItemId computer = ShellNamespace::computerId();
    if (root->absolute.size() <= 1) {
        TShellNode *drives = root->relative == computer ? root : childWithId(root, computer);
        if (!drives)
            return;
        // Drives whose volume went leave Computer with their folders; new ones join it.
        if (drives->childrenListed)
            listChildren(drives, false);
        for (int i = 0; arrived && i < drives->childCount(); ++i) {
            TShellNode *drive = drives->childNode(i);
            if (letters.contains(ShellNamespace::driveLetterOf(drive->relative)))
                refreshDrive(drive);
        }
    } else if (root->absolute.size() == 2 && root->absolute.front() == computer
        && letters.contains(ShellNamespace::driveLetterOf(root->relative))) {
        // A tree rooted at a drive keeps its root and lists what the drive holds now.
        retireWatcher(root);
        if (auto entry = shellNamespace.describe(root->absolute, enumFlags()))
            root->setItem(*entry);
        applyLook(root);
        listChildren(root, false);
    }
}

void TShellTree::refreshDrive(TShellNode *drive)
{
    // A letter that came back holds another medium: nothing listed of the old one stays.
    retireWatcher(drive);
    drive->setExpanded(false);
    deleteChildren(drive);
    drive->childrenListed = false;
    drive->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
}

// ---- settings ----

void TShellTree::setRootUsePIDL(bool value)
{
    if (value == rootUsePidl)
        return;
    rootUsePidl = value;
    buildRoot(false);
}

void TShellTree::setRootPIDL(TPidls value)
{
    if (value == rootPidl)
        return;
    rootPidl = value;
    buildRoot(false);
}

void TShellTree::setUserDefinedPIDL(const ItemIdList &list)
{
    userPidl = list;
    if (rootUsePidl && rootPidl == PIDL_USERDEFINED)
        buildRoot(false);
}

void TShellTree::setRootDir(const QString &value)
{
    if (value == rootDir)
        return;
    rootDir = value;
    if (!rootUsePidl)
        buildRoot(true);
}

void TShellTree::setOptions(quint32 value)
{
    if (value == options)
        return;
    options = value;
    const quint32 changed = filterFor(options);
    if (changed != filter) {
        filter = changed;
        forEachNode([&](TShellNode *node) {
            if (node->watcher && !node->watcher->failed() && node->watcher->filter() != filter)
                node->watcher->setFilter(filter);
        });
    }
    relistAll();
}

void TShellTree::setShowVirtualFolders(bool value)
{
    if (value == showVirtualFolders)
        return;
    showVirtualFolders = value;
    relistAll();
}

void TShellTree::setShowIcons(bool value)
{
    if (value == showIcons)
        return;
    showIcons = value;
    forEachNode([this](TShellNode *node) { applyLook(node); });
}

void TShellTree::setShowSharedOverlay(bool value)
{
    if (value == showSharedOverlay)
        return;
    showSharedOverlay = value;
    relistAll();
}

void TShellTree::setShowLinkOverlay(bool value)
{
    if (value == showLinkOverlay)
        return;
    showLinkOverlay = value;
    forEachNode([this](TShellNode *node) { applyLook(node); });
    relistAll();
}

void TShellTree::setUpdAutoThread(bool value)
{
    if (value == updAutoThread)
        return;
    updAutoThread = value;
    if (value) {
        relistAll();
        return;
    }
    forEachNode([this](TShellNode *node) { retireWatcher(node); });
}

void TShellTree::setFileMask(const QString &value)
{
    if (value == fileMask)
        return;
    fileMask = value;
    masks = compiledMasks(value);
    if (options & TF_NONFOLDERS)
        relistAll();
}

void TShellTree::setFileMaskUse(bool value)
{
    if (value == fileMaskUse)
        return;
    fileMaskUse = value;
    if (options & TF_NONFOLDERS)
        relistAll();
}

void TShellTree::setFileSortType(TFileSortType value)
{
    if (value == fileSortType)
        return;
    fileSortType = value;
    forEachNode([this](TShellNode *node) { sortChildren(node); });
}

void TShellTree::setFileSortOrder(TFileSortOrder value)
{
    if (value == fileSortOrder)
        return;
    fileSortOrder = value;
    forEachNode([this](TShellNode *node) { sortChildren(node); });
}

void TShellTree::setCheckBoxes(bool value)
{
    if (value == checkBoxes)
        return;
    checkBoxes = value;
    forEachNode([this](TShellNode *node) {
        if (!checkBoxes)
            node->setData(0, Qt::CheckStateRole, QVariant());
        applyLook(node);
    });
}

void TShellTree::setReadOnly(bool value)
{
    if (value == readOnly)
        return;
    readOnly = value;
    forEachNode([this](TShellNode *node) { applyLook(node); });
}

// ---- events ----

void TShellTree::showEvent(QShowEvent *event)
{
    QTreeWidget::showEvent(event);
    runCommand(prompts, [&] {
        relistAll();
        if (!windowCreated) {
            windowCreated = true;
            if (pendingPath) {
                const QString path = *pendingPath;
                pendingPath.reset();
                selectPath(path);
            }
        }
    });
}

void TShellTree::hideEvent(QHideEvent *event)
{
    QTreeWidget::hideEvent(event);
    if (!destroying)
        runCommand(prompts, [&] { relistAll(); });
}

void TShellTree::wheelEvent(QWheelEvent *event)
{
    const int delta = event->angleDelta().y();
    if (delta != 120 && delta != -120) {
        // Other deltas: the view's own scrolling by lines, in the direction of the sign.
        QTreeWidget::wheelEvent(event);
        return;
    }
    verticalScrollBar()->triggerAction(
        delta > 0 ? QAbstractSlider::SliderPageStepSub : QAbstractSlider::SliderPageStepAdd);
    event->accept();
}

void TShellTree::mousePressEvent(QMouseEvent *event)
{
    // A right click opens the menu of the node under the pointer without moving the selection.
    if (event->button() == Qt::RightButton) {
        event->accept();
        return;
    }
    QTreeWidget::mousePressEvent(event);
}

void TShellTree::contextMenuEvent(QContextMenuEvent *event)
{
    runCommand(prompts, [&] {
        TShellNode *node = nullptr;
        QPoint at = event->pos();
        if (event->reason() == QContextMenuEvent::Keyboard) {
            node = selectedNode();
            if (!node)
                return;
            const QRect label = visualItemRect(node);
            at = QPoint(label.left() + label.width() / 4, label.bottom() - label.height() / 4);
        } else {
            node = asNode(itemAt(at));
        }
        if (!node || (OnPopupMenu && !OnPopupMenu(this, node)))
            return;
        showContextMenu(node, viewport()->mapToGlobal(at));
    });
}

void TShellTree::showContextMenu(TShellNode *node, const QPoint &at)
{
    if (popupMenuMode == pmm_PopupMenu) {
        if (popupMenu)
            popupMenu->popup(at);
        return;
    }
    auto *menu = new ShellContextMenu(shellNamespace.pathOf(node->absolute), prompts, this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    const quint64 id = node->id;
    connect(menu, &ShellContextMenu::folderCreated, this, [this, id] {
        if (TShellNode *folder = nodesById.value(id))
            listChildren(folder, false);
    });
    menu->popup(at);
}

void TShellTree::commitData(QWidget *editor)
{
    TShellNode *node = selectedNode();
    const QString before = node ? node->text(0) : QString();
    QTreeWidget::commitData(editor);
    if (!node || node->text(0) == before || !node->parentNode())
        return;
    const QString name = node->text(0);
    node->setText(0, before);
    runCommand(prompts, [&] {
        TShellNode *parent = node->parentNode();
        if (!shellNamespace.rename(parent->absolute, node->relative, name))
            throw Failure("Cannot rename "
                + QDir::toNativeSeparators(shellNamespace.pathOf(node->absolute)) + " to " + name);
        // The folder comes back under its new name when its parent is listed again.
        const quint64 id = parent->id;
        QMetaObject::invokeMethod(
            this,
            [this, id] {
                if (TShellNode *folder = nodesById.value(id))
                    listChildren(folder, false);
            },
            Qt::QueuedConnection);
    });
}
