#pragma once

#include <functional>
#include <optional>

#include <QHash>
#include <QTreeWidget>

#include "location/ChildOrder.h"
#include "location/DeviceNoticeFollower.h"
#include "location/ShellIcons.h"
#include "location/ShellTreeWatchers.h"
#include "location/WildcardMask.h"
#include "shell/ShellNamespace.h"

class ChangeNotification;
class Prompts;
class QMenu;
class TShellNode;

// What the tree lists (TVisOptions).
enum TVisOption : quint32 { TF_FOLDERS = 0x1, TF_NONFOLDERS = 0x2, TF_HIDDEN = 0x4 };
enum TPopupMenuMode { pmm_System, pmm_PopupMenu };

// A folder picker over the desktop namespace: the desktop at the root, Computer with its drives,
// the home folder, Network and the desktop's own folders below it. Nodes list their children
// when expanded, as a merge into the nodes already there, and a watcher thread per listed folder
// keeps them in step with the disk; mount notices update the drives. All of its work runs on the
// user-interface thread.
class TShellTree : public QTreeWidget {
    Q_OBJECT

public:
    // The namespace and the change notification outlive the tree.
    TShellTree(ShellNamespace &shell, ChangeNotification &notification, Prompts &prompts,
        QWidget *parent = nullptr);
    ~TShellTree() override;

    // The file-system path of the selected node; empty for none or a virtual item. Before the
    // tree is first shown, the pending path.
    QString Path() const;
    // Selects the node of the nearest existing folder of `value`, never above its volume,
    // expanding the way to it; before the tree is first shown the path waits until then.
    void setPath(const QString &value);

    bool RootUsePIDL() const { return rootUsePidl; }
    void setRootUsePIDL(bool value);
    TPidls RootPIDL() const { return rootPidl; }
    void setRootPIDL(TPidls value);
    // The stored list a PIDL_USERDEFINED root stands for (the desktop's by default).
    void setUserDefinedPIDL(const ItemIdList &list);
    QString RootDir() const { return rootDir; }
    void setRootDir(const QString &value);
    quint32 Options() const { return options; }
    void setOptions(quint32 value);
    bool ShowVirtualFolders() const { return showVirtualFolders; }
    void setShowVirtualFolders(bool value);
    bool ShowIcons() const { return showIcons; }
    void setShowIcons(bool value);
    bool ShowSharedOverlay() const { return showSharedOverlay; }
    void setShowSharedOverlay(bool value);
    bool ShowLinkOverlay() const { return showLinkOverlay; }
    void setShowLinkOverlay(bool value);
    bool UpdAuto() const { return updAuto; }
    void setUpdAuto(bool value) { updAuto = value; }
    bool UpdAutoRec() const { return updAutoRec; }
    void setUpdAutoRec(bool value) { updAutoRec = value; }
    bool UpdAutoThread() const { return watchers.enabled(); }
    void setUpdAutoThread(bool value);
    bool UseShellCache() const { return useShellCache; }
    void setUseShellCache(bool value) { useShellCache = value; }
    bool ShowMessages() const { return showMessages; }
    void setShowMessages(bool value) { showMessages = value; }
    QString FileMask() const { return fileMask; }
    void setFileMask(const QString &value);
    bool FileMaskUse() const { return fileMaskUse; }
    void setFileMaskUse(bool value);
    TFileSortType FileSortType() const { return order.type; }
    void setFileSortType(TFileSortType value);
    TFileSortOrder FileSortOrder() const { return order.order; }
    void setFileSortOrder(TFileSortOrder value);
    TPopupMenuMode PopupMenuMode() const { return popupMenuMode; }
    void setPopupMenuMode(TPopupMenuMode value) { popupMenuMode = value; }
    QMenu *PopupMenu() const { return popupMenu; }
    void setPopupMenu(QMenu *menu) { popupMenu = menu; }
    bool CheckBoxes() const { return checkBoxes; }
    void setCheckBoxes(bool value);
    bool ReadOnly() const { return readOnly; }
    void setReadOnly(bool value);

