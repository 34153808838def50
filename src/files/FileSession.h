#pragma once

#include <functional>
#include <optional>

#include <QObject>
#include <QString>

#include "editor/Picture.h"

class Prompts;
class RecentFiles;

// The main window's picture files: the default save location, the current file name and the
// filter entries last chosen in the open and save dialogs, with the commands that open, save and
// save as. A failed load changes nothing; a failed save is reported in a box and the status line.
class FileSession : public QObject {
    Q_OBJECT

public:
    FileSession(Prompts &prompts, RecentFiles &history, QObject *parent = nullptr);

    // The start-up: the save location is `savedLocation`, or the executable folder when that is
    // empty, without a trailing separator; the current file is "MyTmpImage.jpg" in it.
    void start(const QString &exefolder, const QString &savedLocation);

    const QString &savelocation() const { return saveLocation; }
    const QString &currentfilename() const { return currentFile; }
    // A new default save location, where the open and save dialogs start from now on.
    void setSavelocation(const QString &folder) { saveLocation = folder; }

    // Asks for a picture file, adds it to the history and opens it; nothing when cancelled.
    std::optional<Picture> browse();
    // Adds `path` to the history and opens it, as a picture chosen in the open dialog opens: a
    // path that then fails to load stays in the history.
    Picture openChosen(const QString &path);
    // Opens `path`; the current file name and the title follow only when it loads.
    Picture open(const QString &path);
    void save(const Picture &picture);
    void saveAs(const Picture &picture);

signals:
    void titleChanged(const QString &path);
    void statusChanged(const QString &text);

private:
    void saveTo(const Picture &picture, QString &name);
    void saveGuarded(const std::function<void()> &save);

    Prompts &prompts;
    RecentFiles &history;
    QString saveLocation;
    QString currentFile;
    int openFilterIndex = 1;
    int saveFilterIndex = 1;
};
