// Feeds every input to the recent-files history as its three files, hand-edited, cut short or
// binary: loaded under a menu, one path added, then loaded again by a second history as at the
// next start, which must show the same entries and limits. The files sit in a temporary folder
// made once and are rewritten for each input.
//
// An input holds the three files: byte 0 is the length of the count file (max.his), byte 1 that
// of the length file (maxlen.his), 255 meaning that the file is missing; their bytes follow, and
// the rest is the list file (files.his).

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>

#include <QApplication>
#include <QByteArrayView>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>

#include "FuzzSupport.h"
#include "app/TMYcustomhistory.h"
#include "platform/Prompts.h"

namespace {

// Every box is answered as by a user who presses OK or cancels.
class SilentPrompts : public Prompts {
public:
    Answer message(const QString &, const QString &, Icon, Buttons, Answer) override
    {
        return Answer::Ok;
    }
    std::optional<FileAnswer> openPicture(const FileRequest &) override { return std::nullopt; }
    std::optional<FileAnswer> savePicture(const FileRequest &) override { return std::nullopt; }
    std::optional<QColor> chooseColor(const QColor &) override { return std::nullopt; }
    std::optional<QString> inputBox(const QString &, const QString &, const QString &) override
    {
        return std::nullopt;
    }
    int runDialog(QDialog &) override { return 0; }
    void beep() override { }
};

QDir folder;

// Writes the file `name` with `bytes`, or removes it when there are none.
void placeFile(const QString &name, std::optional<QByteArrayView> bytes)
{
    const QString path = folder.filePath(name);
    if (bytes)
        writeInputFile(path, *bytes);
    else
        QFile::remove(path);
}

void placeFiles(QByteArrayView input)
{
    std::optional<QByteArrayView> count;
    std::optional<QByteArrayView> length;
    QByteArrayView rest = input;
    if (input.size() >= 2) {
        rest = input.sliced(2);
        const auto take = [&rest](char size) -> std::optional<QByteArrayView> {
            if (uchar(size) == 255)
                return std::nullopt;
            const QByteArrayView part = rest.first(std::min(qsizetype(uchar(size)), rest.size()));
            rest = rest.sliced(part.size());
            return part;
        };
        count = take(input[0]);
        length = take(input[1]);
    }
    placeFile(QStringLiteral("max.his"), count);
    placeFile(QStringLiteral("maxlen.his"), length);
    placeFile(QStringLiteral("files.his"), rest);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***argv)
{
    // The history's menus are widgets.
    startFuzzApplication<QApplication>(**argv);
    static QTemporaryDir temporary;
    require(temporary.isValid(), "a temporary folder can be made");
    folder = QDir(temporary.path());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    placeFiles(QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size)));
    SilentPrompts prompts;
    QMenu openMenu;
    TMYcustomhistory history(prompts, folder.path());
    history.setMenuitem(&openMenu);
    history.loadhistory();
    require(history.maxhist() >= 0 && history.maxhist() <= 100, "the count limit is in range");
    require(
        history.maxitemlen() >= 0 && history.maxitemlen() <= 10000, "the length limit is in range");
    // The menu holds ">>>" and then one item per entry shown.
    require(openMenu.actions().size() - 1
            == std::min(history.items().size(), qsizetype(history.maxhist())),
        "the menu shows the entries up to the count limit");

    const QString added = QStringLiteral("/fuzz/added.jpg");
    history.additem(added);
    require(history.maxhist() == 0 || history.items().constFirst() == added,
        "an added path is the first entry");

    TMYcustomhistory next(prompts, folder.path());
    next.loadhistory();
    require(next.items() == history.items() && next.maxhist() == history.maxhist()
            && next.maxitemlen() == history.maxitemlen(),
        "the next start shows the same history");
    return 0;
}
