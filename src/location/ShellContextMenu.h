#pragma once

#include <QMenu>
#include <QString>

class Prompts;
class QAction;

// The small menu a right click on a folder opens: open it in the file manager, copy its path,
// make a new folder in it. Items without a file-system path get the menu with nothing enabled.
// Each command runs inside the command wrapper.
class ShellContextMenu : public QMenu {
    Q_OBJECT

public:
    ShellContextMenu(const QString &folderPath, Prompts &prompts, QWidget *parent = nullptr);

    QAction *openAction() const { return open; }
    QAction *copyPathAction() const { return copyPath; }
    QAction *newFolderAction() const { return newFolder; }

signals:
    // A folder was made inside the menu's folder.
    void folderCreated(const QString &path);

private:
    void openFolder();
    void copyFolderPath();
    void createFolder();

    const QString folder;
    Prompts &prompts;
    QAction *open;
    QAction *copyPath;
    QAction *newFolder;
};
