#include "FakeVolumeSource.h"

FakeVolumeSource::FakeVolumeSource(
    QByteArray table, QHash<QString, QString> labels, QStringList removable)
    : table(std::move(table)), labelTable(std::move(labels)), removable(std::move(removable))
{
}

void FakeVolumeSource::setMountTable(const QByteArray &newTable)
{
    table = newTable;
    emit mountTableChanged();
}

QByteArray mountLine(const char *device, const char *mountPoint, const char *fileSystem,
    const char *source, const char *options, const char *root)
{
    static int id = 100;
    ++id;
    return QByteArray::number(id) + " 1 " + device + ' ' + root + ' ' + mountPoint + ' ' + options
        + " shared:1 - " + fileSystem + ' ' + source + " rw\n";
}
