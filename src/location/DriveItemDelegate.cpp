#include "location/DriveItemDelegate.h"

#include <QIcon>
#include <QPainter>
#include <QPalette>
#include <QStyle>

namespace {

const int iconLeft = 2;
const int textLeft = 22;
const int iconSize = 16;

} // namespace

void DriveItemDelegate::paintItem(QPainter &painter, const QRect &rect, const QIcon &icon,
    const QString &text, bool selected, const QPalette &palette, Qt::LayoutDirection direction)
{
    painter.save();
    painter.fillRect(rect, selected ? palette.highlight() : palette.base());
    const int side = qMin(iconSize, rect.height());
    const QRect iconRect(rect.left() + iconLeft, rect.top(), side, side);
    icon.paint(&painter, QStyle::visualRect(direction, rect, iconRect));
    const QRect textRect = QStyle::visualRect(direction, rect, rect.adjusted(textLeft, 0, 0, 0));
    painter.setPen(
        selected ? palette.color(QPalette::HighlightedText) : palette.color(QPalette::Text));
    const Qt::Alignment alignment = direction == Qt::RightToLeft ? Qt::AlignRight : Qt::AlignLeft;
    painter.drawText(textRect, int(alignment | Qt::AlignVCenter | Qt::TextSingleLine), text);
    painter.restore();
}

void DriveItemDelegate::paint(
    QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    paintItem(*painter, option.rect, index.data(Qt::DecorationRole).value<QIcon>(),
        index.data(Qt::DisplayRole).toString(), option.state.testFlag(QStyle::State_Selected),
        option.palette, option.direction);
}

QSize DriveItemDelegate::sizeHint(
    const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const int width = option.fontMetrics.horizontalAdvance(index.data(Qt::DisplayRole).toString());
    return QSize(textLeft + width, itemHeight);
}
