#include "platform/ProfileFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <optional>
#include <vector>

#include <QByteArray>
#include <QByteArrayView>
#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <sys/stat.h>

#include "platform/Failure.h"

namespace profiledetail {

// What the file at the path was when it was read; a different stamp means it has changed since.
struct Stamp {
    bool present = false; // something is at the path (or could not be looked at)
    bool regular = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified {};
    timespec changed {};

    bool operator==(const Stamp &o) const
    {
        return present == o.present && regular == o.regular && device == o.device
            && inode == o.inode && size == o.size && modified.tv_sec == o.modified.tv_sec
            && modified.tv_nsec == o.modified.tv_nsec && changed.tv_sec == o.changed.tv_sec
            && changed.tv_nsec == o.changed.tv_nsec;
    }
};

// Byte offsets of one "[name]" line's name and of the lines that belong to it.
struct Section {
    qsizetype nameBegin;
    qsizetype nameEnd;
    qsizetype bodyBegin;
    qsizetype bodyEnd;
};

struct Snapshot {
    Stamp stamp;
    // False when something is at the path that we cannot read: replacing it would lose it.
    bool readable = true;
    QByteArray bytes;
    std::vector<Section> sections;
};

} // namespace profiledetail

using profiledetail::Section;
using profiledetail::Snapshot;
using profiledetail::Stamp;

namespace {

constexpr qsizetype maxStringLength = 2047;
const QByteArray utf8Bom("\xEF\xBB\xBF");

char asciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

QByteArrayView trimmed(QByteArrayView v)
{
    qsizetype begin = 0;
    qsizetype end = v.size();
    while (begin < end && isBlank(v[begin]))
        ++begin;
    while (end > begin && isBlank(v[end - 1]))
        --end;
    return v.sliced(begin, end - begin);
}

// One line of the file: lines end at '\n', and a '\r' before it is part of the line end.
struct Line {
    qsizetype begin;
    qsizetype contentEnd;
    qsizetype next;
};

Line lineAt(const QByteArray &bytes, qsizetype pos, qsizetype limit)
{
    const char *data = bytes.constData();
    const void *newline = std::memchr(data + pos, '\n', size_t(limit - pos));
    if (!newline)
        return { pos, limit, limit };
    const qsizetype end = static_cast<const char *>(newline) - data;
    const qsizetype contentEnd = (end > pos && data[end - 1] == '\r') ? end - 1 : end;
    return { pos, contentEnd, end + 1 };
}

QByteArrayView contentOf(const QByteArray &bytes, const Line &line)
{
    qsizetype begin = line.begin;
    // Editors on Windows start UTF-8 files with a byte order mark; it is not part of the first
    // line.
    if (begin == 0 && bytes.startsWith(utf8Bom))
        begin = std::min<qsizetype>(utf8Bom.size(), line.contentEnd);
    return QByteArrayView(bytes).sliced(begin, line.contentEnd - begin);
}

std::optional<QByteArrayView> sectionName(QByteArrayView content)
{
    const QByteArrayView text = trimmed(content);
    if (!text.startsWith('['))
        return std::nullopt;
    const qsizetype close = text.indexOf(']');
    if (close < 0)
        return std::nullopt;
    return trimmed(text.sliced(1, close - 1));
}

std::vector<Section> findSections(const QByteArray &bytes)
{
    std::vector<Section> sections;
    const qsizetype size = bytes.size();
    for (qsizetype pos = 0; pos < size;) {
        const Line line = lineAt(bytes, pos, size);
        if (const auto name = sectionName(contentOf(bytes, line))) {
            if (!sections.empty())
                sections.back().bodyEnd = line.begin;
            const qsizetype nameBegin = name->data() - bytes.constData();
            sections.push_back({ nameBegin, nameBegin + name->size(), line.next, size });
        }
        pos = line.next;
    }
    return sections;
}

Stamp stampOf(const QString &path)
{
    Stamp stamp;
    struct stat info { };
    if (::stat(QFile::encodeName(path).constData(), &info) != 0) {
        // Anything but "not there" means something may be there that we could not look at.
        stamp.present = errno != ENOENT && errno != ENOTDIR;
        return stamp;
    }
    stamp.present = true;
    stamp.regular = S_ISREG(info.st_mode);
    stamp.device = info.st_dev;
    stamp.inode = info.st_ino;
    stamp.size = info.st_size;
    stamp.modified = info.st_mtim;
    stamp.changed = info.st_ctim;
    return stamp;
}

std::shared_ptr<Snapshot> makeSnapshot(Stamp stamp, QByteArray bytes)
{
    auto snapshot = std::make_shared<Snapshot>();
    snapshot->stamp = stamp;
    snapshot->sections = findSections(bytes);
    snapshot->bytes = std::move(bytes);
    return snapshot;
}

std::shared_ptr<Snapshot> loadSnapshot(const QString &path, Stamp stamp)
{
    if (!stamp.present)
        return makeSnapshot(stamp, {});
    QFile file(path);
    // Only a regular file is read: a folder, a device or a pipe at the path is not a settings file.
    if (stamp.regular && file.open(QIODevice::ReadOnly)) {
        QByteArray bytes = file.readAll();
        if (file.error() == QFileDevice::NoError)
            return makeSnapshot(stamp, std::move(bytes));
    }
    auto unreadable = std::make_shared<Snapshot>();
    unreadable->stamp = stamp;
    unreadable->readable = false;
    return unreadable;
}

// A section or key name as asked for, ready for fast comparison with the file's bytes.
struct Name {
    explicit Name(const QString &name) : text(name.trimmed()), utf8(text.toUtf8())
    {
        ascii = std::all_of(utf8.cbegin(), utf8.cend(), [](char c) { return uchar(c) < 0x80; });
    }

