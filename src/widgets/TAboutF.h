#pragma once

#include <QString>

#include "widgets/KeyPreviewDialog.h"

class Prompts;
class QAction;
class QLabel;
class QPlainTextEdit;
class QPushButton;

// The About box: the program's name and version, a read-only text for bug reports and Close.
// Made once at start (its controls when first shown) and reused. Escape closes it whichever control
// has the focus; Ctrl+Alt+B adds the executable's date to the version line for the rest of the run.
class TAboutF : public KeyPreviewDialog {
    Q_OBJECT

public:
    // `dataFolder` is the folder that holds this run's settings and history files.
    TAboutF(Prompts &prompts, const QString &dataFolder, QWidget *parent = nullptr);

    QLabel *versionLabel()
    {
        makeControls();
        return VersionL;
    }
    QPlainTextEdit *textArea()
    {
        makeControls();
        return aboutM;
    }
    QPushButton *closeButton()
    {
        makeControls();
        return CloseB;
    }

    void CloseBClick();
    // Escape closes the box and is swallowed; other keys pass on unchanged.
    void FormKeyPress(QChar &key) override;
    void ShowbuildMIClick();
    void setVisible(bool visible) override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    // The controls are made when the box first shows (or is first asked for them), not at start:
    // making them and laying out their texts and fonts cost the start time, and nobody sees them
    // before.
    void makeControls();
    void FormCreate();

    const QString dataFolder;
    QLabel *ProgramL = nullptr;
    QLabel *VersionL = nullptr;
    QPlainTextEdit *aboutM = nullptr;
    QPushButton *CloseB = nullptr;
    QAction *ShowbuildMI = nullptr;
};
