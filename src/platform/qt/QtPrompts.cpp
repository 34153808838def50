#include "platform/qt/QtPrompts.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>

namespace {

QMessageBox::Icon toQtIcon(Prompts::Icon icon)
{
    switch (icon) {
    case Prompts::Icon::Information:
        return QMessageBox::Information;
    case Prompts::Icon::Warning:
        return QMessageBox::Warning;
    case Prompts::Icon::Error:
        return QMessageBox::Critical;
    case Prompts::Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

// "Name (*.a)|*.A|Other (*.b)|*.b" becomes the Qt filters "Name (*.a *.A)" and
// "Other (*.b)": the masks of the entry are what Qt matches, so they go in the brackets.
QStringList toQtFilters(const QString &filter)
{
    const QStringList parts = filter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString name = parts[i];
        const qsizetype bracket = name.indexOf(u'(');
        if (bracket >= 0)
            name.truncate(bracket);
        filters << QStringLiteral("%1(%2)").arg(name, QString(parts[i + 1]).replace(u';', u' '));
    }
    return filters;
}

} // namespace

QtPrompts::QtPrompts(QWidget *parent) : parent(parent) { }

void QtPrompts::setParent(QWidget *newParent)
{
    parent = newParent;
}

Prompts::Answer QtPrompts::message(
    const QString &caption, const QString &text, Icon icon, Buttons buttons, Answer defaultButton)
{
    QMessageBox box(toQtIcon(icon), caption, text, QMessageBox::NoButton, parent);
    if (buttons == Buttons::YesNo) {
        QPushButton *yes = box.addButton(QStringLiteral("&Yes"), QMessageBox::YesRole);
        QPushButton *no = box.addButton(QStringLiteral("&No"), QMessageBox::NoRole);
        box.setDefaultButton(defaultButton == Answer::No ? no : yes);
        box.exec();
        return box.clickedButton() == yes ? Answer::Yes : Answer::No;
    }
    box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.exec();
    return Answer::Ok;
}

std::optional<Prompts::FileAnswer> QtPrompts::runFileDialog(const FileRequest &request, bool saving)
{
    QFileDialog dialog(parent, request.caption, request.folder);
    const QStringList filters = toQtFilters(request.filter);
    dialog.setNameFilters(filters);
    if (request.filterIndex >= 1 && request.filterIndex <= filters.size())
        dialog.selectNameFilter(filters[request.filterIndex - 1]);
    dialog.setAcceptMode(saving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    // Open accepts a typed name of a file that does not exist; save overwrites without asking.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    FileAnswer answer;
    answer.path = QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
    answer.filterIndex = int(filters.indexOf(dialog.selectedNameFilter())) + 1;
    if (answer.filterIndex < 1)
        answer.filterIndex = request.filterIndex;
    return answer;
}

std::optional<Prompts::FileAnswer> QtPrompts::openPicture(const FileRequest &request)
{
    return runFileDialog(request, false);
}

std::optional<Prompts::FileAnswer> QtPrompts::savePicture(const FileRequest &request)
{
    return runFileDialog(request, true);
}

std::optional<QColor> QtPrompts::chooseColor(const QColor &initial)
{
    const QColor chosen = QColorDialog::getColor(initial, parent);
    if (!chosen.isValid())
        return std::nullopt;
    return chosen;
}

std::optional<QString> QtPrompts::inputBox(
    const QString &caption, const QString &prompt, const QString &text)
{
    bool ok = false;
    const QString result
        = QInputDialog::getText(parent, caption, prompt, QLineEdit::Normal, text, &ok);
    if (!ok)
        return std::nullopt;
    return result;
}

int QtPrompts::runDialog(QDialog &dialog)
{
    // A dialog made without an owner still opens over the main window.
    if (!dialog.parentWidget() && parent)
        dialog.setParent(parent, dialog.windowFlags());
    return dialog.exec();
}

void QtPrompts::beep()
{
    QApplication::beep();
}
