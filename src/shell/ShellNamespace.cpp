#include "shell/ShellNamespace.h"

#include <cstdio>
#include <dirent.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include <sys/stat.h>

#include "shell/Volumes.h"

namespace {

const ItemId homeId("\0home", 5);
const ItemId computerItem("\0computer", 9);
const ItemId networkId("\0network", 8);
const QByteArray drivePrefix("\0drive:", 7);

bool isVirtual(const ItemId &id)
{
    return id.startsWith('\0');
}

// Joined as bytes: a name that is not valid UTF-8 would not survive a trip through QString.
QByteArray joined(QByteArray path, const ItemIdList &absolute, qsizetype from)
{
    for (qsizetype i = from; i < absolute.size(); ++i) {
        if (!path.endsWith('/'))
            path += '/';
        path += absolute[i];
    }
    return path;
}

bool isHiddenName(const char *name)
{
    return name[0] == '.';
}

// Whether `path` holds a folder the tree would list: hidden ones count only when asked for.
bool hasListableSubfolder(const QByteArray &path, bool withHidden)
{
    DIR *dir = opendir(path.constData());
    if (!dir)
        return false;
    bool found = false;
    while (dirent *entry = readdir(dir)) {
        const char *name = entry->d_name;
        if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))
            continue;
        if (!withHidden && isHiddenName(name))
            continue;
        if (entry->d_type == DT_DIR) {
            found = true;
            break;
        }
        if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
            struct stat info;
            if (fstatat(dirfd(dir), name, &info, 0) == 0 && S_ISDIR(info.st_mode)) {
                found = true;
                break;
            }
        }
    }
    closedir(dir);
    return found;
}

constexpr quint32 folderAttributes = CanCopy | CanMove | CanLink | CanRename | CanDelete
    | HasPropSheet | DropTarget | FileSysAncestor | IsFolder | FileSystem;
constexpr quint32 fileAttributes
    = CanCopy | CanMove | CanLink | CanRename | CanDelete | HasPropSheet | FileSystem;

// The entry for `name` in the folder `folder` (native bytes, no trailing slash but for "/");
// none when it is not there or not wanted by `flags`.
std::optional<ShellEntry> fileEntry(
    const QByteArray &folder, const char *name, unsigned char type, quint32 flags)
{
    const bool hidden = isHiddenName(name);
    if (hidden && !(flags & EnumHidden))
        return std::nullopt;
    QByteArray full = folder;
    if (!full.endsWith('/'))
        full += '/';
    full += name;
    bool folderItem = type == DT_DIR;
    bool link = type == DT_LNK;
    struct stat info { };
    bool haveInfo = false;
    if (type == DT_LNK || type == DT_UNKNOWN || (type != DT_DIR && (flags & EnumNonFolders))) {
        struct stat own;
        if (lstat(full.constData(), &own) != 0)
            return std::nullopt;
        link = S_ISLNK(own.st_mode);
        haveInfo = stat(full.constData(), &info) == 0;
        if (!haveInfo)
            info = own;
        folderItem = haveInfo && S_ISDIR(info.st_mode);
    }
    if (folderItem ? !(flags & EnumFolders) : !(flags & EnumNonFolders))
        return std::nullopt;
    ShellEntry entry;
    entry.id = QByteArray(name);
    entry.name = QFile::decodeName(entry.id);
    entry.parsingName = QFile::decodeName(full);
    entry.attributes = folderItem ? folderAttributes : fileAttributes;
    if (link)
        entry.attributes |= IsLink;
    if (hidden)
        entry.attributes |= IsGhosted;
    if (folderItem && hasListableSubfolder(full, flags & EnumHidden))
        entry.attributes |= HasSubfolder;
    if (!folderItem) {
        entry.size = info.st_size;
        entry.modified = QDateTime::fromSecsSinceEpoch(info.st_mtim.tv_sec);
    }
    return entry;
}

} // namespace

ShellNamespace::ShellNamespace(
    const QString &desktopPath, const QString &homePath, Volumes &volumes)
    : desktop(QDir::cleanPath(desktopPath)), home(QDir::cleanPath(homePath)), volumes(volumes)
{
    collator.setNumericMode(true);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    // The C and POSIX locales collate by code points; file managers there still sort as in
    // English.
    if (collator.sortKey(QStringLiteral("a")).compare(collator.sortKey(QStringLiteral("B"))) > 0)
        collator.setLocale(QLocale(QLocale::English, QLocale::UnitedStates));
}

