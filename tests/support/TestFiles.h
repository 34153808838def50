#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

class QMenu;

// What a file holds, byte for byte; "<unreadable>" when it cannot be opened.
QByteArray fileBytes(const QString &path);
// Replaces a file's content; a failure fails the running test.
void writeFileBytes(const QString &path, const QByteArray &bytes);
// A menu's item captions in order, "-" for a separator.
QStringList menuCaptions(const QMenu *menu);
