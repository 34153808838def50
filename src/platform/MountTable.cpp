#include "platform/MountTable.h"

#include <algorithm>
#include <cctype>
#include <optional>

#include <QSet>

namespace {

// File systems of the kernel and of desktop services, not of volumes.
const QSet<QString> pseudoFileSystems {
    QStringLiteral("proc"),
    QStringLiteral("sysfs"),
    QStringLiteral("cgroup"),
    QStringLiteral("cgroup2"),
    QStringLiteral("devpts"),
    QStringLiteral("devtmpfs"),
    QStringLiteral("mqueue"),
    QStringLiteral("debugfs"),
    QStringLiteral("tracefs"),
    QStringLiteral("securityfs"),
    QStringLiteral("pstore"),
    QStringLiteral("bpf"),
    QStringLiteral("configfs"),
    QStringLiteral("fusectl"),
    QStringLiteral("hugetlbfs"),
    QStringLiteral("autofs"),
    QStringLiteral("binfmt_misc"),
    QStringLiteral("efivarfs"),
    QStringLiteral("rpc_pipefs"),
    QStringLiteral("nsfs"),
    QStringLiteral("selinuxfs"),
    QStringLiteral("overlay"),
    QStringLiteral("aufs"),
    QStringLiteral("shiftfs"),
    QStringLiteral("nfsd"),
    QStringLiteral("fuse.gvfsd-fuse"),
    QStringLiteral("fuse.portal"),
    QStringLiteral("fuse.lxcfs"),
};

// Read-only images that package systems mount by the dozen.
const QSet<QString> packageImageFileSystems {
    QStringLiteral("squashfs"),
    QStringLiteral("erofs"),
    QStringLiteral("cramfs"),
    QStringLiteral("fuse.squashfuse"),
    QStringLiteral("fuse.squashfuse_ll"),
};

const QSet<QString> remoteFileSystems {
    QStringLiteral("nfs"),
    QStringLiteral("nfs4"),
    QStringLiteral("cifs"),
    QStringLiteral("smb3"),
    QStringLiteral("smbfs"),
    QStringLiteral("fuse.sshfs"),
    QStringLiteral("sshfs"),
    QStringLiteral("davfs"),
    QStringLiteral("fuse.davfs2"),
    QStringLiteral("fuse.rclone"),
    QStringLiteral("afs"),
    QStringLiteral("ceph"),
    QStringLiteral("fuse.glusterfs"),
    QStringLiteral("9p"),
};

const QSet<QString> opticalFileSystems { QStringLiteral("iso9660"), QStringLiteral("udf") };

// Pooled file systems whose source is no device path.
const QSet<QString> poolFileSystems { QStringLiteral("zfs"), QStringLiteral("bcachefs") };

// A tmpfs at one of these places belongs to the system, not to a user who wanted a RAM disk.
bool isSystemPlace(const QString &mountPoint)
{
    static const QStringList places { QStringLiteral("/dev"), QStringLiteral("/run"),
        QStringLiteral("/sys"), QStringLiteral("/proc"), QStringLiteral("/tmp"),
        QStringLiteral("/var"), QStringLiteral("/etc"), QStringLiteral("/boot"),
        QStringLiteral("/usr"), QStringLiteral("/snap") };
    return std::any_of(places.begin(), places.end(),
        [&](const QString &place) { return isUnderMountPoint(mountPoint, place); });
}

// The firmware's and the boot loader's partitions are no drives a user works on.
bool isBootPlace(const QString &mountPoint)
{
    return isUnderMountPoint(mountPoint, QStringLiteral("/boot"))
        || isUnderMountPoint(mountPoint, QStringLiteral("/efi"));
}

bool isMediaPlace(const QString &mountPoint)
{
    return mountPoint.startsWith(QLatin1String("/media/"))
        || mountPoint.startsWith(QLatin1String("/run/media/"));
}

bool hasOption(const QString &options, const QString &option)
{
    return options.split(QLatin1Char(',')).contains(option);
}

// The type of a mount that is not "/", or nothing when it is no volume.
std::optional<TDriveType> classify(const MountEntry &entry, const DeviceFacts &facts)
{
    const QString &fs = entry.fileSystem;
    if (pseudoFileSystems.contains(fs) || packageImageFileSystems.contains(fs))
        return std::nullopt;
    if (remoteFileSystems.contains(fs))
        return dtRemote;
    if (opticalFileSystems.contains(fs))
        return dtCDROM;
    if (fs == QLatin1String("tmpfs") || fs == QLatin1String("ramfs")) {
        if (isSystemPlace(entry.mountPoint))
            return std::nullopt;
        return dtRAM;
    }
    if (poolFileSystems.contains(fs))
        return dtFixed;
    if (!entry.source.startsWith(QLatin1String("/dev/")) || isBootPlace(entry.mountPoint))
        return std::nullopt;
    const bool readOnly = hasOption(entry.options, QStringLiteral("ro"))
        || hasOption(entry.superOptions, QStringLiteral("ro"));
    if (entry.source.startsWith(QLatin1String("/dev/loop")) && readOnly)
        return std::nullopt;
    if (isMediaPlace(entry.mountPoint) || (facts.isRemovable && facts.isRemovable(entry.source)))
        return dtFloppy;
    return dtFixed;
}

bool shorterMountPoint(const QString &a, const QString &b)
{
    return a.size() != b.size() ? a.size() < b.size() : a < b;
}

} // namespace

