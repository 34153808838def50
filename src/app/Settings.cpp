#include "app/Settings.h"

#include <QDir>

#include "platform/ProfileFile.h"

QString settingsFilePath(const QString &executablePath)
{
    qsizetype nameStart = 0;
    for (qsizetype i = executablePath.size(); i-- > 0;) {
        if (executablePath[i] == u'/' || executablePath[i] == QDir::separator()) {
            nameStart = i + 1;
            break;
        }
    }
    const qsizetype dot = executablePath.lastIndexOf(u'.');
    // A name that only begins with a dot is a hidden file here, not an extension.
    if (dot > nameStart)
        return executablePath.left(dot) + QStringLiteral(".ini");
    return executablePath + QStringLiteral(".ini");
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
    file.writeString(QStringLiteral("Location"), QStringLiteral("Save"), settings.save);
    file.writeBool(
        QStringLiteral("General"), QStringLiteral("Selection mode"), settings.selectionmode);
    file.writeInteger(QStringLiteral("Edit"), QStringLiteral("Red"), qRed(settings.markcol));
    file.writeInteger(QStringLiteral("Edit"), QStringLiteral("Green"), qGreen(settings.markcol));
    file.writeInteger(QStringLiteral("Edit"), QStringLiteral("Blue"), qBlue(settings.markcol));
}
