#pragma once

#include <deque>
#include <functional>
#include <optional>

#include <QList>

#include "platform/Prompts.h"

// A scripted stand-in for the dialogs: records every box it was asked to show and
// answers from queues. An empty queue answers as a user who cancels (or presses OK).
class FakePrompts : public Prompts {
public:
    struct Box {
        QString caption;
        QString text;
        Icon icon;
        Buttons buttons;
        Answer defaultButton;
    };
    struct Input {
        QString caption;
        QString prompt;
        QString text;
    };

    Answer message(const QString &caption, const QString &text, Icon icon, Buttons buttons,
        Answer defaultButton) override;
    std::optional<FileAnswer> openPicture(const FileRequest &request) override;
    std::optional<FileAnswer> savePicture(const FileRequest &request) override;
    std::optional<QColor> chooseColor(const QColor &initial) override;
    std::optional<QString> inputBox(
        const QString &caption, const QString &prompt, const QString &text) override;
    int runDialog(QDialog &dialog) override;
    void beep() override;

    // What was shown, in order.
    QList<Box> boxes;
    QList<FileRequest> openRequests;
    QList<FileRequest> saveRequests;
    QList<QColor> colorRequests;
    QList<Input> inputs;
    QStringList dialogs; // window titles of the dialogs run
    int beeps = 0;

    // What the "user" answers next.
    std::deque<Answer> answers;
    std::deque<std::optional<FileAnswer>> openAnswers;
    std::deque<std::optional<FileAnswer>> saveAnswers;
    std::deque<std::optional<QColor>> colorAnswers;
    std::deque<std::optional<QString>> inputAnswers;
    // Each run dialog is handed to the next script, which may work its controls and answers
    // the result code; without one the dialog is rejected, as by Escape.
    std::deque<std::function<int(QDialog &)>> dialogScripts;

    // The texts of all boxes shown so far.
    QStringList texts() const;
};
