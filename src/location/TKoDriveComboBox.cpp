#include "location/TKoDriveComboBox.h"

#include <QAbstractItemView>
#include <QEvent>
#include <QFontMetrics>
#include <QStyleOptionComboBox>
#include <QStylePainter>

#include "location/DriveItemDelegate.h"
#include "location/TDriveInfo.h"
#include "platform/Command.h"

namespace {

const int iconWidth = 22;

} // namespace

TKoDriveComboBox::TKoDriveComboBox(TDriveInfo &driveInfo, Prompts &prompts, QWidget *parent)
    : TKoCustomComboBox(parent), driveInfo(driveInfo), prompts(prompts),
      delegate(new DriveItemDelegate(this))
{
    connect(this, &QComboBox::activated, this,
        [this](int index) { runCommand(this->prompts, [this, index] { choose(index); }); });
    // A stick plugged in or pulled out shows at once, whether the list is open or not.
    connect(&driveInfo, &TDriveInfo::drivesChanged, this, [this] {
        if (built)
            runCommand(this->prompts, [this] { buildList(); });
    });
}

void TKoDriveComboBox::setDrive(QChar letter)
{
    const QChar upper = letter.toUpper();
    if (upper == drive)
        return;
    driveInfo.ReadDriveInfo(upper, 0);
    const TDriveInfoRec rec = driveInfo.GetDriveRecord(upper);
    if (!rec.Valid || !driveTypes.contains(rec.DriveType))
        return;
    drive = upper;
    const int index = findData(drive);
    if (index >= 0)
        setCurrentIndex(index);
}

void TKoDriveComboBox::setDisplayStyle(TVolumeDisplayStyle style)
{
    if (style == displayStyle)
        return;
    displayStyle = style;
    if (built)
        buildList();
    update();
}

void TKoDriveComboBox::setDriveTypes(const TDriveTypes &types)
{
    if (types == driveTypes)
        return;
    driveTypes = types;
    if (built)
        buildList();
}

QString TKoDriveComboBox::displayText(QChar letter)
{
    switch (displayStyle) {
    case doDisplayName:
        return driveInfo.GetDisplayName(letter);
    case doLongPrettyName:
        return driveInfo.GetLongPrettyName(letter);
    default:
        return driveInfo.GetPrettyName(letter);
    }
}

QChar TKoDriveComboBox::letterAt(int index) const
{
    return itemData(index).toChar();
}

int TKoDriveComboBox::itemHeightForFont() const
{
    return qMax(QFontMetrics(font()).height(), 10) + 2;
}

int TKoDriveComboBox::widestItemWidth() const
{
    return TKoCustomComboBox::widestItemWidth() + iconWidth;
}

QSize TKoDriveComboBox::sizeHint() const
{
    QStyleOptionComboBox option;
    initStyleOption(&option);
    const QSize field(TKoCustomComboBox::widestItemWidth() + iconWidth, itemHeightForFont());
    return style()->sizeFromContents(QStyle::CT_ComboBox, &option, field, this);
}

QSize TKoDriveComboBox::minimumSizeHint() const
{
    return sizeHint();
}

void TKoDriveComboBox::showEvent(QShowEvent *event)
{
    TKoCustomComboBox::showEvent(event);
    if (!built)
        runCommand(prompts, [this] {
            // Only the dropped list uses the delegate, and setting it makes that list: at the
            // first show rather than at start.
            setItemDelegate(delegate);
            resetItemHeight();
            buildList();
        });
}

void TKoDriveComboBox::changeEvent(QEvent *event)
{
    TKoCustomComboBox::changeEvent(event);
    if (event->type() == QEvent::FontChange && built)
        runCommand(prompts, [this] {
            resetItemHeight();
            buildList();
        });
}

void TKoDriveComboBox::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    option.currentText.clear();
    option.currentIcon = QIcon();
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    const int index = currentIndex();
    if (index < 0)
        return;
    const QRect field
        = style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    DriveItemDelegate::paintItem(
        painter, field, itemIcon(index), itemText(index), hasFocus(), palette(), layoutDirection());
}

// Items carry their display text and icon, and their letter as data, so that the list reads
// as the names a user sees.
void TKoDriveComboBox::buildList()
{
    built = true;
    setUpdatesEnabled(false);
    clear();
    for (char c = 'A'; c <= 'Z'; ++c) {
        const QChar letter = QLatin1Char(c);
        const TDriveInfoRec rec = driveInfo.GetDriveRecord(letter);
        if (!rec.Valid || !driveTypes.contains(rec.DriveType))
            continue;
        addItem(driveInfo.Image(driveInfo.GetImageIndex(letter)), displayText(letter), letter);
    }
    const int index = findData(drive);
    setCurrentIndex(index >= 0 ? index : (count() > 0 ? 0 : -1));
    setUpdatesEnabled(true);
}

void TKoDriveComboBox::resetItemHeight()
{
    const int height = itemHeightForFont();
    delegate->setItemHeight(qMax(height, 12));
    setFixedHeight(sizeHint().height());
}

void TKoDriveComboBox::choose(int index)
{
    const QChar letter = letterAt(index);
    if (letter.isNull())
        return;
    drive = letter;
    if (driveView && driveView->selectedDrive() != drive)
        driveView->openDrive(drive);
    emit OnChange();
}
