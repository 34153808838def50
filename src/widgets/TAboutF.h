#pragma once

#include "widgets/KeyPreviewDialog.h"

class Prompts;
class QAction;
class QLabel;
class QPlainTextEdit;
class QPushButton;

// The About box: the program's name and version, a read-only text for bug reports and Close.
// Made once at start and reused. Escape closes it whichever control has the focus; Ctrl+Alt+B
// adds the executable's date to the version line for the rest of the run.
class TAboutF : public KeyPreviewDialog {
    Q_OBJECT

public:
    // `dataFolder` is the folder that holds this run's settings and history files.
    TAboutF(Prompts &prompts, const QString &dataFolder, QWidget *parent = nullptr);

    QLabel *versionLabel() const { return VersionL; }
    QPlainTextEdit *textArea() const { return aboutM; }
    QPushButton *closeButton() const { return CloseB; }

    void CloseBClick();
    // Escape closes the box and is swallowed; other keys pass on unchanged.
    void FormKeyPress(QChar &key) override;
    void ShowbuildMIClick();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormCreate(const QString &dataFolder);

    QLabel *ProgramL = nullptr;
    QLabel *VersionL = nullptr;
    QPlainTextEdit *aboutM = nullptr;
    QPushButton *CloseB = nullptr;
    QAction *ShowbuildMI = nullptr;
};
