#include "location/TKoCustomComboBox.h"

#include <QAbstractItemView>
#include <QFontMetrics>

TKoCustomComboBox::TKoCustomComboBox(QWidget *parent) : QComboBox(parent)
{
    // The list emits activated on a choice before it closes; a cancelled list never does.
    connect(this, &QComboBox::activated, this, [this] { lastEndedWithChoice = true; });
}

int TKoCustomComboBox::GetTextWidth(const QString &text) const
{
    return QFontMetrics(font()).horizontalAdvance(text);
}

int TKoCustomComboBox::widestItemWidth() const
{
    int widest = 0;
    for (int index = 0; index < count(); ++index)
        widest = qMax(widest, GetTextWidth(itemText(index)));
    return widest;
}

int TKoCustomComboBox::droppedWidth() const
{
    return fixedWidth > 0 ? fixedWidth : widestItemWidth() + 8;
}

void TKoCustomComboBox::showPopup()
{
    lastEndedWithChoice = false;
    QComboBox::showPopup();
    // Never narrower than the control itself, as the dropped lists of the desktop.
    QWidget *popup = view()->window();
    if (popup != window())
        popup->resize(qMax(width(), droppedWidth()), popup->height());
}

void TKoCustomComboBox::hidePopup()
{
    const bool wasShown = view()->isVisible();
    QComboBox::hidePopup();
    if (!wasShown)
        return;
    // The choice is known only once the list has closed, when activated has come or not.
    QMetaObject::invokeMethod(
        this, [this] { emit OnCloseUp(lastEndedWithChoice); }, Qt::QueuedConnection);
}