ItemId ShellNamespace::computerId()
{
    return computerItem;
}

ItemId ShellNamespace::driveId(QChar letter)
{
    return drivePrefix + letter.toUpper().toLatin1();
}

QChar ShellNamespace::driveLetterOf(const ItemId &id)
{
    if (id.size() != drivePrefix.size() + 1 || !id.startsWith(drivePrefix))
        return {};
    return QChar::fromLatin1(id.back());
}

std::optional<ItemIdList> ShellNamespace::specialFolder(TPidls folder) const
{
    switch (folder) {
    case PIDL_DESKTOP:
        return ItemIdList();
    case PIDL_DRIVES:
        return ItemIdList { computerItem };
    case PIDL_NETWORK:
    case PIDL_NETHOOD:
        return ItemIdList { networkId };
    case PIDL_PERSONAL:
        return ItemIdList { homeId };
    case PIDL_DESKTOPDIRECTORY:
        return parse(desktop);
    default:
        return std::nullopt;
    }
}

ShellItemKind ShellNamespace::kindOf(const ItemIdList &absolute, quint32 attributes)
{
    if (absolute.isEmpty())
        return ShellItemKind::Desktop;
    const ItemId &last = absolute.back();
    if (last == computerItem)
        return ShellItemKind::Computer;
    if (last == homeId)
        return ShellItemKind::Home;
    if (last == networkId)
        return ShellItemKind::Network;
    if (!driveLetterOf(last).isNull())
        return ShellItemKind::Drive;
    return (attributes & IsFolder) ? ShellItemKind::Folder : ShellItemKind::File;
}

QString ShellNamespace::pathOf(const ItemIdList &absolute) const
{
    return QFile::decodeName(nativePathOf(absolute));
}

QByteArray ShellNamespace::nativePathOf(const ItemIdList &absolute) const
{
    if (absolute.isEmpty())
        return QFile::encodeName(desktop);
    const ItemId &first = absolute.front();
    if (first == homeId)
        return joined(QFile::encodeName(home), absolute, 1);
    if (first == networkId)
        return {};
    if (first != computerItem)
        return joined(QFile::encodeName(desktop), absolute, 0);
    if (absolute.size() < 2)
        return {};
    const QChar letter = driveLetterOf(absolute[1]);
    const QString root = letter.isNull() ? QString() : volumes.rootPath(letter);
    return root.isEmpty() ? QByteArray() : joined(QFile::encodeName(root), absolute, 2);
}

bool ShellNamespace::holdsAsText(const ItemIdList &absolute) const
{
    const QByteArray native = nativePathOf(absolute);
    return QFile::encodeName(QFile::decodeName(native)) == native;
}

std::optional<ItemIdList> ShellNamespace::parse(const QString &path) const
{
    if (!QDir::isAbsolutePath(path))
        return std::nullopt;
    const QString clean = QDir::cleanPath(path);
    if (!QFileInfo(clean).isDir())
        return std::nullopt;
    const QChar letter = volumes.letterOf(clean);
    if (letter.isNull())
        return std::nullopt;
    ItemIdList list { computerItem, driveId(letter) };
    const QString rest = clean.mid(volumes.rootPath(letter).size());
    for (const QString &part : rest.split(QLatin1Char('/'), Qt::SkipEmptyParts))
        list.append(QFile::encodeName(part));
    return list;
}

QString ShellNamespace::rootOf(const QString &path) const
{
    const QChar letter = volumes.letterOf(path);
    return letter.isNull() ? QString() : volumes.rootPath(letter);
}

ShellEntry ShellNamespace::virtualEntry(const ItemId &id) const
{
    ShellEntry entry;
    entry.id = id;
    if (id == homeId) {
        entry.name = QStringLiteral("Home");
        entry.parsingName = home;
        entry.attributes = folderAttributes
            | (hasListableSubfolder(QFile::encodeName(home), false) ? quint32(HasSubfolder) : 0u);
    } else if (id == computerItem) {
        entry.name = QStringLiteral("Computer");
        entry.parsingName = QStringLiteral("::Computer");
        entry.attributes = IsFolder | FileSysAncestor | HasSubfolder | HasPropSheet;
    } else {
        entry.name = QStringLiteral("Network");
        entry.parsingName = QStringLiteral("::Network");
        entry.attributes = IsFolder | HasPropSheet;
    }
    return entry;
}

