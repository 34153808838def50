#pragma once

#include <array>

#include <QChar>
#include <QLocale>
#include <QString>

#include "platform/DriveType.h"

class Prompts;

// Message boxes shared by the windows and components.
// plainmsg: the application's title, no icon, OK.
void plainmsg(Prompts &prompts, const QString &text);
// errormsg: "Error", the error icon, OK.
void errormsg(Prompts &prompts, const QString &text);
// warnmsg: "Warning", the warning icon, OK.
void warnmsg(Prompts &prompts, const QString &text);

// "Mon" to "Sun", indexed from 0.
extern const std::array<QString, 7> DayNames;
// The names of the drive types, indexed by TDriveType.
extern const std::array<QString, dtRAM + 1> DriveTypeNames;

// Which separator and root rules the string helpers follow. Windows: "\" separates, "X:" names
// a drive and "C:\" is held as "C:". Unix: "/" separates and the root "/" stays "/".
enum class PathStyle { Windows, Unix };
PathStyle nativePathStyle();

// The characters of `s` in reverse order (a surrogate pair stays one character).
QString reversestring(const QString &s);
// 1-based position of the last occurrence of `sub` in `s`; 0 when there is none or `sub` is empty.
int lastpos(const QString &sub, const QString &s);
// A name's extension is the text from the last dot of its last component, dot included; a name
// that begins with its only dot is all extension. That one rule serves every caller.
// The file-name part of `path` without its extension: "a.b.jpg" gives "a.b", ".jpg" gives "".
QString fnamenoext(const QString &path, PathStyle style = nativePathStyle());
// The extension with only the letters A-Z lower-cased: "a.JPG" gives ".jpg", "a" gives "".
QString fileExtension(const QString &path, PathStyle style = nativePathStyle());
// Removes one trailing separator from `path`; the Unix root "/" is kept.
void nobackslash(QString &path, PathStyle style = nativePathStyle());
// `folder` and `name` with exactly one separator between them; `name` alone for an empty folder.
QString joinPath(const QString &folder, const QString &name, PathStyle style = nativePathStyle());
// `text`, or when longer than `n`: "..." and its last n - 3 characters ("..." alone for n < 3).
// A negative `n` counts as 0; lengths are never cut to 16 bits.
QString shortleft(const QString &text, int n);

// The size of a file in bytes (all 64 bits); 0 for a folder or a missing path.
qint64 fsize(const QString &path);

// The file-system questions makedirs asks. The default asks the disk; tests substitute a drive
// table of their own so that Windows paths can be checked anywhere.
class FolderSystem {
public:
    virtual ~FolderSystem() = default;
    virtual char kind(const QString &path) const;
    // Creates one folder level; true on success.
    virtual bool createFolder(const QString &path);
};

// 'n' when nothing of that name exists, 'd' for a folder, 'f' for anything else.
char pathkind(const QString &path);

// True when the folder `path` exists afterwards, creating missing parents as needed. Never
// raises; a folder that cannot be created answers false.
bool makedirs(QString path, PathStyle style = nativePathStyle());
bool makedirs(QString path, PathStyle style, FolderSystem &system);
