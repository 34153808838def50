#include "platform/SystemVolumeSource.h"

#include <fcntl.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>

#include "platform/MountTable.h"

namespace {

const char mountInfoPath[] = "/proc/self/mountinfo";

QByteArray readSmallFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

} // namespace

SystemVolumeSource::SystemVolumeSource(QObject *parent) : VolumeSource(parent)
{
    watched = ::open(mountInfoPath, O_RDONLY | O_CLOEXEC);
    if (watched < 0)
        return;
    notifier = new QSocketNotifier(watched, QSocketNotifier::Exception, this);
    connect(notifier, &QSocketNotifier::activated, this, &VolumeSource::mountTableChanged);
}

SystemVolumeSource::~SystemVolumeSource()
{
    delete notifier;
    if (watched >= 0)
        ::close(watched);
}

QByteArray SystemVolumeSource::mountTable() const
{
    return readSmallFile(QString::fromLatin1(mountInfoPath));
}

QHash<QString, QString> SystemVolumeSource::labels() const
{
    // The links live in /dev, so reading them never touches a mounted volume.
    QHash<QString, QString> byDevice;
    const QDir folder(QStringLiteral("/dev/disk/by-label"));
    for (const QFileInfo &link :
        folder.entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot))
        byDevice.insert(link.canonicalFilePath(), unescapeLabel(link.fileName()));
    // Mounts name mapped devices by their /dev/mapper links.
    const QDir mapper(QStringLiteral("/dev/mapper"));
    for (const QFileInfo &link :
        mapper.entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot)) {
        const QString label = byDevice.value(link.canonicalFilePath());
        if (!label.isEmpty())
            byDevice.insert(link.absoluteFilePath(), label);
    }
    return byDevice;
}

bool SystemVolumeSource::isRemovable(const QString &devicePath) const
{
    const QString name = QFileInfo(devicePath).canonicalFilePath().section(QLatin1Char('/'), -1);
    if (name.isEmpty())
        return false;
    // sysfs: a partition's folder sits inside its disk's; USB disks count as removable too.
    const QString device
        = QFileInfo(QStringLiteral("/sys/class/block/") + name).canonicalFilePath();
    if (device.isEmpty())
        return false;
    if (device.contains(QLatin1String("/usb")))
        return true;
    for (const QString &folder : { device, QFileInfo(device).path() }) {
        if (readSmallFile(folder + QStringLiteral("/removable")).trimmed() == "1")
            return true;
    }
    return false;
}
