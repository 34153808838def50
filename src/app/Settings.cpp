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
    // One replace of the file for all values, so a failure leaves the old settings whole.
    file.write({ { QStringLiteral("Location"), QStringLiteral("Save"), settings.save },
        { QStringLiteral("General"), QStringLiteral("Selection mode"),
            QString::number(settings.selectionmode ? 1 : 0) },
        { QStringLiteral("Edit"), QStringLiteral("Red"), QString::number(qRed(settings.markcol)) },
        { QStringLiteral("Edit"), QStringLiteral("Green"),
            QString::number(qGreen(settings.markcol)) },
        { QStringLiteral("Edit"), QStringLiteral("Blue"),
            QString::number(qBlue(settings.markcol)) } });
}