    bool matches(QByteArrayView stored) const
    {
        const bool storedAscii
            = std::all_of(stored.begin(), stored.end(), [](char c) { return uchar(c) < 0x80; });
        if (ascii && storedAscii) {
            if (stored.size() != utf8.size())
                return false;
            for (qsizetype i = 0; i < stored.size(); ++i) {
                if (asciiLower(stored[i]) != asciiLower(utf8[i]))
                    return false;
            }
            return true;
        }
        return QString::compare(QString::fromUtf8(stored), text, Qt::CaseInsensitive) == 0;
    }

    QString text;
    QByteArray utf8;
    bool ascii = true;
};

// Where a key stands in the file, or where a new key of that section would go.
struct Lookup {
    bool found = false;
    qsizetype lineBegin = 0;
    qsizetype contentEnd = 0;
    QByteArrayView key;
    QByteArrayView value;
    bool sectionFound = false;
    qsizetype insertAt = 0; // after the last non-blank line of the first section of that name
};

Lookup lookup(const Snapshot &snapshot, const Name &section, const Name &key)
{
    Lookup result;
    const QByteArray &bytes = snapshot.bytes;
    for (const Section &candidate : snapshot.sections) {
        const QByteArrayView name = QByteArrayView(bytes).sliced(
            candidate.nameBegin, candidate.nameEnd - candidate.nameBegin);
        if (!section.matches(name))
            continue;
        const bool first = !result.sectionFound;
        if (first) {
            result.sectionFound = true;
            result.insertAt = candidate.bodyBegin;
        }
        for (qsizetype pos = candidate.bodyBegin; pos < candidate.bodyEnd;) {
            const Line line = lineAt(bytes, pos, candidate.bodyEnd);
            pos = line.next;
            const QByteArrayView content = trimmed(contentOf(bytes, line));
            if (content.isEmpty())
                continue;
            if (first)
                result.insertAt = line.next;
            const qsizetype equals = content.indexOf('=');
            if (equals < 0)
                continue;
            const QByteArrayView lineKey = trimmed(content.first(equals));
            if (lineKey.isEmpty() || !key.matches(lineKey))
                continue;
            result.found = true;
            result.lineBegin = line.begin;
            result.contentEnd = line.contentEnd;
            result.key = lineKey;
            result.value = trimmed(content.sliced(equals + 1));
            return result;
        }
    }
    return result;
}

// The profile functions drop one pair of matching quotes around a value.
QByteArrayView unquoted(QByteArrayView value)
{
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'')
        && value.back() == value.front())
        return value.sliced(1, value.size() - 2);
    return value;
}

QString decodeUpTo(QByteArrayView text, qsizetype maxLength)
{
    // Decode only a prefix that surely holds maxLength characters (at most 3 bytes per UTF-16
    // unit, plus a sequence cut at the end), so a huge value costs no more than a short one.
    const qsizetype prefix = std::min(text.size(), 3 * maxLength + 8);
    QString decoded = QString::fromUtf8(text.first(prefix));
    if (decoded.size() > maxLength) {
        decoded.truncate(maxLength);
        if (decoded.back().isHighSurrogate())
            decoded.chop(1);
    }
    return decoded;
}

std::optional<int> parseHex(QByteArrayView digits)
{
    if (digits.isEmpty())
        return std::nullopt;
    quint64 value = 0;
    for (const char c : digits) {
        const int digit = hexDigit(c);
        if (digit < 0)
            return std::nullopt;
        value = value * 16 + quint64(digit);
        if (value > 0xFFFFFFFFull)
            return std::nullopt;
    }
    // A hexadecimal number is a 32-bit pattern: 0xFFFFFFFF is -1.
    return int(quint32(value));
}

std::optional<int> parseDecimal(QByteArrayView text)
{
    bool negative = false;
    if (!text.isEmpty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text = text.sliced(1);
    }
    if (text.isEmpty())
        return std::nullopt;
    qint64 value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > qint64(1) << 31)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value > std::numeric_limits<int>::max())
        return std::nullopt;
    return int(value);
}

