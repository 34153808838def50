#pragma once

#include <QDialog>
#include <QList>

class Prompts;
class QKeyEvent;

// A dialog that sees every character key before its controls do: FormKeyPress gets the character
// (Escape as 27) inside the command wrapper and swallows the key by setting it to 0.
class KeyPreviewDialog : public QDialog {
    Q_OBJECT

public:
    virtual void FormKeyPress(QChar &key) = 0;

protected:
    KeyPreviewDialog(Prompts &prompts, QWidget *parent, Qt::WindowFlags flags = {});

    // The controls whose keys the dialog sees first.
    void previewKeysOf(const QList<QWidget *> &controls);
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

    Prompts &prompts;

private:
    bool previewKey(QKeyEvent *event);
};
