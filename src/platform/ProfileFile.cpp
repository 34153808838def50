#include "platform/ProfileFile.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <vector>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "platform/AtomicFile.h"
#include "platform/Failure.h"
#include "platform/TextRules.h"

namespace {

constexpr qsizetype maxStringLength = 2047;
const QByteArray utf8Bom("\xEF\xBB\xBF");

// One line of the file by byte offsets: lines end at '\n', and a '\r' before it belongs to the
// line end. The content leaves out a byte order mark at the very start.
struct Line {
    qsizetype begin;
    qsizetype contentEnd;
    qsizetype next;
};

std::vector<Line> splitLines(const QByteArray &bytes)
{
    std::vector<Line> lines;
    for (qsizetype pos = 0; pos < bytes.size();) {
        const qsizetype newline = bytes.indexOf('\n', pos);
        const qsizetype end = newline < 0 ? bytes.size() : newline;
        const qsizetype contentEnd = end > pos && bytes[end - 1] == '\r' ? end - 1 : end;
        const qsizetype begin
            = pos == 0 && bytes.startsWith(utf8Bom) ? std::min(utf8Bom.size(), contentEnd) : pos;
        lines.push_back({ begin, contentEnd, newline < 0 ? end : end + 1 });
        pos = lines.back().next;
    }
    return lines;
}

std::optional<QByteArray> sectionName(const QByteArray &content)
{
    const qsizetype close = content.indexOf(']');
    if (!content.startsWith('[') || close < 0)
        return std::nullopt;
    return content.mid(1, close - 1).trimmed();
}

bool sameName(const QByteArray &stored, const QString &wanted)
{
    return QString::compare(QString::fromUtf8(stored), wanted, Qt::CaseInsensitive) == 0;
}

// Where a key stands in the file, or where a new key of its section would go.
struct Lookup {
    std::optional<Line> line;
    QByteArray key; // the file's own spelling
    QByteArray value;
    std::optional<qsizetype> insertAt; // after the last non-blank line of the first such section
};

Lookup lookup(const QByteArray &bytes, const QString &section, const QString &key)
{
    Lookup result;
    bool inSection = false;
    bool inFirstSection = false;
    for (const Line &line : splitLines(bytes)) {
        const QByteArray content = bytes.mid(line.begin, line.contentEnd - line.begin).trimmed();
        if (const auto name = sectionName(content)) {
            inSection = sameName(*name, section);
            inFirstSection = inSection && !result.insertAt;
            if (inFirstSection)
                result.insertAt = line.next;
            continue;
        }
        if (!inSection || content.isEmpty())
            continue;
        if (inFirstSection)
            result.insertAt = line.next;
        const qsizetype equals = content.indexOf('=');
        const QByteArray lineKey = content.left(equals).trimmed();
        if (equals < 0 || lineKey.isEmpty() || !sameName(lineKey, key))
            continue;
        result.line = line;
        result.key = lineKey;
        result.value = content.mid(equals + 1).trimmed();
        return result;
    }
    return result;
}

// The profile functions drop one pair of matching quotes around a value.
QByteArray unquoted(const QByteArray &value)
{
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'')
        && value.back() == value.front())
        return value.mid(1, value.size() - 2);
    return value;
}

std::optional<int> parseHex(const QByteArray &digits)
{
    bool ok = false;
    // A hexadecimal number is a 32-bit pattern: 0xFFFFFFFF is -1.
    const uint value = digits.toUInt(&ok, 16);
    const bool hexOnly
        = std::all_of(digits.begin(), digits.end(), [](char c) { return std::isxdigit(uchar(c)); });
    return ok && hexOnly ? std::optional<int>(int(value)) : std::nullopt;
}

std::optional<int> parseInteger(const QByteArray &text)
{
    if (text.size() > 2 && (text.startsWith("0x") || text.startsWith("0X")))
        return parseHex(text.mid(2));
    if (text.startsWith('$'))
        return parseHex(text.mid(1));
    return parseDecimal(QByteArrayView(text));
}

// The line break to put before new text at pos, so that it starts a line of its own.
QByteArray breakBefore(const QByteArray &bytes, qsizetype pos)
{
    if (pos == 0 || (pos == utf8Bom.size() && bytes.startsWith(utf8Bom)) || bytes[pos - 1] == '\n')
        return {};
    return bytes[pos - 1] == '\r' ? "\n" : "\r\n";
}

