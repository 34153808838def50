#include "platform/DataFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

#include "platform/AppInfo.h"

namespace {

QString nativeFolder(const QString &path)
{
    const QString folder = QDir::toNativeSeparators(QDir::cleanPath(path));
    return folder.endsWith(QDir::separator()) ? folder : folder + QDir::separator();
}

// Relative values are ignored, as the XDG base directory rules ask. QStandardPaths would read the
// environment itself; taking it as input lets callers and tests name the folders.
QString configFolder(const QString &configHome, const QString &homeFolder)
{
    if (!configHome.isEmpty() && QDir::isAbsolutePath(configHome))
        return configHome;
    if (!homeFolder.isEmpty() && QDir::isAbsolutePath(homeFolder))
        return QDir(homeFolder).filePath(QStringLiteral(".config"));
    return {};
}

} // namespace

bool canCreateFilesIn(const QString &folder)
{
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".quillet-probe-XXXXXX")));
    return probe.open();
}

QString chooseDataFolder(const QString &executableFolder, const QString &configHome,
    const QString &homeFolder, const FolderProbe &canWrite)
{
    // A program under /usr belongs to the system's package manager, even where root could
    // write beside it: its settings never go there, and removing the package leaves the user's.
    const bool system = QDir::cleanPath(executableFolder).startsWith(QLatin1String("/usr/"));
    if (!system && canWrite(executableFolder))
        return nativeFolder(executableFolder);
    const QString config = configFolder(configHome, homeFolder);
    if (config.isEmpty())
        return nativeFolder(executableFolder);
    const QString folder = QDir(config).filePath(QStringLiteral("quillet"));
    // Should this fail, saving the settings at close names the file that could not be written.
    QDir().mkpath(folder);
    return nativeFolder(folder);
}

QString dataFolder()
{
    return chooseDataFolder(
        executableFolder(), qEnvironmentVariable("XDG_CONFIG_HOME"), QDir::homePath());
}

QString defaultSaveFolder(const QString &dataFolder, const QString &executableFolder,
    const QString &picturesFolder, const QString &homeFolder)
{
    const bool installed = nativeFolder(dataFolder) != nativeFolder(executableFolder)
        || QFileInfo::exists(
            QDir(executableFolder).filePath(QStringLiteral("installed-files.txt")));
    if (!installed)
        return nativeFolder(dataFolder);
    return nativeFolder(QFileInfo(picturesFolder).isDir() ? picturesFolder : homeFolder);
}
