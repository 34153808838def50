#pragma once

// Stable interface: the volume types and the mount-table reader that Volumes builds on.

#include <functional>

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

#include "platform/DriveType.h"

// One line of /proc/self/mountinfo, escapes undone.
struct MountEntry {
    QString device; // "major:minor"
    QString root; // the part of the file system mounted ("/" unless a bind of a subtree)
    QString mountPoint;
    QString options; // per-mount options ("rw,nosuid")
    QString fileSystem;
    QString source;
    QString superOptions;
};

// A mount entry that is a real volume, with its type.
struct VolumeEntry {
    QString mountPoint;
    QString source;
    QString fileSystem;
    QString label; // empty without one
    TDriveType type = dtFixed;
};

// Undoes the octal escapes of a mountinfo field ("\040" is a blank).
QString unescapeMountField(const QByteArray &field);
// The lines of a mountinfo table; damaged lines are skipped.
QList<MountEntry> parseMountInfo(const QByteArray &text);

// What decides the type of a device beyond the mount table: labels and removable devices.
struct DeviceFacts {
    QHash<QString, QString> labels; // by device path
    std::function<bool(const QString &)> isRemovable; // asked with a device path
};

// The real volumes among `mounts`, in mount-point order, "/" first: block-device file systems,
// network mounts, optical media and RAM disks a user mounted. Not pseudo file systems, not
// read-only package images, not bind mounts; each device once, at its shortest mount point.
// A mount hidden by a later one at the same point does not count.
QList<VolumeEntry> realVolumes(const QList<MountEntry> &mounts, const DeviceFacts &facts);

// Whether the absolute path `path` lies on or below the folder `mountPoint`, by whole names.
bool isUnderMountPoint(const QString &path, const QString &mountPoint);

// A volume label as a /dev/disk/by-label link names it: udev writes a blank as "\x20" and a
// slash as "\x2f", and any byte so.
QString unescapeLabel(const QString &name);
