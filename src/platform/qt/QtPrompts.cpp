#include "platform/qt/QtPrompts.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QGridLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>
#include <QTreeView>

#include "platform/qt/PreviewPane.h"

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

// "Name (*.a)|*.A|Other (*.b)|*.b" becomes the Qt filters "Name (*.a)" and "Other (*.b)": an
// entry's name is shown as it is written, and where it carries its masks in brackets Qt takes
// them from there; an entry without brackets gets its masks added. The dialog matches names
// in any case, so "*.jpg" also lists "PHOTO.JPG".
QStringList toQtFilters(const QString &filter)
{
    const QStringList parts = filter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString &name = parts[i];
        filters << (name.contains(u'(') ? name
                                        : QStringLiteral("%1 (%2)").arg(name.trimmed(),
                                            QString(parts[i + 1]).replace(u';', u' ')));
    }
    return filters;
}

// Wide enough that the name, size, type and date columns of the detail view read whole: the
// size, type and date follow their contents, and the name takes what they leave.
void sizeColumnsToContents(QFileDialog &dialog)
{
    auto *view = dialog.findChild<QTreeView *>(QStringLiteral("treeView"));
    if (!view)
        return;
    QHeaderView *header = view->header();
    for (int column = 1; column < header->count(); ++column)
        header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
}

} // namespace

QtPrompts::QtPrompts(QWidget *parent) : parent(parent) { }

void QtPrompts::setParent(QWidget *newParent)
{
    parent = newParent;
}

void QtPrompts::setPreviewer(std::shared_ptr<const PicturePreviewer> newPreviewer)
{
    previewer = std::move(newPreviewer);
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

std::unique_ptr<QFileDialog> QtPrompts::pictureDialog(const FileRequest &request, bool saving) const
{
    auto dialog = std::make_unique<QFileDialog>(parent, request.caption, request.folder);
    // Qt's own dialog, so that the preview is the same on every desktop.
    dialog->setOption(QFileDialog::DontUseNativeDialog, true);
    dialog->setViewMode(QFileDialog::Detail);
    const QStringList filters = toQtFilters(request.filter);
    dialog->setNameFilters(filters);
    if (request.filterIndex >= 1 && request.filterIndex <= filters.size())
        dialog->selectNameFilter(filters[request.filterIndex - 1]);
    dialog->setAcceptMode(saving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    // Open accepts a typed name of a file that does not exist; save overwrites without asking.
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setOption(QFileDialog::DontConfirmOverwrite, true);
    if (previewer) {
        auto *pane = new PreviewPane(previewer, dialog.get());
        if (auto *grid = qobject_cast<QGridLayout *>(dialog->layout()))
            grid->addWidget(pane, 0, grid->columnCount(), grid->rowCount(), 1);
        QObject::connect(dialog.get(), &QFileDialog::currentChanged, pane, &PreviewPane::showFile);
        // The save dialog shows the file that would be replaced.
        if (!request.fileName.isEmpty())
            pane->showFile(QDir(request.folder).filePath(request.fileName));
    }
    if (!request.fileName.isEmpty())
        dialog->selectFile(request.fileName);
    dialog->resize(1100, 620);
    sizeColumnsToContents(*dialog);
    return dialog;
}

std::optional<Prompts::FileAnswer> QtPrompts::runFileDialog(const FileRequest &request, bool saving)
{
    const std::unique_ptr<QFileDialog> dialog = pictureDialog(request, saving);
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return std::nullopt;
    const QStringList filters = dialog->nameFilters();
    FileAnswer answer;
    answer.path = QDir::toNativeSeparators(dialog->selectedFiles().constFirst());
    answer.filterIndex = int(filters.indexOf(dialog->selectedNameFilter())) + 1;
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
