#pragma once

#include <QRgb>
#include <QString>

class ProfileFile;

// The few settings kept beside the executable, read once at start and written once at close.
struct Settings {
    QString save; // "Location"/"Save" as read (may be empty; the window applies defaults)
    bool selectionmode = false; // "General"/"Selection mode"
    QRgb markcol = qRgb(255, 0, 0); // low 8 bits of "Edit"/"Red","Green","Blue"
    // The stored location is bytes that are not text, which `save` only approximates: the file
    // keeps them as they are unless another location is written.
    bool keepStoredSave = false;
};

// The executable's path with its extension replaced by ".ini", or ".ini" appended when it has none.
QString settingsFilePath(const QString &executablePath);

// Missing or invalid values give the defaults above; nothing is reported.
Settings readSettings(const ProfileFile &file);

// Writes the five keys (four with keepStoredSave) in one replace of the file; a failure throws
// Failure and writes none. A location the file cannot hold (a line break) keeps the earlier one,
// and the rest is written.
void writeSettings(ProfileFile &file, const Settings &settings);
