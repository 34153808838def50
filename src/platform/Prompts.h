#pragma once

#include <optional>

#include <QColor>
#include <QString>

class QDialog;

// Every modal interaction of the program goes through this one interface, so that
// windows can be driven by tests with a scripted fake instead of real dialogs.
class Prompts {
public:
    enum class Icon { None, Information, Warning, Error };
    enum class Buttons { Ok, YesNo };
    // Values of the platform's modal results, kept for callers that compare them.
    enum class Answer { Ok = 1, Yes = 6, No = 7 };

    struct FileRequest {
        QString caption;
        QString filter; // "Name (*.a)|*.A|Other (*.b)|*.b"
        int filterIndex = 1; // 1-based entry of the filter
        QString folder; // initial folder
        QString fileName; // pre-filled name, without folder
    };
    struct FileAnswer {
        QString path;
        int filterIndex = 1; // the entry the user had chosen
    };

    virtual ~Prompts() = default;

    // defaultButton is the answer that Return gives in a Yes/No box.
    virtual Answer message(const QString &caption, const QString &text, Icon icon,
        Buttons buttons = Buttons::Ok, Answer defaultButton = Answer::Yes)
        = 0;
    virtual std::optional<FileAnswer> openPicture(const FileRequest &request) = 0;
    virtual std::optional<FileAnswer> savePicture(const FileRequest &request) = 0;
    virtual std::optional<QColor> chooseColor(const QColor &initial) = 0;
    virtual std::optional<QString> inputBox(
        const QString &caption, const QString &prompt, const QString &text)
        = 0;
    // Runs one of our own modal dialogs (or a platform one such as the printer set-up) to its
    // end and answers its result code: QDialog::Accepted, QDialog::Rejected or what done() got.
    virtual int runDialog(QDialog &dialog) = 0;
    virtual void beep() = 0;
};
