// Feeds every input to the mount-table reader as the text of /proc/self/mountinfo, then picks the
// real volumes out of what it read. Beyond crashes, it checks what the drive table relies on:
// the volumes come in mount-point order with "/" first, each device once, each one a mount the
// table shows; and every field the kernel escapes reads back as the bytes it stood for.

#include <cstddef>
#include <cstdint>

#include <QByteArray>
#include <QHash>
#include <QSet>

#include "FuzzSupport.h"
#include "platform/MountTable.h"

namespace {

// The kernel writes a blank, a tab, a line end and a backslash inside a field as "\ooo".
QByteArray escapedAsTheKernelDoes(QByteArrayView bytes)
{
    QByteArray field;
    for (const char c : bytes) {
        if (c == ' ' || c == '\t' || c == '\n' || c == '\\') {
            const auto code = uchar(c);
            field += '\\';
            field += char('0' + (code >> 6));
            field += char('0' + ((code >> 3) & 7));
            field += char('0' + (code & 7));
        } else {
            field += c;
        }
    }
    return field;
}

void checkVolumes(
    const QList<MountEntry> &mounts, const QList<VolumeEntry> &volumes, const DeviceFacts &facts)
{
    // A later mount at the same point hides the earlier one.
    QHash<QString, MountEntry> visible;
    for (const MountEntry &mount : mounts) {
        require(mount.mountPoint.startsWith(u'/'), "every mount point read is absolute");
        visible.insert(mount.mountPoint, mount);
    }
    require(visible.contains(QStringLiteral("/"))
            == (!volumes.isEmpty() && volumes.first().mountPoint == u"/"),
        "the root is the first volume exactly when it is mounted");

    QSet<QString> devices;
    for (qsizetype i = 0; i < volumes.size(); ++i) {
        const VolumeEntry &volume = volumes[i];
        // Every mount point starts with "/", so "/" sorts before all others.
        require(i == 0 || volumes[i - 1].mountPoint < volume.mountPoint,
            "volumes are in mount-point order, each point once");
        const auto shown = visible.constFind(volume.mountPoint);
        require(shown != visible.cend() && shown->source == volume.source
                && shown->fileSystem == volume.fileSystem,
            "each volume is a mount the table shows");
        require(!devices.contains(shown->device), "each device is one volume");
        devices.insert(shown->device);
        require(volume.label == facts.labels.value(volume.source), "a volume has its label");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QList<MountEntry> mounts = parseMountInfo(bytes.toByteArray());

    DeviceFacts facts;
    for (const MountEntry &mount : mounts) {
        if (mount.source.startsWith(QLatin1String("/dev/sd")))
            facts.labels.insert(mount.source, mount.source.mid(5).toUpper());
    }
    facts.isRemovable = [](const QString &device) { return device.endsWith(u'1'); };
    checkVolumes(mounts, realVolumes(mounts, facts), facts);

    require(unescapeMountField(escapedAsTheKernelDoes(bytes)) == QString::fromUtf8(bytes),
        "an escaped field reads back as its bytes");
    return 0;
}
