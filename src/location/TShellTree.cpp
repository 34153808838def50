#include "location/TShellTree.h"

#include <QContextMenuEvent>
#include <QDir>
#include <QMenu>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QWheelEvent>

#include "location/ShellContextMenu.h"
#include "location/TShellNode.h"
#include "platform/ChangeNotification.h"
#include "platform/Command.h"
#include "platform/Failure.h"

namespace {

TShellNode *asNode(QTreeWidgetItem *item)
{
    return static_cast<TShellNode *>(item);
}

quint32 filterFor(quint32 options)
{
    quint32 filter = (options & TF_FOLDERS) ? ChangeDirName | ChangeAttributes : ChangeAttributes;
    if (options & TF_NONFOLDERS)
        filter |= ChangeFileName;
    return filter;
}

} // namespace

TShellTree::TShellTree(
    ShellNamespace &shell, ChangeNotification &notification, Prompts &prompts, QWidget *parent)
    : QTreeWidget(parent), shellNamespace(shell), prompts(prompts), icons(shell.volumeLayer()),
      watchers(shell, notification, nodesById, [this](quint64 id) { refreshAutomatically(id); })
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
    watchers.setFilter(filterFor(options));

    connect(this, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem *item) {
        runCommand(this->prompts, [&] { nodeExpanded(asNode(item)); });
    });
    connect(this, &QTreeWidget::itemCollapsed, this, [this](QTreeWidgetItem *item) {
        if (!destroying)
            watchers.retireBelow(asNode(item));
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
    new DeviceNoticeFollower(shell.volumeLayer(), *this);
    buildRoot(false);
}

TShellTree::~TShellTree()
{
    destroying = true;
    clearNodes();
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
    watchers.setFilter(filterFor(options));
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
    if (value == watchers.enabled())
        return;
    watchers.setEnabled(value);
    if (value)
        relistAll();
}

void TShellTree::setFileMask(const QString &value)
{
    if (value == fileMask)
        return;
    fileMask = value;
    fileMasks = WildcardMask(value);
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
    if (value == order.type)
        return;
    order.type = value;
    forEachNode([this](TShellNode *node) { order.sort(node); });
}

void TShellTree::setFileSortOrder(TFileSortOrder value)
{
    if (value == order.order)
        return;
    order.order = value;
    forEachNode([this](TShellNode *node) { order.sort(node); });
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
        if (windowCreated) {
            relistAll();
        } else {
            windowCreated = true;
            forEachNode([this](TShellNode *node) { applyLook(node); });
            if (TShellNode *root = rootNode(); root && !currentItem()) {
                // Selected as it was at the tree's making, which told nobody.
                const QSignalBlocker quiet(this);
                setCurrentItem(root);
            }
            if (TShellNode *root = rootNode(); root && !root->childrenListed)
                ensureListed(root);
            else
                relistAll();
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