    // The selection changed, also by the tree's own doing.
    std::function<void(TShellTree *sender)> OnChange;
    // A file-system folder or file is about to be listed; answering false refuses it.
    std::function<bool(TShellTree *sender, const QString &parsingName, quint32 attributes)>
        OnDirAdd;
    std::function<bool(TShellTree *sender, const QString &parsingName, quint32 attributes)>
        OnFileAdd;
    // A context menu is about to open for `node`; answering false cancels it.
    std::function<bool(TShellTree *sender, TShellNode *node)> OnPopupMenu;
    std::function<void(TShellTree *sender, TShellNode *node)> OnCheckBoxChanged;

    // Finds the node of `list`, expanding the way to it: from the root when `fromRoot` (the
    // list absolute), else from the selection (the list relative to it). Only a node matching
    // the whole list counts; it is selected and scrolled to. Answers whether one was found.
    bool selectIdList(const ItemIdList &list, bool fromRoot);

    TShellNode *rootNode() const;
    TShellNode *selectedNode() const;
    // The change filter handed to the watchers (ChangeFilterFlag bits), from Options.
    quint32 changeFilter() const { return watchers.filter(); }
    // Lists the whole tree again, descending into the expanded nodes.
    void relistAll();
    // A refresh that a watcher or a device notice started is running: it shows no prompts.
    bool refreshingAutomatically() const { return automaticDepth > 0; }

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void commitData(QWidget *editor) override;

private:
    friend class TShellNode;
    friend class DeviceNoticeFollower;
    ShellNamespace &shell() const { return shellNamespace; }
    void registerNode(TShellNode *node);
    void forgetNode(TShellNode *node);

    void buildRoot(bool restorePath);
    void clearNodes();
    // Merges the folder's items into its children; false when the folder cannot be read.
    bool listChildren(TShellNode *node, bool recursive);
    void removeUnseenChildren(TShellNode *node);
    // Selects `node` when the selection lies in one of its children that `leaving` names.
    void selectAboveChildren(
        TShellNode *node, const std::function<bool(const TShellNode *)> &leaving);
    // Updates the child of `entry`, or answers a new node for it, not yet in the tree.
    TShellNode *addOrUpdateChild(
        TShellNode *parent, const ShellEntry &entry, QHash<ItemId, TShellNode *> &existing);
    void setChildState(TShellNode *child);
    bool accepted(const ShellEntry &entry) const;
    bool hasAcceptedChild(TShellNode *node) const;
    void deleteChildren(TShellNode *node);
    void applyLook(TShellNode *node);
    void relist(TShellNode *node);
    void forEachNode(const std::function<void(TShellNode *)> &visit) const;
    quint32 enumFlags() const { return options << 5; }

    void nodeExpanded(TShellNode *node);
    void ensureListed(TShellNode *node);
    TShellNode *childWithId(TShellNode *node, const ItemId &id) const;
    TShellNode *findNode(const ItemIdList &target, bool wholeOnly);
    QString normalised(const QString &path) const;
    void selectPath(const QString &path);
    void showNode(TShellNode *node);

    void refreshAutomatically(quint64 nodeId);
    void runAutomatically(const std::function<void()> &work);
    bool folderExists(const TShellNode *node) const;
    void showContextMenu(TShellNode *node, const QPoint &at);

    ShellNamespace &shellNamespace;
    Prompts &prompts;
    ShellIcons icons;
    QHash<quint64, TShellNode *> nodesById;
    ShellTreeWatchers watchers;

    bool rootUsePidl = true;
    TPidls rootPidl = PIDL_DESKTOP;
    ItemIdList userPidl;
    // The file-system root of Linux stands for the Windows default "C:\".
    QString rootDir = QStringLiteral("/");
    quint32 options = TF_FOLDERS;
    bool showVirtualFolders = true;
    bool showIcons = true;
    bool showSharedOverlay = true;
    bool showLinkOverlay = true;
    bool updAuto = true;
    bool updAutoRec = false;
    bool useShellCache = false;
    bool showMessages = true;
    QString fileMask = QStringLiteral("*.*");
    WildcardMask fileMasks;
    bool fileMaskUse = false;
    ChildOrder order;
    TPopupMenuMode popupMenuMode = pmm_System;
    QMenu *popupMenu = nullptr;
    bool checkBoxes = false;
    bool readOnly = false;

    std::optional<QString> pendingPath;
    bool windowCreated = false;
    bool expandAllowed = false;
    bool destroying = false;
    int listingDepth = 0;
    int automaticDepth = 0;

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
    quint64 nextNodeId = 0;
};
