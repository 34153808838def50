#include "platform/AppInfo.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QString executableFolder()
{
    const QString folder = QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
    return folder.endsWith(QDir::separator()) ? folder : folder + QDir::separator();
}

QString applicationTitle()
{
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}
