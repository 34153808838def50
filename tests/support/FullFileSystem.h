#pragma once

#include <QString>
#include <QTemporaryDir>

// A small tmpfs mounted over a temporary folder, filled up by fill() so that no further byte can be
// written on it. Mounting needs root: available() is false elsewhere, and the test skips.
class FullFileSystem {
public:
    FullFileSystem();
    ~FullFileSystem();

    bool available() const { return mounted; }
    QString path() const { return dir.path(); }
    // Writes one file until the file system answers that it is full.
    void fill();

private:
    QTemporaryDir dir;
    bool mounted = false;
};
