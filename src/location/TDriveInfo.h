#pragma once

// Stable interface: the drive selector and the folder tree share one TDriveInfo.

#include <array>

#include <QHash>
#include <QIcon>
#include <QList>
#include <QObject>
#include <QString>

#include "platform/DriveType.h"

class Volumes;

// One drive letter's record; names, icon and size are read lazily.
struct TDriveInfoRec {
    bool InfoRead = false;
    bool Valid = false; // DriveType is dtFloppy to dtRAM
    bool DriveReady = false;
    int DriveType = dtUnknown; // a TDriveType
    QString DisplayName;
    QString PrettyName;
    QString LongPrettyName;
    quint32 DriveSerial = 0;
    qint64 Size = -1;
    int ImageIndex = 0; // index into TDriveInfo's image list, 0 when not read
    QString FileSystemName;
    quint32 FileSystemFlags = 0;
};

// Parts of a drive read (ReadDriveInfo); 0 reads the type alone.
enum TDriveInfoPart { diIcon = 1, diSizeAndVolume = 2, diNames = 4 };

// The drive table: a record for each letter A to Z over the machine's volumes. The application
// makes one and hands it to every drive selector and folder tree, so that names and icons are
// read once per run. A letter whose volume arrives or goes is read again (its type, and its
// names and icon when next asked), so a letter never shows the names of a volume gone.
// Every operation throws Failure "%s is a invalid drive letter." for a letter outside A to Z.
class TDriveInfo : public QObject {
    Q_OBJECT

public:
    explicit TDriveInfo(Volumes &volumes, QObject *parent = nullptr);
    ~TDriveInfo() override;

    Volumes &volumeLayer() const { return volumes; }

    TDriveInfoRec GetDriveRecord(QChar letter) const;
    QString GetPrettyName(QChar letter);
    QString GetDisplayName(QChar letter);
    QString GetLongPrettyName(QChar letter);
    int GetImageIndex(QChar letter);
    // Reads `parts` (TDriveInfoPart bits) of `letter`, upper-cased first; true when the drive
    // is Valid and DriveReady.
    bool ReadDriveInfo(QChar letter, int parts);

    // The small icons that ImageIndex points into; index 0 is an empty icon.
    QIcon Image(int index) const;

signals:
    // Volumes were mounted or unmounted: the records of their letters were read again.
    void drivesChanged();

private:
    TDriveInfoRec &record(QChar letter);
    const TDriveInfoRec &record(QChar letter) const;
    void readType(QChar letter, TDriveInfoRec &rec);
    void readNames(QChar letter, TDriveInfoRec &rec);
    void readIcon(QChar letter, TDriveInfoRec &rec);
    void readSizeAndVolume(QChar letter, TDriveInfoRec &rec);
    void forget(const QString &letters);

    Volumes &volumes;
    std::array<TDriveInfoRec, 26> records;
    QList<QIcon> images;
    QHash<int, int> imageByType;
};
