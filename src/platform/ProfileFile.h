#pragma once

#include <QList>
#include <QString>

// Keys of an INI file read and written the way the Windows profile functions do it: section and
// key names compared without case, blanks around keys and values ignored, the first of duplicate
// sections or keys used, every line the program does not write kept byte for byte. Each write
// reaches the disk at once and atomically (temporary file renamed over the old one), so a failed
// write leaves the old file as it was. Every read looks at the file as it is now.
class ProfileFile {
public:
    struct Entry {
        QString section;
        QString key;
        QString value;
    };

    explicit ProfileFile(QString path);

    QString path() const { return filePath; }

    // The value's text, without surrounding blanks or matching quotes, cut at 2047 characters.
    QString readString(const QString &section, const QString &key, const QString &def) const;
    // False when the key holds bytes that are not UTF-8 text, which readString can only
    // approximate; true when it holds text or is absent.
    bool holdsText(const QString &section, const QString &key) const;
    // Decimal, or hexadecimal after "0x"/"0X" or "$"; def where the text is not such a number or
    // does not fit 32 bits.
    int readInteger(const QString &section, const QString &key, int def) const;
    // Any integer other than 0 is true.
    bool readBool(const QString &section, const QString &key, bool def) const;

    // Each write throws Failure("Unable to write to <path>") when the file cannot be written;
    // the file on disk is then unchanged. A name or value that cannot stand on one line (a line
    // break, "=" in a key, "]" in a section) is not written: that key keeps its earlier value or
    // stays absent, and the other keys are written.
    void writeString(const QString &section, const QString &key, const QString &value);
    void writeInteger(const QString &section, const QString &key, int value);
    void writeBool(const QString &section, const QString &key, bool value); // "1" / "0"
    // Several keys in one replace of the file: all that it can hold or, on failure, none.
    void write(const QList<Entry> &entries);

private:
    QString filePath;
};
