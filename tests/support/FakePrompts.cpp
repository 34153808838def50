#include "FakePrompts.h"

#include <QDialog>
#include <QStringList>

namespace {

template<typename T> T takeFront(std::deque<T> &queue, T fallback)
{
    if (queue.empty())
        return fallback;
    T value = std::move(queue.front());
    queue.pop_front();
    return value;
}

} // namespace

Prompts::Answer FakePrompts::message(
    const QString &caption, const QString &text, Icon icon, Buttons buttons, Answer defaultButton)
{
    boxes.append({ caption, text, icon, buttons, defaultButton });
    const Answer fallback = buttons == Buttons::YesNo ? Answer::No : Answer::Ok;
    return takeFront(answers, fallback);
}

std::optional<Prompts::FileAnswer> FakePrompts::openPicture(const FileRequest &request)
{
    openRequests.append(request);
    return takeFront(openAnswers, std::optional<FileAnswer>());
}

std::optional<Prompts::FileAnswer> FakePrompts::savePicture(const FileRequest &request)
{
    saveRequests.append(request);
    return takeFront(saveAnswers, std::optional<FileAnswer>());
}

std::optional<QColor> FakePrompts::chooseColor(const QColor &initial)
{
    colorRequests.append(initial);
    return takeFront(colorAnswers, std::optional<QColor>());
}

std::optional<QString> FakePrompts::inputBox(
    const QString &caption, const QString &prompt, const QString &text)
{
    inputs.append({ caption, prompt, text });
    return takeFront(inputAnswers, std::optional<QString>());
}

int FakePrompts::runDialog(QDialog &dialog)
{
    dialogs << dialog.windowTitle();
    if (dialogScripts.empty())
        return QDialog::Rejected;
    const auto script = std::move(dialogScripts.front());
    dialogScripts.pop_front();
    return script(dialog);
}

void FakePrompts::beep()
{
    ++beeps;
}

QStringList FakePrompts::texts() const
{
    QStringList result;
    for (const Box &box : boxes)
        result << box.text;
    return result;
}
