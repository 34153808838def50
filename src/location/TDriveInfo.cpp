#include "location/TDriveInfo.h"

#include "platform/Failure.h"
#include "shell/Volumes.h"

namespace {

// 0 to 25 for 'A' to 'Z', taken as passed (a lower-case letter is invalid).
int letterIndex(QChar letter)
{
    if (letter < QLatin1Char('A') || letter > QLatin1Char('Z'))
        throw Failure(QStringLiteral("%1 is a invalid drive letter.").arg(letter));
    return letter.unicode() - 'A';
}

QChar letterFor(int index)
{
    return QChar(char16_t(u'A' + index));
}

} // namespace

TDriveInfo::TDriveInfo(Volumes &volumes, QObject *parent) : QObject(parent), volumes(volumes)
{
    images.append(QIcon());
    for (int index = 0; index < 26; ++index)
        readType(letterFor(index), records[index]);
    connect(&volumes, &Volumes::lettersArrived, this, &TDriveInfo::forget);
    connect(&volumes, &Volumes::lettersGone, this, &TDriveInfo::forget);
}

TDriveInfo::~TDriveInfo() = default;

TDriveInfoRec &TDriveInfo::record(QChar letter)
{
    return records[letterIndex(letter)];
}

const TDriveInfoRec &TDriveInfo::record(QChar letter) const
{
    return records[letterIndex(letter)];
}

TDriveInfoRec TDriveInfo::GetDriveRecord(QChar letter) const
{
    return record(letter);
}

QString TDriveInfo::GetPrettyName(QChar letter)
{
    TDriveInfoRec &rec = record(letter);
    if (!rec.Valid)
        return QString(letter) + QLatin1Char(':');
    if (rec.PrettyName.isEmpty())
        ReadDriveInfo(letter, diNames);
    return rec.PrettyName;
}

QString TDriveInfo::GetDisplayName(QChar letter)
{
    TDriveInfoRec &rec = record(letter);
    if (!rec.Valid)
        return QString(letter) + QLatin1Char(':');
    if (rec.DisplayName.isEmpty())
        ReadDriveInfo(letter, diNames);
    return rec.DisplayName;
}

QString TDriveInfo::GetLongPrettyName(QChar letter)
{
    TDriveInfoRec &rec = record(letter);
    if (!rec.Valid)
        return QString(letter) + QLatin1Char(':');
    if (rec.PrettyName.isEmpty())
        ReadDriveInfo(letter, diNames);
    return rec.LongPrettyName;
}

int TDriveInfo::GetImageIndex(QChar letter)
{
    TDriveInfoRec &rec = record(letter);
    if (!rec.Valid)
        return 0;
    if (rec.ImageIndex == 0)
        ReadDriveInfo(letter, diIcon);
    return rec.ImageIndex;
}

bool TDriveInfo::ReadDriveInfo(QChar letter, int parts)
{
    const QChar upper = letter.toUpper();
    TDriveInfoRec &rec = record(upper);
    rec.InfoRead = true;
    readType(upper, rec);
    if (!rec.Valid) {
        rec.Size = 0;
        rec.DriveReady = false;
        rec.DisplayName.clear();
        rec.PrettyName.clear();
        rec.LongPrettyName.clear();
        rec.DriveSerial = 0;
        return false;
    }
    if (parts & diSizeAndVolume)
        readSizeAndVolume(upper, rec);
    if (parts & diNames)
        readNames(upper, rec);
    if ((parts & diIcon) && rec.ImageIndex == 0)
        readIcon(upper, rec);
    return rec.Valid && rec.DriveReady;
}

QIcon TDriveInfo::Image(int index) const
{
    return index > 0 && index < images.size() ? images[index] : QIcon();
}

void TDriveInfo::readType(QChar letter, TDriveInfoRec &rec)
{
    rec.DriveType = volumes.driveType(letter);
    rec.Valid = rec.DriveType >= dtFloppy && rec.DriveType <= dtRAM;
}

void TDriveInfo::readNames(QChar letter, TDriveInfoRec &rec)
{
    // Built from the volume's own parts, never parsed back out of its display name, so that a
    // label holding ")" or " (" shows as it is.
    const std::optional<Volume> volume = volumes.volume(letter);
    const QString name = volume ? volume->name : QString();
    rec.DisplayName = volume ? volume->displayName : QString();
    if (rec.DisplayName.isEmpty())
        rec.DisplayName = volumes.rootPath(letter);
    const QString prefix = QString(letter) + QStringLiteral(": ");
    if (rec.DriveType == dtRemote) {
        // The first word of the display name, which starts with the volume's name.
        rec.PrettyName = prefix + name.section(QLatin1Char(' '), 0, 0);
        rec.LongPrettyName = prefix + volumes.remoteName(letter);
    } else {
        rec.PrettyName = prefix + name;
        rec.LongPrettyName = rec.PrettyName;
    }
}

void TDriveInfo::readIcon(QChar letter, TDriveInfoRec &rec)
{
    const QIcon icon = volumes.icon(letter);
    if (icon.isNull())
        return;
    // One image per type: the icon depends on nothing else.
    const auto found = imageByType.constFind(rec.DriveType);
    if (found != imageByType.cend()) {
        rec.ImageIndex = *found;
        return;
    }
    images.append(icon);
    rec.ImageIndex = int(images.size() - 1);
    imageByType.insert(rec.DriveType, rec.ImageIndex);
}

// Size and serial number would need the mounted file system itself, which the table never
// touches; a mounted volume has its medium, and its file system is in the mount table.
void TDriveInfo::readSizeAndVolume(QChar letter, TDriveInfoRec &rec)
{
    const std::optional<Volume> volume = volumes.volume(letter);
    rec.DriveReady = volume.has_value();
    rec.FileSystemName = volume ? volume->fileSystem : QString();
}

void TDriveInfo::forget(const QString &letters)
{
    for (QChar letter : letters) {
        TDriveInfoRec &rec = record(letter);
        rec = TDriveInfoRec {};
        readType(letter, rec);
    }
    emit drivesChanged();
}