// A value is written bare unless reading it back would lose something: blanks at its ends or a
// pair of quotes around it are kept by quoting the whole value.
QByteArray formatValue(const QString &value)
{
    const QByteArray bytes = value.toUtf8();
    if (bytes.trimmed().size() == bytes.size() && unquoted(bytes).size() == bytes.size())
        return bytes;
    return '"' + bytes + '"';
}

// Names and values that a line-based file cannot hold, which would read back as something else
// or break the lines after them.
bool fitsOneLine(const QString &section, const QString &key, const QString &value)
{
    const auto oneLine
        = [](const QString &text) { return !text.contains(u'\n') && !text.contains(u'\r'); };
    return !section.isEmpty() && oneLine(section) && !section.contains(u']') && !key.isEmpty()
        && oneLine(key) && !key.contains(u'=') && !key.startsWith(u'[') && oneLine(value);
}

void setEntry(QByteArray &bytes, const QString &section, const QString &key, const QString &value)
{
    const Lookup found = lookup(bytes, section, key);
    const QByteArray formatted = formatValue(value);
    if (found.line) {
        const Line line = *found.line;
        bytes.replace(line.begin, line.contentEnd - line.begin, found.key + '=' + formatted);
    } else if (found.insertAt) {
        bytes.insert(*found.insertAt,
            breakBefore(bytes, *found.insertAt) + key.toUtf8() + '=' + formatted + "\r\n");
    } else {
        bytes += breakBefore(bytes, bytes.size()) + '[' + section.toUtf8() + "]\r\n" + key.toUtf8()
            + '=' + formatted + "\r\n";
    }
}

// The file's bytes, empty when nothing is there; nothing for whatever is at the path and cannot
// be read (a folder, a device, a pipe), which is no settings file and must not be replaced.
std::optional<QByteArray> readFile(const QString &path)
{
    const QFileInfo info(path);
    QFile file(path);
    if (!info.exists() && !info.isSymLink())
        return QByteArray();
    if (!info.isFile() || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes = file.readAll();
    return file.error() == QFileDevice::NoError ? std::optional(bytes) : std::nullopt;
}

std::optional<QByteArray> valueOf(const QString &path, const QString &section, const QString &key)
{
    const QByteArray bytes = readFile(path).value_or(QByteArray());
    const Lookup found = lookup(bytes, section.trimmed(), key.trimmed());
    if (!found.line)
        return std::nullopt;
    return unquoted(found.value);
}

} // namespace

ProfileFile::ProfileFile(QString path) : filePath(std::move(path)) { }

QString ProfileFile::readString(
    const QString &section, const QString &key, const QString &def) const
{
    const auto value = valueOf(filePath, section, key);
    if (!value)
        return def;
    QString text = QString::fromUtf8(*value);
    if (text.size() > maxStringLength) {
        text.truncate(maxStringLength);
        // The cut never leaves half of a character that takes two UTF-16 units.
        if (text.back().isHighSurrogate())
            text.chop(1);
    }
    return text;
}

bool ProfileFile::holdsText(const QString &section, const QString &key) const
{
    const auto value = valueOf(filePath, section, key);
    return !value || QString::fromUtf8(*value).toUtf8() == *value;
}

int ProfileFile::readInteger(const QString &section, const QString &key, int def) const
{
    const auto value = valueOf(filePath, section, key);
    return value ? parseInteger(*value).value_or(def) : def;
}

bool ProfileFile::readBool(const QString &section, const QString &key, bool def) const
{
    return readInteger(section, key, def ? 1 : 0) != 0;
}

void ProfileFile::writeString(const QString &section, const QString &key, const QString &value)
{
    write({ { section, key, value } });
}

void ProfileFile::writeInteger(const QString &section, const QString &key, int value)
{
    writeString(section, key, QString::number(value));
}

void ProfileFile::writeBool(const QString &section, const QString &key, bool value)
{
    writeInteger(section, key, value ? 1 : 0);
}

void ProfileFile::write(const QList<Entry> &entries)
{
    const auto fail
        = [this] { throw Failure("Unable to write to " + QDir::toNativeSeparators(filePath)); };
    std::optional<QByteArray> bytes = readFile(filePath);
    if (!bytes)
        fail();
    for (const Entry &entry : entries) {
        const QString section = entry.section.trimmed();
        const QString key = entry.key.trimmed();
        // One value the file cannot hold must not cost the others: its key keeps what it had.
        if (!fitsOneLine(section, key, entry.value))
            continue;
        setEntry(*bytes, section, key, entry.value);
    }
    if (!writeFileAtomically(filePath, *bytes))
        fail();
}