std::optional<ShellEntry> ShellNamespace::driveEntry(QChar letter) const
{
    const std::optional<Volume> volume = volumes.volume(letter);
    if (!volume)
        return std::nullopt;
    ShellEntry entry;
    entry.id = driveId(letter);
    entry.name = volume->displayName;
    entry.parsingName = volume->rootPath;
    // A drive always offers its button, without touching its medium.
    entry.attributes = IsFolder | FileSysAncestor | HasSubfolder | HasPropSheet | FileSystem
        | DropTarget | CanLink;
    if (volume->type == dtFloppy || volume->type == dtCDROM)
        entry.attributes |= IsRemovable;
    return entry;
}

std::optional<ShellEntry> ShellNamespace::describe(const ItemIdList &absolute, quint32 flags) const
{
    if (absolute.isEmpty()) {
        ShellEntry entry;
        entry.name = QStringLiteral("Desktop");
        entry.parsingName = desktop;
        entry.attributes = folderAttributes | HasSubfolder;
        return entry;
    }
    const ItemId &last = absolute.back();
    if (last == homeId || last == computerItem || last == networkId)
        return virtualEntry(last);
    const QChar letter = driveLetterOf(last);
    if (!letter.isNull())
        return driveEntry(letter);
    const QByteArray folder = nativePathOf(absolute.mid(0, absolute.size() - 1));
    if (folder.isEmpty())
        return std::nullopt;
    return fileEntry(
        folder, last.constData(), DT_UNKNOWN, flags | EnumFolders | EnumNonFolders | EnumHidden);
}

bool ShellNamespace::enumerate(const ItemIdList &absolute, quint32 flags,
    const std::function<bool(const ShellEntry &)> &visit) const
{
    if (absolute.isEmpty())
        return enumerateDesktop(flags, visit);
    if (absolute.size() == 1 && absolute.front() == computerItem)
        return enumerateComputer(visit);
    const QByteArray path = nativePathOf(absolute);
    return !path.isEmpty() && enumerateFolder(path, flags, visit);
}

bool ShellNamespace::enumerateDesktop(
    quint32 flags, const std::function<bool(const ShellEntry &)> &visit) const
{
    if (flags & EnumFolders) {
        for (const ItemId &id : { homeId, computerItem, networkId }) {
            if (!visit(virtualEntry(id)))
                return true;
        }
    }
    return enumerateFolder(QFile::encodeName(desktop), flags, visit);
}

bool ShellNamespace::enumerateComputer(const std::function<bool(const ShellEntry &)> &visit) const
{
    for (const Volume &volume : volumes.volumes()) {
        if (!visit(*driveEntry(volume.letter)))
            break;
    }
    return true;
}

bool ShellNamespace::enumerateFolder(const QByteArray &folder, quint32 flags,
    const std::function<bool(const ShellEntry &)> &visit) const
{
    DIR *dir = opendir(folder.constData());
    if (!dir)
        return false;
    while (dirent *item = readdir(dir)) {
        const char *name = item->d_name;
        if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))
            continue;
        if (auto entry = fileEntry(folder, name, item->d_type, flags); entry && !visit(*entry))
            break;
    }
    closedir(dir);
    return true;
}

std::optional<ItemId> ShellNamespace::rename(
    const ItemIdList &folder, const ItemId &id, const QString &name) const
{
    const QByteArray parent = nativePathOf(folder);
    if (parent.isEmpty() || isVirtual(id) || name.isEmpty() || name.contains(QLatin1Char('/'))
        || name == QLatin1String(".") || name == QLatin1String(".."))
        return std::nullopt;
    const QByteArray from = joined(parent, { id }, 0);
    const QByteArray to = joined(parent, { QFile::encodeName(name) }, 0);
    struct stat there;
    if (lstat(to.constData(), &there) == 0 || ::rename(from.constData(), to.constData()) != 0)
        return std::nullopt;
    return QFile::encodeName(name);
}

ShellNamespace::SortKey ShellNamespace::sortKey(const ItemId &id, const QString &name) const
{
    int rank = 4;
    if (id == homeId)
        rank = 0;
    else if (id == computerItem)
        rank = 1;
    else if (id == networkId)
        rank = 2;
    else if (!driveLetterOf(id).isNull())
        rank = 3;
    return { rank, collator.sortKey(rank == 3 ? QString() : name), id };
}

int ShellNamespace::compare(const SortKey &a, const SortKey &b)
{
    if (a.rank != b.rank)
        return a.rank < b.rank ? -1 : 1;
    if (const int byName = a.key.compare(b.key))
        return byName;
    return a.bytes < b.bytes ? -1 : (a.bytes == b.bytes ? 0 : 1);
}
