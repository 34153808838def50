#include "shell/VolumeIcons.h"

#include <QIcon>
#include <QPainter>
#include <QPixmap>

namespace {

QString themeName(TDriveType type)
{
    switch (type) {
    case dtFloppy:
        return QStringLiteral("drive-removable-media");
    case dtRemote:
        return QStringLiteral("folder-remote");
    case dtCDROM:
        return QStringLiteral("drive-optical");
    case dtRAM:
        return QStringLiteral("media-flash");
    default:
        return QStringLiteral("drive-harddisk");
    }
}

// 16 x 16 pictures in the spirit of the theme icons, one shape per type.
QPixmap drawnIcon(TDriveType type)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QColor(60, 60, 60));
    switch (type) {
    case dtCDROM:
        painter.setBrush(QColor(210, 210, 225));
        painter.drawEllipse(QRectF(1.5, 1.5, 13, 13));
        painter.setBrush(Qt::white);
        painter.drawEllipse(QRectF(6, 6, 4, 4));
        break;
    case dtFloppy:
        painter.setBrush(QColor(90, 130, 200));
        painter.drawRoundedRect(QRectF(3.5, 5.5, 9, 9), 1.5, 1.5);
        painter.setBrush(QColor(200, 200, 200));
        painter.drawRect(QRectF(5.5, 1.5, 5, 4));
        break;
    case dtRemote:
        painter.setBrush(QColor(120, 170, 120));
        painter.drawRoundedRect(QRectF(1.5, 2.5, 13, 8), 1.5, 1.5);
        painter.drawLine(QPointF(8, 10.5), QPointF(8, 14.5));
        painter.drawLine(QPointF(3, 14.5), QPointF(13, 14.5));
        break;
    case dtRAM:
        painter.setBrush(QColor(70, 140, 90));
        painter.drawRect(QRectF(1.5, 4.5, 13, 7));
        for (int x = 3; x <= 13; x += 3)
            painter.drawLine(QPointF(x, 11.5), QPointF(x, 14.5));
        break;
    default:
        painter.setBrush(QColor(180, 180, 180));
        painter.drawRoundedRect(QRectF(1.5, 4.5, 13, 8), 1.5, 1.5);
        painter.setBrush(QColor(60, 200, 60));
        painter.drawEllipse(QRectF(11, 9, 2, 2));
        break;
    }
    return pixmap;
}

} // namespace

QIcon volumeIcon(TDriveType type)
{
    return QIcon::fromTheme(themeName(type), QIcon(drawnIcon(type)));
}
