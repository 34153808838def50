#pragma once

// Stable interface: the folder tree and the drive table code against it. Keep these names.

#include <optional>

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>

#include "platform/MountTable.h"

class QIcon;
class VolumeSource;

// A mounted volume as the drive table sees it.
struct Volume {
    QChar letter; // 'C' to 'Z'
    QString rootPath; // its mount point, "/" for C:
    QString name; // its label, else the mount point's last part, "Root" for "/"
    QString displayName; // "<name> (X:)"
    TDriveType type = dtFixed;
    QString source; // the mounted device or share ("/dev/sdb1", "server:/export")
    QString fileSystem; // "ext4", "nfs4", ...
};

// The machine's real volumes under drive letters. "/" is always C:, the others take D: onwards
// in mount-point order at start; a letter stays with its volume for the whole run, a volume
// mounted later takes the first free letter (its own earlier letter when that is still free),
// and past Z a volume gets none until a letter frees. Follows the source's mount-table changes
// and tells which letters arrived or went. Reads only the mount table, never the volumes.
class Volumes : public QObject {
    Q_OBJECT

public:
    explicit Volumes(VolumeSource &source, QObject *parent = nullptr);
    ~Volumes() override;

    // The volumes with a letter, in letter order.
    QList<Volume> volumes() const;
    // The volume under `letter` (either case), if any.
    std::optional<Volume> volume(QChar letter) const;
    // The letters in use, in order ("CDE").
    QString letters() const;

    // The type of the volume under `letter`; dtNoRootDrive when no volume has that letter.
    TDriveType driveType(QChar letter) const;
    // "<name> (X:)", empty when no volume has that letter.
    QString displayName(QChar letter) const;
    // The mount point of `letter`, empty when none.
    QString rootPath(QChar letter) const;
    // What a network volume is connected to ("//server/share", "server:/export"); empty for a
    // local volume or a free letter.
    QString remoteName(QChar letter) const;
    // The icon of the volume's type; a null icon for a free letter.
    QIcon icon(QChar letter) const;
    // The letter of the volume whose mount point is the longest leading part of the absolute
    // path `path`; a null QChar when none has a letter.
    QChar letterOf(const QString &path) const;

    // Reads the mount table again and sends the notices. Called on every change signal of
    // the source; public so that callers may force a read.
    void refresh();

signals:
    // Letters whose volumes were mounted since the last read, in order ("E").
    void lettersArrived(const QString &letters);
    // Letters whose volumes went away since the last read.
    void lettersGone(const QString &letters);

private:
    void assign(bool atStart);

    VolumeSource &source;
    QHash<QChar, Volume> byLetter;
    // Letters given earlier, by volume identity, so that a returning volume gets its own back.
    QHash<QString, QChar> remembered;
};
