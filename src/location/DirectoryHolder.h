#pragma once

#include <QString>

// The folder last picked in the location dialog's tree, standing in for a hidden directory list
// box. It checks that a folder can be entered but never makes it the process's current folder,
// which would keep a picked USB stick busy so that it could not be unmounted.
class DirectoryHolder {
public:
    explicit DirectoryHolder(QString start);

    const QString &directory() const { return folder; }

    // Takes `path` (a relative one against the folder held) as the folder held. Answers false,
    // changing nothing, for an empty path or the folder already held; throws Failure with the
    // platform's message when the folder cannot be entered, keeping the folder held.
    bool setDirectory(const QString &path);

private:
    QString folder;
};
