#include "files/FileSession.h"

#include <QFileInfo>

#include "files/PictureFiles.h"
#include "files/RecentFiles.h"
#include "files/pathhelpers.h"
#include "platform/Prompts.h"

namespace {

const QString pictureFilter = QStringLiteral("JPG files (*.jpg)|*.JPG|Bitmap files (*.bmp)|*.bmp");

} // namespace

FileSession::FileSession(Prompts &prompts, RecentFiles &history, QObject *parent)
    : QObject(parent), prompts(prompts), history(history)
{
}

void FileSession::start(const QString &exefolder, const QString &savedLocation)
{
    saveLocation = savedLocation.isEmpty() ? exefolder : savedLocation;
    nobackslash(saveLocation);
    currentFile = joinPath(saveLocation, QStringLiteral("MyTmpImage.jpg"));
    emit titleChanged(currentFile);
}

std::optional<Picture> FileSession::browse()
{
    const auto chosen = prompts.openPicture(
        { QStringLiteral("Open"), pictureFilter, openFilterIndex, saveLocation, QString() });
    if (!chosen)
        return std::nullopt;
    openFilterIndex = chosen->filterIndex;
    return openChosen(chosen->path);
}

Picture FileSession::openChosen(const QString &path)
{
    history.additem(path);
    return open(path);
}

Picture FileSession::open(const QString &path)
{
    Picture picture = fname2bmpimage(path);
    currentFile = path;
    emit titleChanged(currentFile);
    return picture;
}

void FileSession::save(const Picture &picture)
{
    saveGuarded([&] { saveTo(picture, currentFile); });
}

void FileSession::saveAs(const Picture &picture)
{
    const auto chosen = prompts.savePicture({ QStringLiteral("Save as"), pictureFilter,
        saveFilterIndex, saveLocation, QFileInfo(currentFile).fileName() });
    if (!chosen)
        return;
    saveFilterIndex = chosen->filterIndex;
    // The current file stays: a later Save writes to the file opened last.
    QString name = chosen->path;
    saveGuarded([&] {
        saveTo(picture, name);
        history.additem(name);
        emit titleChanged(name);
    });
}

void FileSession::saveTo(const Picture &picture, QString &name)
{
    if (bmpimage2fname(picture, name, saveFilterIndex) == SavedAs::Jpeg)
        emit statusChanged(QStringLiteral("Saved to ") + name);
}

void FileSession::saveGuarded(const std::function<void()> &save)
{
    try {
        save();
    } catch (...) {
        errormsg(prompts, QStringLiteral("Could not save. Choose other file name or path."));
        emit statusChanged(QStringLiteral("NOT Saved"));
    }
}
