#pragma once

// Stable interface: the folder tree and the drive table code against it. Keep these names.

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QString>

// Where the volume layer reads this machine's mounted file systems from. Nothing here may touch
// a mounted file system: a dead network mount or an empty card reader must never block.
// SystemVolumeSource reads /proc/self/mountinfo; tests feed mount tables as text.
class VolumeSource : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    // The mount table in the format of /proc/self/mountinfo, octal escapes (\040) included.
    virtual QByteArray mountTable() const = 0;
    // Volume labels by device path ("/dev/sdb1" -> "MY STICK").
    virtual QHash<QString, QString> labels() const = 0;
    // True when the block device (a partition's disk counts) holds removable media.
    virtual bool isRemovable(const QString &devicePath) const = 0;

signals:
    // The mount table changed: something was mounted or unmounted. Emitted on the thread the
    // source lives in (the user-interface thread).
    void mountTableChanged();
};
