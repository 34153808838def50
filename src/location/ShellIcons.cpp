#include "location/ShellIcons.h"

#include <QFileIconProvider>
#include <QFileInfo>
#include <QPainter>
#include <QPixmap>

#include "shell/Volumes.h"

namespace {

constexpr int iconSize = 16;

QIcon themed(const char *name, const QIcon &fallback)
{
    const QIcon icon = QIcon::fromTheme(QLatin1String(name));
    return icon.isNull() ? fallback : icon;
}

QPixmap linkArrow()
{
    const QIcon emblem = QIcon::fromTheme(QStringLiteral("emblem-symbolic-link"));
    if (!emblem.isNull())
        return emblem.pixmap(iconSize / 2);
    // No theme: a small white box with a bent arrow, as file managers draw it.
    QPixmap arrow(iconSize / 2, iconSize / 2);
    arrow.fill(Qt::white);
    QPainter painter(&arrow);
    painter.setPen(Qt::black);
    painter.drawRect(0, 0, arrow.width() - 1, arrow.height() - 1);
    painter.drawLine(2, 6, 2, 3);
    painter.drawLine(2, 3, 5, 3);
    painter.drawLine(5, 3, 4, 2);
    painter.drawLine(5, 3, 4, 4);
    return arrow;
}

} // namespace

ShellIcons::ShellIcons(Volumes &volumes) : volumes(volumes) { }

QIcon ShellIcons::withLinkOverlay(const QIcon &icon)
{
    QIcon overlaid;
    for (QIcon::Mode mode : { QIcon::Normal, QIcon::Selected }) {
        QPixmap pixmap = icon.pixmap(iconSize, mode);
        if (pixmap.isNull())
            continue;
        QPainter painter(&pixmap);
        const QPixmap arrow = linkArrow();
        painter.drawPixmap(0, pixmap.height() - arrow.height(), arrow);
        painter.end();
        overlaid.addPixmap(pixmap, mode);
    }
    return overlaid;
}

QIcon ShellIcons::folderIcon(bool link)
{
    const int key = link ? -2 : -1;
    if (auto found = cache.constFind(key); found != cache.cend())
        return *found;
    QFileIconProvider provider;
    const QIcon closed = provider.icon(QFileIconProvider::Folder);
    const QIcon open = themed("folder-open", closed);
    QIcon icon;
    icon.addPixmap(closed.pixmap(iconSize), QIcon::Normal);
    icon.addPixmap(open.pixmap(iconSize), QIcon::Selected);
    if (link)
        icon = withLinkOverlay(icon);
    cache.insert(key, icon);
    return icon;
}

QIcon ShellIcons::icon(ShellItemKind kind, bool link, QChar driveLetter, const QString &path)
{
    QFileIconProvider provider;
    switch (kind) {
    case ShellItemKind::Folder:
        return folderIcon(link);
    case ShellItemKind::Drive: {
        const QIcon drive = volumes.icon(driveLetter);
        return drive.isNull() ? provider.icon(QFileIconProvider::Drive) : drive;
    }
    case ShellItemKind::File: {
        const QIcon file = provider.icon(QFileInfo(path));
        return link ? withLinkOverlay(file) : file;
    }
    default:
        break;
    }
    const int key = int(kind);
    if (auto found = cache.constFind(key); found != cache.cend())
        return *found;
    QIcon icon;
    if (kind == ShellItemKind::Computer)
        icon = provider.icon(QFileIconProvider::Computer);
    else if (kind == ShellItemKind::Network)
        icon = provider.icon(QFileIconProvider::Network);
    else if (kind == ShellItemKind::Home)
        icon = themed("user-home", folderIcon(false));
    else
        icon = themed("user-desktop", provider.icon(QFileIconProvider::Desktop));
    cache.insert(key, icon);
    return icon;
}
