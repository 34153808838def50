#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

class QMenu;

// What a file holds, byte for byte; "<unreadable>" when it cannot be opened.
QByteArray fileBytes(const QString &path);
// Replaces a file's content; a failure fails the running test.
void writeFileBytes(const QString &path, const QByteArray &bytes);
class QAction;

// A menu's item captions in order, "-" for a separator.
QStringList menuCaptions(const QMenu *menu);
// The menu's item with that caption; nullptr, failing the running test, when there is none.
QAction *menuItem(const QMenu *menu, const QString &caption);
