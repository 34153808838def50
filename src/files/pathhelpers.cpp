#include "files/pathhelpers.h"

#include <algorithm>

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

#include "platform/AppInfo.h"
#include "platform/Prompts.h"
#include "platform/TextRules.h"

void plainmsg(Prompts &prompts, const QString &text)
{
    prompts.message(applicationTitle(), text, Prompts::Icon::None);
}

void errormsg(Prompts &prompts, const QString &text)
{
    prompts.message(QStringLiteral("Error"), text, Prompts::Icon::Error);
}

void warnmsg(Prompts &prompts, const QString &text)
{
    prompts.message(QStringLiteral("Warning"), text, Prompts::Icon::Warning);
}

const std::array<QString, 7> DayNames
    = { QStringLiteral("Mon"), QStringLiteral("Tue"), QStringLiteral("Wed"), QStringLiteral("Thu"),
          QStringLiteral("Fri"), QStringLiteral("Sat"), QStringLiteral("Sun") };

const std::array<QString, dtRAM + 1> DriveTypeNames = { QStringLiteral("Unknown"),
    QStringLiteral("Does not exist"), QStringLiteral("Removable"), QStringLiteral("Fixed"),
    QStringLiteral("Network"), QStringLiteral("CD/DVD"), QStringLiteral("RAMDISK") };

namespace {

QChar separator(PathStyle style)
{
    return style == PathStyle::Windows ? u'\\' : u'/';
}

} // namespace

PathStyle nativePathStyle()
{
#ifdef Q_OS_WIN
    return PathStyle::Windows;
#else
    return PathStyle::Unix;
#endif
}

QString reversestring(const QString &s)
{
    QString result;
    result.reserve(s.size());
    for (qsizetype i = s.size(); i > 0;) {
        --i;
        if (i > 0 && s[i].isLowSurrogate() && s[i - 1].isHighSurrogate()) {
            result += s[i - 1];
            result += s[i];
            --i;
        } else {
            result += s[i];
        }
    }
    return result;
}

int lastpos(const QString &sub, const QString &s)
{
    if (sub.isEmpty())
        return 0;
    return int(s.lastIndexOf(sub) + 1);
}

// The last component of `path`: what follows the last separator (and on Windows a drive's colon).
QString namePart(const QString &path, PathStyle style)
{
    qsizetype start = path.lastIndexOf(separator(style)) + 1;
    if (style == PathStyle::Windows)
        start = std::max(start, path.lastIndexOf(u':') + 1);
    return path.mid(start);
}

QString fnamenoext(const QString &path, PathStyle style)
{
    const QString name = namePart(path, style);
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? name : name.left(dot);
}

QString fileExtension(const QString &path, PathStyle style)
{
    const QString name = namePart(path, style);
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? QString() : lowerAZ(name.mid(dot));
}

void nobackslash(QString &path, PathStyle style)
{
    if (style == PathStyle::Unix && path == u"/")
        return;
    if (!path.isEmpty() && path.back() == separator(style))
        path.chop(1);
}

QString joinPath(const QString &folder, const QString &name, PathStyle style)
{
    if (folder.isEmpty())
        return name;
    const QChar sep = separator(style);
    qsizetype skip = 0;
    while (skip < name.size() && name[skip] == sep)
        ++skip;
    if (folder.back() == sep)
        return folder + name.mid(skip);
    return folder + sep + name.mid(skip);
}

QString shortleft(const QString &text, int n)
{
    n = std::max(n, 0);
    if (text.size() <= n)
        return text;
    if (n < 3)
        return QStringLiteral("...");
    return QStringLiteral("...") + text.right(n - 3);
}

char pathkind(const QString &path)
{
    if (path.isEmpty())
        return 'n';
    const QFileInfo info(path);
    if (!info.exists())
        return 'n';
    return info.isDir() ? 'd' : 'f';
}

qint64 fsize(const QString &path)
{
    // A folder, the root included, has no size of its own; a vanished path has none either.
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists() || info.isDir())
        return 0;
    return info.size();
}

char FolderSystem::kind(const QString &path) const
{
    return pathkind(path);
}

bool FolderSystem::createFolder(const QString &path)
{
    return QDir().mkdir(path);
}

bool makedirs(QString path, PathStyle style)
{
    FolderSystem system;
    return makedirs(std::move(path), style, system);
}

bool makedirs(QString path, PathStyle style, FolderSystem &system)
{
    nobackslash(path, style);
    if (path.isEmpty())
        return false;
    if (system.kind(path) == 'd')
        return true;
    // A missing drive cannot hold folders; do not even try.
    if (style == PathStyle::Windows && system.kind(path.left(2)) != 'd')
        return false;
    const int slash = lastpos(separator(style), path);
    if (slash == 0)
        return false;
    // The parent of "/x" is the root itself.
    const QString parent
        = style == PathStyle::Unix && slash == 1 ? path.left(1) : path.left(slash - 1);
    if (parent == path)
        return false;
    if (system.kind(parent) == 'd')
        return system.createFolder(path);
    return makedirs(parent, style, system) && makedirs(path, style, system);
}
