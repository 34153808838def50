#include "shell/Volumes.h"

#include <algorithm>

#include <QIcon>

#include "platform/VolumeSource.h"
#include "shell/VolumeIcons.h"

namespace {

const QChar rootLetter = QLatin1Char('C');

QString identity(const QString &mountPoint, const QString &source)
{
    return mountPoint + QLatin1Char('\n') + source;
}

QString nameOf(const VolumeEntry &entry)
{
    if (!entry.label.isEmpty())
        return entry.label;
    if (entry.mountPoint == QLatin1String("/"))
        return QStringLiteral("Root");
    return entry.mountPoint.section(QLatin1Char('/'), -1, -1, QString::SectionSkipEmpty);
}

} // namespace

Volumes::Volumes(VolumeSource &source, QObject *parent) : QObject(parent), source(source)
{
    assign(true);
    connect(&source, &VolumeSource::mountTableChanged, this, &Volumes::refresh);
}

Volumes::~Volumes() = default;

QList<Volume> Volumes::volumes() const
{
    QList<Volume> list;
    for (QChar letter : letters())
        list.append(byLetter.value(letter));
    return list;
}

std::optional<Volume> Volumes::volume(QChar letter) const
{
    const auto found = byLetter.constFind(letter.toUpper());
    if (found == byLetter.cend())
        return std::nullopt;
    return *found;
}

QString Volumes::letters() const
{
    QString used;
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        if (byLetter.contains(QLatin1Char(letter)))
            used.append(QLatin1Char(letter));
    }
    return used;
}

TDriveType Volumes::driveType(QChar letter) const
{
    const std::optional<Volume> found = volume(letter);
    return found ? found->type : dtNoRootDrive;
}

QString Volumes::displayName(QChar letter) const
{
    const std::optional<Volume> found = volume(letter);
    return found ? found->displayName : QString();
}

QString Volumes::rootPath(QChar letter) const
{
    const std::optional<Volume> found = volume(letter);
    return found ? found->rootPath : QString();
}

QString Volumes::remoteName(QChar letter) const
{
    const std::optional<Volume> found = volume(letter);
    return found && found->type == dtRemote ? found->source : QString();
}

QIcon Volumes::icon(QChar letter) const
{
    const std::optional<Volume> found = volume(letter);
    return found ? volumeIcon(found->type) : QIcon();
}

QChar Volumes::letterOf(const QString &path) const
{
    QChar best;
    qsizetype bestLength = -1;
    for (auto it = byLetter.cbegin(); it != byLetter.cend(); ++it) {
        const QString &root = it->rootPath;
        if (isUnderMountPoint(path, root) && root.size() > bestLength) {
            best = it.key();
            bestLength = root.size();
        }
    }
    return best;
}

void Volumes::refresh()
{
    assign(false);
}

void Volumes::assign(bool atStart)
{
    const DeviceFacts facts { source.labels(),
        [this](const QString &device) { return source.isRemovable(device); } };
    const QList<VolumeEntry> entries = realVolumes(parseMountInfo(source.mountTable()), facts);

    QHash<QString, VolumeEntry> present;
    for (const VolumeEntry &entry : entries)
        present.insert(identity(entry.mountPoint, entry.source), entry);

    QString gone;
    QHash<QString, QChar> kept;
    for (char c = 'A'; c <= 'Z'; ++c) {
        const QChar letter = QLatin1Char(c);
        const auto found = byLetter.constFind(letter);
        if (found == byLetter.cend())
            continue;
        const QString key = identity(found->rootPath, found->source);
        if (present.contains(key)) {
            kept.insert(key, letter);
        } else {
            gone.append(letter);
            byLetter.remove(letter);
        }
    }

    const auto firstFree = [this](QChar wanted) {
        if (!wanted.isNull() && !byLetter.contains(wanted))
            return wanted;
        for (char c = 'D'; c <= 'Z'; ++c) {
            if (!byLetter.contains(QLatin1Char(c)))
                return QChar(QLatin1Char(c));
        }
        return QChar();
    };

    QString arrived;
    for (const VolumeEntry &entry : entries) {
        const QString key = identity(entry.mountPoint, entry.source);
        if (kept.contains(key))
            continue;
        const bool isRoot = entry.mountPoint == QLatin1String("/");
        if (isRoot && byLetter.contains(rootLetter))
            continue;
        const QChar letter = isRoot ? rootLetter : firstFree(remembered.value(key));
        if (letter.isNull())
            continue; // past Z: no letter until one frees
        Volume volume { letter, entry.mountPoint, nameOf(entry), QString(), entry.type,
            entry.source, entry.fileSystem };
        volume.displayName = QStringLiteral("%1 (%2:)").arg(volume.name, QString(letter));
        byLetter.insert(letter, volume);
        remembered.insert(key, letter);
        arrived.append(letter);
    }
    std::sort(arrived.begin(), arrived.end());

    if (atStart)
        return;
    if (!gone.isEmpty())
        emit lettersGone(gone);
    if (!arrived.isEmpty())
        emit lettersArrived(arrived);
}
