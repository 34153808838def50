#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

class Prompts;

// The recent-files list and its two limits (how many entries, how long a shown entry), kept in
// three small text files in the executable's folder. Entries keep the bytes they were read as,
// so that a path which is not valid UTF-8, or holds a NUL byte, is written back unchanged. The
// menu that shows the list (TMYcustomhistory) follows `changed`.
class RecentFiles : public QObject {
    Q_OBJECT

public:
    // The most the limits' dialogs take.
    static constexpr int highestMaxhist = 100;
    static constexpr int highestMaxitemlen = 10000;

    RecentFiles(Prompts &prompts, const QString &exefolder, QObject *parent = nullptr);

    int maxhist() const { return maxCount; }
    // A negative count is taken as 0.
    void setMaxhist(int value);
    int maxitemlen() const { return maxLength; }
    // A negative length is taken as 0.
    void setMaxitemlen(int value);
    QString histname() const { return listName; }
    void setHistname(const QString &name) { listName = name; }
    QString maxhistname() const { return countName; }
    void setMaxhistname(const QString &name) { countName = name; }
    QString maxitemlenname() const { return lengthName; }
    void setMaxitemlenname(const QString &name) { lengthName = name; }

    // The entries as shown, most recent first.
    QStringList items() const;
    qsizetype count() const { return list.size(); }

    // Reads the three files; a number file holding no number in the dialog's range is reported
    // and its default holds. A file that exists but cannot be read throws Failure.
    void load();
    // Puts `path` at the top (an entry equal but for the case of A-Z moves there), then writes
    // the list file. Throws Failure when it cannot be written; the list has changed all the same.
    void additem(const QString &path);
    // Moves entry `index` to the top and answers its text; writes as additem does.
    QString choose(qsizetype index);
    void remove(qsizetype index);
    void clear();
    // New limits; a lower count drops the entries past it. The list file is written first and
    // the limit's own file then, even when the list file cannot be; both failures are reported
    // ("Unable to save max history file ...!!" for the limit's, a Failure for the list's).
    void setCountLimit(int value);
    void setLengthLimit(int value);

    // Writes the list file unless it already holds the list; throws Failure ("Cannot create
    // file ...").
    void writeList();

signals:
    // The entries or a limit changed; the list file is written right after.
    void changed();

private:
    struct Entry {
        QByteArray bytes;
        QString text;
    };

    void putOnTop(const Entry &entry);
    void changedAndWritten();
    void writeListThenLimit(const QString &name, int value);
    int readNumber(const QString &name, int fallback, int highest);
    QString filePath(const QString &name) const;

    Prompts &prompts;
    QString exefolder;
    int maxCount = 10;
    int maxLength = 2000;
    QString listName = QStringLiteral("files.his");
    QString countName = QStringLiteral("max.his");
    QString lengthName = QStringLiteral("maxlen.his");
    QList<Entry> list;
};
