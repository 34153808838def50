#pragma once

#include <optional>

#include <QString>

#include "location/DirectoryHolder.h"
#include "widgets/KeyPreviewDialog.h"

class ChangeNotification;
class Prompts;
class QLabel;
class QLineEdit;
class QPushButton;
class ShellNamespace;
class TDriveInfo;
class TKoDriveComboBox;
class TShellTree;

// The "Default save to..." dialog: a drive selector and a folder tree that fill the edit box,
// and "&Ok", which validates the typed location, offers to create a missing folder and closes
// with the accepted folder in resultL. Made once at start and reused: the tree, the drive and
// the result stay between calls. Escape, "&Cancel" and the close box close it with Rejected;
// Enter in the edit box is "&Ok", elsewhere it presses nothing.
class TLocxxxF : public KeyPreviewDialog {
    Q_OBJECT

public:
    // The drive table, the namespace and the change notification outlive the dialog; a leading
    // "~" names the namespace's home folder.
    TLocxxxF(Prompts &prompts, TDriveInfo &driveInfo, ShellNamespace &shell,
        ChangeNotification &notification, QWidget *parent = nullptr);

    TKoDriveComboBox *driveSelector() const { return driCB; }
    TShellTree *tree() const { return ST1; }
    QLineEdit *locationEdit() const { return locxxxE; }
    // The last accepted location; empty until the first "&Ok" that closed the dialog.
    QLabel *resultLabel() const { return resultL; }
    QPushButton *okButton() const { return SavelocB; }
    QPushButton *cancelButton() const { return CancelB; }

    void driCBChange();
    void ST1Change();
    void DirectoryListBox1Change();
    void SavelocBClick();
    void CancelBClick();
    // Escape closes the dialog with Rejected and is swallowed; other keys pass on unchanged.
    void FormKeyPress(QChar &key) override;
    void setVisible(bool visible) override;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void layOut();
    // The typed text as an absolute folder path; none for a drive letter without a drive.
    std::optional<QString> absoluteLocation(const QString &typed) const;
    // Asks about a location that is no folder; true when the user accepts it.
    bool acceptMissing(const QString &location);

    TDriveInfo &driveInfo;
    const ShellNamespace &shell;
    const QString homePath;
    TKoDriveComboBox *driCB = nullptr;
    TShellTree *ST1 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *resultL = nullptr;
    QLineEdit *locxxxE = nullptr;
    QPushButton *SavelocB = nullptr;
    QPushButton *CancelB = nullptr;
    // The hidden directory list box and its drive combo, as a holder of the picked folder.
    DirectoryHolder DirectoryListBox1;
};
