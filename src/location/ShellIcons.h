#pragma once

#include <QHash>
#include <QIcon>

#include "shell/ShellNamespace.h"

class QFileInfo;
class Volumes;

// The icons of the tree's items, from the icon provider and the icon theme, made once per kind:
// a folder shows its open-folder picture when selected, and a symbolic link carries the link
// overlay.
class ShellIcons {
public:
    explicit ShellIcons(Volumes &volumes);

    QIcon icon(ShellItemKind kind, bool link, QChar driveLetter, const QString &path);

private:
    QIcon folderIcon(bool link);
    static QIcon withLinkOverlay(const QIcon &icon);

    Volumes &volumes;
    QHash<int, QIcon> cache;
};