std::optional<int> parseInteger(QByteArrayView text)
{
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        return parseHex(text.sliced(2));
    if (text.startsWith('$'))
        return parseHex(text.sliced(1));
    return parseDecimal(text);
}

// The line break to put before new text at pos, so that it starts a line of its own.
QByteArray breakBefore(const QByteArray &bytes, qsizetype pos)
{
    if (pos == 0 || (pos == utf8Bom.size() && bytes.startsWith(utf8Bom)))
        return {};
    if (bytes[pos - 1] == '\n')
        return {};
    if (bytes[pos - 1] == '\r')
        return "\n";
    return "\r\n";
}

// A value is written bare unless reading it back would lose something: blanks at its ends or a
// pair of quotes around it are kept by quoting the whole value.
QByteArray formatValue(const QString &value)
{
    const QByteArray bytes = value.toUtf8();
    if (bytes.isEmpty())
        return bytes;
    const bool blankEnds = isBlank(bytes.front()) || isBlank(bytes.back());
    if (!blankEnds && unquoted(bytes).size() == bytes.size())
        return bytes;
    return '"' + bytes + '"';
}

bool hasLineBreak(const QString &text)
{
    return text.contains('\n') || text.contains('\r');
}

} // namespace

ProfileFile::ProfileFile(QString path) : filePath(std::move(path)) { }

QString ProfileFile::path() const
{
    return filePath;
}

std::shared_ptr<const Snapshot> ProfileFile::current() const
{
    const Stamp stamp = stampOf(filePath);
    if (!cache || !(cache->stamp == stamp))
        cache = loadSnapshot(filePath, stamp);
    return cache;
}

void ProfileFile::failWrite() const
{
    throw Failure("Unable to write to " + QDir::toNativeSeparators(filePath));
}

QString ProfileFile::readString(
    const QString &section, const QString &key, const QString &def) const
{
    const auto snapshot = current();
    const Lookup found = lookup(*snapshot, Name(section), Name(key));
    if (!found.found)
        return def;
    return decodeUpTo(unquoted(found.value), maxStringLength);
}

int ProfileFile::readInteger(const QString &section, const QString &key, int def) const
{
    const auto snapshot = current();
    const Lookup found = lookup(*snapshot, Name(section), Name(key));
    if (!found.found)
        return def;
    return parseInteger(unquoted(found.value)).value_or(def);
}

bool ProfileFile::readBool(const QString &section, const QString &key, bool def) const
{
    return readInteger(section, key, def ? 1 : 0) != 0;
}

void ProfileFile::writeString(const QString &section, const QString &key, const QString &value)
{
    const Name sectionName(section);
    const Name keyName(key);
    // Names and values that a line-based file cannot hold are refused rather than written so
    // that they read back as something else or break the lines after them.
    if (sectionName.text.isEmpty() || hasLineBreak(sectionName.text)
        || sectionName.text.contains(']') || keyName.text.isEmpty() || hasLineBreak(keyName.text)
        || keyName.text.contains('=') || keyName.text.startsWith('[') || hasLineBreak(value))
        failWrite();

    qsizetype from = 0;
    qsizetype to = 0;
    QByteArray insert;
    {
        const auto snapshot = current();
        // Whatever is at the path and cannot be read would be lost by replacing it.
        if (!snapshot->readable)
            failWrite();
        const QByteArray &old = snapshot->bytes;
        const QByteArray formatted = formatValue(value);
        const Lookup found = lookup(*snapshot, sectionName, keyName);
        if (found.found) {
            // The key keeps the file's own spelling; only its value changes.
            from = found.lineBegin;
            to = found.contentEnd;
            insert = found.key.toByteArray() + '=' + formatted;
        } else if (found.sectionFound) {
            from = to = found.insertAt;
            insert = breakBefore(old, from) + keyName.utf8 + '=' + formatted + "\r\n";
        } else {
            from = to = old.size();
            insert = breakBefore(old, from) + '[' + sectionName.utf8 + "]\r\n" + keyName.utf8 + '='
                + formatted + "\r\n";
        }
    }

    // The cached bytes are edited in place (a copy of a large file would cost more than writing
    // it) and the cache dropped: until the write succeeds they do not stand for the file.
    QByteArray bytes = cache->bytes;
    cache.reset();
    bytes.replace(from, to - from, insert);

    QSaveFile out(filePath);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit())
        failWrite();
    cache = makeSnapshot(stampOf(filePath), std::move(bytes));
}

void ProfileFile::writeInteger(const QString &section, const QString &key, int value)
{
    writeString(section, key, QString::number(value));
}

void ProfileFile::writeBool(const QString &section, const QString &key, bool value)
{
    writeString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}
