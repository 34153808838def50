#include "widgets/KeyPreviewDialog.h"

#include <QKeyEvent>

#include "platform/Command.h"

KeyPreviewDialog::KeyPreviewDialog(Prompts &prompts, QWidget *parent, Qt::WindowFlags flags)
    : QDialog(parent, flags), prompts(prompts)
{
}

void KeyPreviewDialog::previewKeysOf(const QList<QWidget *> &controls)
{
    for (QWidget *control : controls)
        control->installEventFilter(this);
}

bool KeyPreviewDialog::previewKey(QKeyEvent *event)
{
    QChar key = event->key() == Qt::Key_Escape ? QChar(27)
        : event->text().isEmpty()              ? QChar()
                                               : event->text().at(0);
    if (key.isNull())
        return false;
    runCommand(prompts, [&] { FormKeyPress(key); });
    return key.isNull();
}

bool KeyPreviewDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && previewKey(static_cast<QKeyEvent *>(event)))
        return true;
    return QDialog::eventFilter(watched, event);
}

void KeyPreviewDialog::keyPressEvent(QKeyEvent *event)
{
    if (!previewKey(event))
        QDialog::keyPressEvent(event);
}
