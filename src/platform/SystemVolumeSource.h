#pragma once

#include "platform/VolumeSource.h"

class QSocketNotifier;

// This machine's mount table (/proc/self/mountinfo), labels (/dev/disk/by-label) and removable
// flags (sysfs). The kernel marks the open mount table with POLLPRI when it changes; a
// notifier on it tells the user-interface thread, so there is neither a thread nor polling.
class SystemVolumeSource : public VolumeSource {
    Q_OBJECT

public:
    explicit SystemVolumeSource(QObject *parent = nullptr);
    ~SystemVolumeSource() override;

    QByteArray mountTable() const override;
    QHash<QString, QString> labels() const override;
    bool isRemovable(const QString &devicePath) const override;

private:
    int watched = -1;
    QSocketNotifier *notifier = nullptr;
};
