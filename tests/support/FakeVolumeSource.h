#pragma once

#include <QStringList>

#include "platform/VolumeSource.h"

// A mount table given as text, for tests of the volume layer and the drive selector.
class FakeVolumeSource : public VolumeSource {
    Q_OBJECT

public:
    explicit FakeVolumeSource(
        QByteArray table = {}, QHash<QString, QString> labels = {}, QStringList removable = {});

    QByteArray mountTable() const override { return table; }
    QHash<QString, QString> labels() const override { return labelTable; }
    bool isRemovable(const QString &devicePath) const override
    {
        return removable.contains(devicePath);
    }

    // Replaces the table and signals the change, as the kernel does after a mount.
    void setMountTable(const QByteArray &newTable);

    QByteArray table;
    QHash<QString, QString> labelTable;
    QStringList removable;
};

// One line of a mountinfo table; `mountPoint` and `source` are written with their escapes.
QByteArray mountLine(const char *device, const char *mountPoint, const char *fileSystem,
    const char *source, const char *options = "rw", const char *root = "/");
