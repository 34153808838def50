// Feeds every input, as typed text, to the path helpers the location dialog validates it with.
// The string helpers run in both separator styles and must split and join as their comments
// promise. The text is then made absolute against a picked folder and cleaned as the dialog does,
// and makedirs runs on it against folders of its own, never the disk's: one set that refuses
// every new folder and one that grows as asked.

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include <QByteArrayView>
#include <QDir>
#include <QSet>
#include <QStringList>

#include "FuzzSupport.h"
#include "files/pathhelpers.h"

namespace {

QChar separator(PathStyle style)
{
    return style == PathStyle::Windows ? u'\\' : u'/';
}

bool endsAName(QChar c, PathStyle style)
{
    return c == separator(style) || (style == PathStyle::Windows && c == u':');
}

// The name is what follows the last separator (or a drive's colon), its extension the text from
// its last dot.
void checkNameParts(const QString &path, PathStyle style)
{
    const QString base = fnamenoext(path, style);
    const QString extension = fileExtension(path, style);
    const QString name = path.right(base.size() + extension.size());
    require(name.size() == base.size() + extension.size() && name.startsWith(base)
            && name.mid(base.size()).compare(extension, Qt::CaseInsensitive) == 0,
        "the name is its base and its extension");
    require(extension.isEmpty() || (extension.startsWith(u'.') && extension.count(u'.') == 1),
        "an extension is a dot and what follows the last one");
    for (const QChar c : name)
        require(!endsAName(c, style), "a name holds no separator");
    require(name.size() == path.size() || endsAName(path[path.size() - name.size() - 1], style),
        "a name follows the last separator");
}

void checkSeparators(const QString &text, PathStyle style)
{
    const QChar sep = separator(style);
    QString trimmed = text;
    nobackslash(trimmed, style);
    const bool unixRoot = style == PathStyle::Unix && text == u"/";
    require(trimmed == text ? unixRoot || !text.endsWith(sep)
                            : text.endsWith(sep) && trimmed == text.chopped(1),
        "one trailing separator is removed, the Unix root kept");

    qsizetype leading = 0;
    while (leading < text.size() && text[leading] == sep)
        ++leading;
    const QString bare = text.mid(leading);
    const QString folder = style == PathStyle::Windows ? QStringLiteral("C:\\Users\\me")
                                                       : QStringLiteral("/home/me");
    for (const QString &base : { QString(), QString(sep), folder, folder + sep }) {
        const QString joined = joinPath(base, text, style);
        const QString between = base.isEmpty() || base.endsWith(sep) ? QString() : QString(sep);
        require(joined == (base.isEmpty() ? text : base + between + bare),
            "a folder and a name are joined by exactly one separator");
    }
    const QString typedFolder = text.isEmpty() || text.endsWith(sep) ? text : text + sep;
    require(joinPath(text, QStringLiteral("name"), style) == typedFolder + QStringLiteral("name"),
        "a typed folder and a name are joined by exactly one separator");
}

void checkText(const QString &text)
{
    for (const int n : { -1, 0, 2, 3, 4, 16, 260 }) {
        const QString shortened = shortleft(text, n);
        if (text.size() <= std::max(n, 0)) {
            require(shortened == text, "a text that fits is kept");
        } else {
            require(shortened.size() == std::max(n, 3) && shortened.startsWith(u"...")
                    && text.endsWith(shortened.mid(3)),
                "a text too long is its end after \"...\"");
        }
    }
    const QString reversed = reversestring(text);
    require(reversed.size() == text.size() && reversestring(reversed) == text,
        "reversing twice gives the text back");
    for (const QString &sub : { QStringLiteral("/"), QStringLiteral("."), QStringLiteral("..") }) {
        const int at = lastpos(sub, text);
        require(at == 0 ? !text.contains(sub)
                        : text.mid(at - 1).startsWith(sub) && text.indexOf(sub, at) < 0,
            "lastpos finds the last occurrence");
    }
}

// Folders of its own, "/" and a home folder at first. When it grows, a folder is made only
// inside one that exists, as on a disk.
class Folders : public FolderSystem {
public:
    explicit Folders(bool grows) : grows(grows) { }

    char kind(const QString &path) const override { return folders.contains(path) ? 'd' : 'n'; }
    bool createFolder(const QString &path) override
    {
        if (!grows)
            return false;
        const qsizetype slash = path.lastIndexOf(u'/');
        require(slash >= 0 && kind(slash == 0 ? QStringLiteral("/") : path.left(slash)) == 'd',
            "a folder is made inside one that exists");
        folders.insert(path);
        made.append(path);
        return true;
    }

    QSet<QString> folders { QStringLiteral("/"), QStringLiteral("/home"),
        QStringLiteral("/home/me"), QStringLiteral("/home/me/Pictures") };
    QStringList made;

private:
    bool grows;
};

void checkMakedirs(const QString &typed)
{
    const QString picked = QStringLiteral("/home/me/Pictures");
    const QString location = QDir::cleanPath(
        typed.startsWith(u'/') ? typed : joinPath(picked, typed, PathStyle::Unix));

    Folders refusing(false);
    const bool existed = refusing.kind(location) == 'd';
    require(makedirs(location, PathStyle::Unix, refusing) == existed,
        "a folder that cannot be made is missing");

    Folders growing(true);
    require(makedirs(location, PathStyle::Unix, growing) && growing.kind(location) == 'd',
        "a missing folder is made");
    for (const QString &made : growing.made)
        require(made == location || location.startsWith(made + u'/'),
            "only the folder and its missing parents are made");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString typed
        = QString::fromUtf8(QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size)));
    for (const PathStyle style : { PathStyle::Unix, PathStyle::Windows }) {
        checkNameParts(typed, style);
        checkSeparators(typed, style);
    }
    checkText(typed);
    checkMakedirs(typed);
    return 0;
}
