#pragma once

#include <QStyledItemDelegate>

class QIcon;
class QPainter;
class QPalette;

// Draws a drive selector's item: its icon 2 pixels from the left and at the top, its text in
// one line from 22 pixels, vertically centred, mirrored for right-to-left reading.
class DriveItemDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    static void paintItem(QPainter &painter, const QRect &rect, const QIcon &icon,
        const QString &text, bool selected, const QPalette &palette, Qt::LayoutDirection direction);

    // The height of each list item.
    void setItemHeight(int height) { itemHeight = height; }

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
        const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

private:
    int itemHeight = 16;
};
