#pragma once

#include <memory>

#include <QString>

namespace profiledetail {
struct Snapshot;
}

// Keys of an INI file read and written the way the Windows profile functions do it: section and
// key names compared without case, blanks around keys and values ignored, the first of duplicate
// sections or keys used, every line the program does not write kept byte for byte. Each write
// reaches the disk at once and atomically (temporary file renamed over the old one), so a failed
// write leaves the old file as it was. The parsed file is kept between reads and parsed again
// only when the file on disk has changed.
class ProfileFile {
public:
    explicit ProfileFile(QString path);

    QString path() const;

    // The value's text, without surrounding blanks or matching quotes, cut at 2047 characters.
    QString readString(const QString &section, const QString &key, const QString &def) const;
    // Decimal, or hexadecimal after "0x"/"0X" or "$"; def where the text is not such a number or
    // does not fit 32 bits.
    int readInteger(const QString &section, const QString &key, int def) const;
    // Any integer other than 0 is true.
    bool readBool(const QString &section, const QString &key, bool def) const;

    // Each write throws Failure("Unable to write to <path>") when the file cannot be written;
    // the file on disk is then unchanged.
    void writeString(const QString &section, const QString &key, const QString &value);
    void writeInteger(const QString &section, const QString &key, int value);
    void writeBool(const QString &section, const QString &key, bool value); // "1" / "0"

private:
    std::shared_ptr<const profiledetail::Snapshot> current() const;
    [[noreturn]] void failWrite() const;

    QString filePath;
    mutable std::shared_ptr<profiledetail::Snapshot> cache;
};
