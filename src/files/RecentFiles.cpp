#include "files/RecentFiles.h"

#include <algorithm>
#include <exception>
#include <optional>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "files/pathhelpers.h"
#include "platform/AtomicFile.h"
#include "platform/Failure.h"
#include "platform/Prompts.h"
#include "platform/TextRules.h"

namespace {

constexpr int defaultMaxhist = 10;
constexpr int defaultMaxitemlen = 2000;

// The lines of a text file as bytes: split at CR LF, CR or LF; a last line without a line end
// counts. Nothing when the file does not exist; Failure when it exists but cannot be read. Bytes,
// not text: CR and LF never occur inside a UTF-8 sequence, and an entry that is not valid UTF-8
// or holds a NUL byte must survive, with the entries after it.
std::optional<QList<QByteArray>> readLines(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return std::nullopt;
    QFile file(path);
    // Only a regular file is opened: a named pipe in its place would wait for a writer.
    if (!info.isFile() || !file.open(QIODevice::ReadOnly))
        throw Failure(QStringLiteral("Cannot open file %1").arg(QDir::toNativeSeparators(path)));
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw Failure(QStringLiteral("Cannot open file %1").arg(QDir::toNativeSeparators(path)));

    QList<QByteArray> lines;
    qsizetype start = 0;
    const qsizetype size = data.size();
    for (qsizetype i = 0; i < size; ++i) {
        const char c = data[i];
        if (c != '\r' && c != '\n')
            continue;
        lines.append(data.mid(start, i - start));
        if (c == '\r' && i + 1 < size && data[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < size)
        lines.append(data.mid(start));
    return lines;
}

// An entry as the menu can show it: 8-bit text in the system code page, which is UTF-8 here,
// with a NUL byte shown as the replacement character that stands for bytes that are no text.
QString shownText(const QByteArray &bytes)
{
    return QString::fromUtf8(bytes).replace(QChar(0), QChar::ReplacementCharacter);
}

// A file that already holds these bytes is left as it is: the list is written at every start,
// and replacing an unchanged file would only wait for the disk.
bool holds(const QString &path, const QByteArray &data)
{
    const QFileInfo info(path);
    QFile file(path);
    return info.isFile() && info.size() == data.size() && file.open(QIODevice::ReadOnly)
        && file.readAll() == data;
}

void writeFile(const QString &path, const QByteArray &data)
{
    if (holds(path, data))
        return;
    if (!writeFileAtomically(path, data))
        throw Failure(QStringLiteral("Cannot create file %1").arg(QDir::toNativeSeparators(path)));
}

} // namespace

RecentFiles::RecentFiles(Prompts &prompts, const QString &exefolder, QObject *parent)
    : QObject(parent), prompts(prompts), exefolder(exefolder)
{
}

void RecentFiles::setMaxhist(int value)
{
    maxCount = std::max(value, 0);
}

void RecentFiles::setMaxitemlen(int value)
{
    maxLength = std::max(value, 0);
}

QString RecentFiles::filePath(const QString &name) const
{
    return joinPath(exefolder, name);
}

void RecentFiles::load()
{
    maxCount = readNumber(countName, defaultMaxhist, highestMaxhist);
    maxLength = readNumber(lengthName, defaultMaxitemlen, highestMaxitemlen);
    if (const auto lines = readLines(filePath(listName))) {
        list.clear();
        for (const QByteArray &line : *lines)
            list.append({ line, shownText(line) });
    }
}

int RecentFiles::readNumber(const QString &name, int fallback, int highest)
{
    const auto lines = readLines(filePath(name));
    if (!lines)
        return fallback;
    // A NUL byte ends a number, as it ends the text in C.
    const std::optional<int> value = lines->isEmpty()
        ? std::nullopt
        : parseDecimal(QString::fromLatin1(lines->constFirst().split('\0').constFirst()));
    // A hand-edited number outside the dialog's range counts as invalid, like any other
    // garbage: the user is told and the default holds, so no limit is ever negative or wrapped.
    if (!value || *value < 0 || *value > highest) {
        warnmsg(prompts, QStringLiteral("Invalid number in ") + name);
        return fallback;
    }
    return *value;
}

QStringList RecentFiles::items() const
{
    QStringList texts;
    texts.reserve(list.size());
    for (const Entry &entry : list)
        texts.append(entry.text);
    return texts;
}

void RecentFiles::additem(const QString &path)
{
    putOnTop({ path.toUtf8(), path });
}

QString RecentFiles::choose(qsizetype index)
{
    const Entry entry = list.at(index);
    putOnTop(entry);
    return entry.text;
}

void RecentFiles::putOnTop(const Entry &entry)
{
    // Latin-1 maps each byte to one character and back, so this compares the bytes themselves
    // with only A-Z folded, whether or not they are valid UTF-8.
    const QString key = QString::fromLatin1(entry.bytes);
    qsizetype found = -1;
    for (qsizetype i = list.size() - 1; i >= 0; --i) {
        if (equalIgnoringAZCase(QString::fromLatin1(list[i].bytes), key)) {
            found = i;
            break;
        }
    }
    if (found >= 0) {
        list.removeAt(found);
        list.prepend(entry);
    } else {
        list.prepend(entry);
        if (list.size() > maxCount)
            list.removeAt(maxCount);
    }
    changedAndWritten();
}

void RecentFiles::remove(qsizetype index)
{
    list.removeAt(index);
    changedAndWritten();
}

void RecentFiles::clear()
{
    list.clear();
    changedAndWritten();
}

void RecentFiles::changedAndWritten()
{
    emit changed();
    writeList();
}

void RecentFiles::setCountLimit(int value)
{
    maxCount = value;
    if (list.size() > maxCount)
        list.resize(maxCount);
    writeListThenLimit(countName, value);
}

void RecentFiles::setLengthLimit(int value)
{
    maxLength = value;
    writeListThenLimit(lengthName, value);
}

void RecentFiles::writeListThenLimit(const QString &name, int value)
{
    // Rebuilt even when nothing was cut, so that raising the limit shows the entries it allows;
    // the limit file is written even when the list file cannot be.
    std::exception_ptr failure;
    try {
        changedAndWritten();
    } catch (const Failure &) {
        failure = std::current_exception();
    }
    const QString path = filePath(name);
    try {
        writeFile(path, QByteArray::number(value) + "\r\n");
    } catch (const Failure &) {
        errormsg(prompts,
            QStringLiteral("Unable to save max history file %1!!")
                .arg(QDir::toNativeSeparators(path)));
    }
    if (failure)
        std::rethrow_exception(failure);
}

void RecentFiles::writeList()
{
    QByteArray data;
    for (const Entry &entry : std::as_const(list)) {
        data += entry.bytes;
        data += "\r\n";
    }
    writeFile(filePath(listName), data);
}
