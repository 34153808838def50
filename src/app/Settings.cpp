#include "app/Settings.h"

#include <QDir>

#include "files/pathhelpers.h"
#include "platform/ProfileFile.h"

QString settingsFilePath(const QString &executablePath)
{
    const QString name = fnamenoext(executablePath);
    const qsizetype nameStart = executablePath.lastIndexOf(QDir::separator()) + 1;
    return executablePath.left(nameStart) + name + QStringLiteral(".ini");
}

Settings readSettings(const ProfileFile &file)
{
    Settings settings;
    settings.save = file.readString(QStringLiteral("Location"), QStringLiteral("Save"), QString());
    settings.keepStoredSave = !file.holdsText(QStringLiteral("Location"), QStringLiteral("Save"));
    settings.selectionmode
        = file.readBool(QStringLiteral("General"), QStringLiteral("Selection mode"), false);
    const int red = file.readInteger(QStringLiteral("Edit"), QStringLiteral("Red"), 255);
    const int green = file.readInteger(QStringLiteral("Edit"), QStringLiteral("Green"), 0);
    const int blue = file.readInteger(QStringLiteral("Edit"), QStringLiteral("Blue"), 0);
    settings.markcol = qRgb(red & 0xFF, green & 0xFF, blue & 0xFF);
    return settings;
}

void writeSettings(ProfileFile &file, const Settings &settings)
{
    const QString edit = QStringLiteral("Edit");
    QList<ProfileFile::Entry> entries {
        { QStringLiteral("General"), QStringLiteral("Selection mode"),
            QString::number(settings.selectionmode ? 1 : 0) },
        { edit, QStringLiteral("Red"), QString::number(qRed(settings.markcol)) },
        { edit, QStringLiteral("Green"), QString::number(qGreen(settings.markcol)) },
        { edit, QStringLiteral("Blue"), QString::number(qBlue(settings.markcol)) },
    };
    if (!settings.keepStoredSave)
        entries.prepend({ QStringLiteral("Location"), QStringLiteral("Save"), settings.save });
    // One replace of the file for all values, so a failure leaves the old settings whole.
    file.write(entries);
}
