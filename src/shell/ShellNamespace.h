#pragma once

#include <functional>
#include <optional>

#include <QByteArray>
#include <QChar>
#include <QCollator>
#include <QCollatorSortKey>
#include <QDateTime>
#include <QList>
#include <QString>

class Volumes;

// An item's identifier within its folder, compared byte for byte. File-system items are their
// file names' bytes; virtual items start with a NUL byte, which no file name holds.
using ItemId = QByteArray;
// An absolute identifier list: the identifiers from the desktop down; the desktop is empty.
using ItemIdList = QList<ItemId>;

// The shell attribute flags the folder tree asks for (the Windows SFGAO values).
enum ShellAttribute : quint32 {
    CanCopy = 0x1,
    CanMove = 0x2,
    CanLink = 0x4,
    CanRename = 0x10,
    CanDelete = 0x20,
    HasPropSheet = 0x40,
    DropTarget = 0x100,
    IsLink = 0x10000,
    IsShared = 0x20000,
    IsGhosted = 0x80000,
    IsRemovable = 0x2000000,
    IsCompressed = 0x4000000,
    FileSysAncestor = 0x10000000,
    IsFolder = 0x20000000,
    FileSystem = 0x40000000,
    HasSubfolder = 0x80000000,
};
// Every flag above: what the tree asks of each item.
constexpr quint32 treeAttributeMask = 0xF60B0177;

// What an enumeration includes (the tree's options shifted left by five bits).
enum EnumFlag : quint32 {
    EnumFolders = 0x20,
    EnumNonFolders = 0x40,
    EnumHidden = 0x80,
};

// The special folders a tree can take as its root (the shell's folder numbers).
enum TPidls {
    PIDL_DESKTOP,
    PIDL_PROGRAMS,
    PIDL_CONTROLS,
    PIDL_PRINTERS,
    PIDL_PERSONAL,
    PIDL_FAVORITES,
    PIDL_STARTUP,
    PIDL_RECENT,
    PIDL_SENDTO,
    PIDL_BITBUCKET,
    PIDL_STARTMENU,
    PIDL_DESKTOPDIRECTORY,
    PIDL_DRIVES,
    PIDL_NETWORK,
    PIDL_NETHOOD,
    PIDL_FONTS,
    PIDL_TEMPLATES,
    PIDL_USERDEFINED,
};

// One item of a folder as an enumeration finds it.
struct ShellEntry {
    ItemId id;
    quint32 attributes = 0;
    QString name; // the normal display name
    QString parsingName; // the full path of a file-system item, a "::name" for a virtual one
    qint64 size = 0; // files only
    QDateTime modified; // files only
};

// The kinds of item the tree gives icons of its own.
enum class ShellItemKind { Desktop, Computer, Home, Network, Drive, Folder, File };

// The desktop namespace on Linux: the desktop holds the virtual Computer (one item per drive
// letter of the volume layer), the home folder, the virtual Network (no path) and the desktop
// folder's own subfolders; file-system folders below those. The desktop and home folders are
// given, so that tests use temporary ones. Lives on the user-interface thread.
class ShellNamespace {
public:
    ShellNamespace(const QString &desktopPath, const QString &homePath, Volumes &volumes);

    Volumes &volumeLayer() const { return volumes; }
    QString desktopPath() const { return desktop; }
    QString homePath() const { return home; }

    // The identifier list of a special folder; none for one this platform does not have.
    std::optional<ItemIdList> specialFolder(TPidls folder) const;
    // The file-system path of an absolute list; empty for a virtual item or a drive without
    // its volume.
    QString pathOf(const ItemIdList &absolute) const;
    // The same path as the file system holds it: names that are not valid UTF-8 keep their bytes.
    QByteArray nativePathOf(const ItemIdList &absolute) const;
    // Whether the path of `absolute` survives being held as text (every name valid UTF-8).
    bool holdsAsText(const ItemIdList &absolute) const;
    // An existing folder's path as an absolute list through its volume (the one with the
    // longest matching mount point); none when the folder does not exist.
    std::optional<ItemIdList> parse(const QString &path) const;
    // The item at the end of `absolute`, as its folder's enumeration would give it.
    std::optional<ShellEntry> describe(const ItemIdList &absolute, quint32 flags) const;
    // Visits the items of the folder `absolute` until `visit` answers false. `flags` are
    // EnumFlag bits; hidden items (names starting with ".") only with EnumHidden. Answers
    // false when the folder cannot be read.
    bool enumerate(const ItemIdList &absolute, quint32 flags,
        const std::function<bool(const ShellEntry &)> &visit) const;
    // Renames a file-system item; its new identifier, none on failure.
    std::optional<ItemId> rename(
        const ItemIdList &folder, const ItemId &id, const QString &name) const;

    // The kind of the item at the end of `absolute`, whose attributes are `attributes`.
    static ShellItemKind kindOf(const ItemIdList &absolute, quint32 attributes);
    // The drive letter of a Computer child, a null QChar for any other identifier.
    static QChar driveLetterOf(const ItemId &id);
    static ItemId computerId();
    static ItemId driveId(QChar letter);
    // The folder that `path` cannot be cut back above: its volume's mount point; empty when the
    // path lies on a drive that has lost its volume (no medium).
    QString rootOf(const QString &path) const;

    // Order of two items of one folder as a file manager shows them: the desktop's own items
    // first, drives by letter, then names in the user's collation with numbers by value.
    struct SortKey {
        int rank = 0;
        QCollatorSortKey key;
        QByteArray bytes;
    };
    SortKey sortKey(const ItemId &id, const QString &name) const;
    static int compare(const SortKey &a, const SortKey &b);

private:
    bool enumerateDesktop(
        quint32 flags, const std::function<bool(const ShellEntry &)> &visit) const;
    bool enumerateComputer(const std::function<bool(const ShellEntry &)> &visit) const;
    bool enumerateFolder(const QByteArray &folder, quint32 flags,
        const std::function<bool(const ShellEntry &)> &visit) const;
    ShellEntry virtualEntry(const ItemId &id) const;
    std::optional<ShellEntry> driveEntry(QChar letter) const;

    QString desktop;
    QString home;
    Volumes &volumes;
    QCollator collator;
};
