#pragma once

#include <QComboBox>

class QString;

// A drop-down list whose dropped list can be as wide as its widest item, and which tells whether
// a drop-down ended with a choice.
class TKoCustomComboBox : public QComboBox {
    Q_OBJECT
    Q_PROPERTY(int DropDownFixedWidth READ DropDownFixedWidth WRITE setDropDownFixedWidth)

public:
    explicit TKoCustomComboBox(QWidget *parent = nullptr);

    // The dropped list's width in pixels; 0 or less: its widest item plus 8.
    int DropDownFixedWidth() const { return fixedWidth; }
    void setDropDownFixedWidth(int width) { fixedWidth = width; }

    // The width in pixels of `text` in the control's font.
    int GetTextWidth(const QString &text) const;
    // The width of the widest item text in the control's font.
    virtual int widestItemWidth() const;

    void showPopup() override;
    void hidePopup() override;

signals:
    // The drop-down closed: `chosen` tells whether it ended with a choice or was cancelled.
    void OnCloseUp(bool chosen);

private:
    int droppedWidth() const;

    int fixedWidth = 0;
    bool lastEndedWithChoice = false;
};
