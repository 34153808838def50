#pragma once

#include "platform/Prompts.h"

class QWidget;

// The real dialogs: Qt message boxes, file, colour, input and print dialogs.
class QtPrompts : public Prompts {
public:
    explicit QtPrompts(QWidget *parent = nullptr);

    void setParent(QWidget *parent);

    Answer message(const QString &caption, const QString &text, Icon icon, Buttons buttons,
        Answer defaultButton) override;
    std::optional<FileAnswer> openPicture(const FileRequest &request) override;
    std::optional<FileAnswer> savePicture(const FileRequest &request) override;
    std::optional<QColor> chooseColor(const QColor &initial) override;
    std::optional<QString> inputBox(
        const QString &caption, const QString &prompt, const QString &text) override;
    int runDialog(QDialog &dialog) override;
    void beep() override;

private:
    std::optional<FileAnswer> runFileDialog(const FileRequest &request, bool saving);

    QWidget *parent;
};
