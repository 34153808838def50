#pragma once

#include <memory>

#include "platform/Prompts.h"

class PicturePreviewer;
class QFileDialog;
class QWidget;

// The real dialogs: Qt message boxes, file, colour, input and print dialogs.
class QtPrompts : public Prompts {
public:
    explicit QtPrompts(QWidget *parent = nullptr);

    void setParent(QWidget *parent);
    // The open and save picture dialogs preview the selected file through this; without one
    // they show no preview.
    void setPreviewer(std::shared_ptr<const PicturePreviewer> previewer);

    Answer message(const QString &caption, const QString &text, Icon icon, Buttons buttons,
        Answer defaultButton) override;
    std::optional<FileAnswer> openPicture(const FileRequest &request) override;
    std::optional<FileAnswer> savePicture(const FileRequest &request) override;
    std::optional<QColor> chooseColor(const QColor &initial) override;
    std::optional<QString> inputBox(
        const QString &caption, const QString &prompt, const QString &text) override;
    int runDialog(QDialog &dialog) override;
    void beep() override;

    // The open (or save) picture dialog as openPicture (savePicture) runs it.
    std::unique_ptr<QFileDialog> pictureDialog(const FileRequest &request, bool saving) const;

private:
    std::optional<FileAnswer> runFileDialog(const FileRequest &request, bool saving);

    QWidget *parent;
    std::shared_ptr<const PicturePreviewer> previewer;
};
