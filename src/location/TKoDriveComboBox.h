#pragma once

#include <cstdint>
#include <initializer_list>

#include "location/TKoCustomComboBox.h"
#include "platform/DriveType.h"

class DriveItemDelegate;
class Prompts;
class TDriveInfo;

enum TVolumeDisplayStyle { doPrettyName, doDisplayName, doLongPrettyName };

// A set of drive types.
class TDriveTypes {
public:
    constexpr TDriveTypes() = default;
    constexpr TDriveTypes(std::initializer_list<TDriveType> types)
    {
        for (TDriveType type : types)
            bits |= bit(type);
    }
    constexpr bool contains(int type) const
    {
        return type >= 0 && type <= dtRAM && (bits & bit(type));
    }
    constexpr bool operator==(const TDriveTypes &) const = default;

private:
    static constexpr std::uint8_t bit(int type) { return std::uint8_t(1u << type); }
    std::uint8_t bits = 0;
};

// A drive tree view that a drive selector can be linked to. No window of Quillet has one.
class TDriveView {
public:
    virtual ~TDriveView() = default;
    virtual QChar selectedDrive() const = 0;
    // Moves the view to the root of `letter` and expands it.
    virtual void openDrive(QChar letter) = 0;
};

// The drive selector: an owner-drawn list of the drive table's drives, each with its icon and
// one of its three names. It builds its list when it is first shown, and again when DisplayStyle
// or DriveTypes change or a volume is mounted or unmounted.
class TKoDriveComboBox : public TKoCustomComboBox {
    Q_OBJECT

public:
    TKoDriveComboBox(TDriveInfo &driveInfo, Prompts &prompts, QWidget *parent = nullptr);

    // The selected drive letter, upper case; 'C' until a drive is chosen or written.
    QChar Drive() const { return drive; }
    // Selects `letter` (either case) when it is a valid drive of a listed type; otherwise
    // nothing changes. Raises no change event.
    void setDrive(QChar letter);
    TVolumeDisplayStyle DisplayStyle() const { return displayStyle; }
    void setDisplayStyle(TVolumeDisplayStyle style);
    TDriveTypes DriveTypes() const { return driveTypes; }
    void setDriveTypes(const TDriveTypes &types);
    // The linked view is not owned; it must unlink itself (setDriveView(nullptr)) before it dies.
    TDriveView *DriveView() const { return driveView; }
    void setDriveView(TDriveView *view) { driveView = view; }

    // The display text of `letter` in the current DisplayStyle.
    QString displayText(QChar letter);
    // The letter of the item at `index`; a null QChar when there is none.
    QChar letterAt(int index) const;
    // The item height: the font's height, at least 10, plus 2.
    int itemHeightForFont() const;

    int widestItemWidth() const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    // The user chose a drive; Drive is already set to it.
    void OnChange();

protected:
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void buildList();
    void resetItemHeight();
    void choose(int index);

    TDriveInfo &driveInfo;
    Prompts &prompts;
    QChar drive = QLatin1Char('C');
    TVolumeDisplayStyle displayStyle = doPrettyName;
    TDriveTypes driveTypes { dtFloppy, dtFixed, dtRemote, dtCDROM, dtRAM };
    TDriveView *driveView = nullptr;
    bool built = false;
    DriveItemDelegate *delegate;
};