QString unescapeMountField(const QByteArray &field)
{
    QByteArray bytes;
    bytes.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        const auto isOctal = [&](qsizetype at) {
            return at < field.size() && field[at] >= '0' && field[at] <= '7';
        };
        if (field[i] == '\\' && isOctal(i + 1) && isOctal(i + 2) && isOctal(i + 3)) {
            bytes.append(
                char((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0')));
            i += 3;
        } else {
            bytes.append(field[i]);
        }
    }
    return QString::fromUtf8(bytes);
}

QList<MountEntry> parseMountInfo(const QByteArray &text)
{
    QList<MountEntry> entries;
    for (const QByteArray &line : text.split('\n')) {
        const QList<QByteArray> fields = line.trimmed().split(' ');
        const qsizetype separator = fields.indexOf(QByteArray("-"), 6);
        // Six fixed fields before the optional ones, three after the separator.
        if (separator < 6 || fields.size() < separator + 3)
            continue;
        MountEntry entry;
        entry.device = QString::fromLatin1(fields[2]);
        entry.root = unescapeMountField(fields[3]);
        entry.mountPoint = unescapeMountField(fields[4]);
        entry.options = QString::fromLatin1(fields[5]);
        entry.fileSystem = unescapeMountField(fields[separator + 1]);
        entry.source = unescapeMountField(fields[separator + 2]);
        if (fields.size() > separator + 3)
            entry.superOptions = QString::fromLatin1(fields[separator + 3]);
        if (!entry.mountPoint.startsWith(QLatin1Char('/')))
            continue;
        entries.append(entry);
    }
    return entries;
}

QList<VolumeEntry> realVolumes(const QList<MountEntry> &mounts, const DeviceFacts &facts)
{
    // A later mount at the same point hides the earlier one.
    QHash<QString, MountEntry> visible;
    QStringList order;
    for (const MountEntry &entry : mounts) {
        if (!visible.contains(entry.mountPoint))
            order.append(entry.mountPoint);
        visible.insert(entry.mountPoint, entry);
    }

    const auto volumeOf = [&](const MountEntry &entry, TDriveType type) {
        return VolumeEntry { entry.mountPoint, entry.source, entry.fileSystem,
            facts.labels.value(entry.source), type };
    };

    QList<VolumeEntry> result;
    QSet<QString> devices;
    if (visible.contains(QStringLiteral("/"))) {
        const MountEntry &root = visible[QStringLiteral("/")];
        result.append(volumeOf(root, classify(root, facts).value_or(dtFixed)));
        devices.insert(root.device);
    }

    // Each device once, at its shortest mount point; a bind of part of a file system is none.
    std::sort(order.begin(), order.end(), shorterMountPoint);
    QList<VolumeEntry> others;
    for (const QString &mountPoint : order) {
        const MountEntry &entry = visible[mountPoint];
        if (mountPoint == QLatin1String("/") || entry.root != QLatin1String("/")
            || devices.contains(entry.device))
            continue;
        const std::optional<TDriveType> type = classify(entry, facts);
        if (!type)
            continue;
        devices.insert(entry.device);
        others.append(volumeOf(entry, *type));
    }
    std::sort(others.begin(), others.end(),
        [](const VolumeEntry &a, const VolumeEntry &b) { return a.mountPoint < b.mountPoint; });
    result.append(others);
    return result;
}

bool isUnderMountPoint(const QString &path, const QString &mountPoint)
{
    if (mountPoint == QLatin1String("/"))
        return path.startsWith(QLatin1Char('/'));
    return path == mountPoint || path.startsWith(mountPoint + QLatin1Char('/'));
}

QString unescapeLabel(const QString &name)
{
    const auto isHex = [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; };
    QByteArray bytes;
    const QByteArray raw = name.toUtf8();
    for (qsizetype i = 0; i < raw.size(); ++i) {
        // Exactly two hex digits: "\x-1" or "\x 5" are no escapes, whatever toInt would say.
        if (raw[i] == '\\' && i + 3 < raw.size() && raw[i + 1] == 'x' && isHex(raw[i + 2])
            && isHex(raw[i + 3])) {
            bytes.append(char(raw.mid(i + 2, 2).toInt(nullptr, 16)));
            i += 3;
            continue;
        }
        bytes.append(raw[i]);
    }
    return QString::fromUtf8(bytes);
}
