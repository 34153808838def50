#include "app/CommandLine.h"

#include <QCommandLineParser>
#include <QDir>

#include "app/Settings.h"
#include "widgets/AboutText.h"
#include "widgets/ColorNames.h"

namespace {

struct Wrong {
    QString text;
};

QString absolute(const QString &path, const QString &currentFolder)
{
    return QDir::toNativeSeparators(QDir::cleanPath(QDir(currentFolder).absoluteFilePath(path)));
}

// "X,Y,W,H" with W and H at least 1, then what follows.
QRect rectangleOf(const QString &option, const QStringList &parts)
{
    const QString given = parts.join(u',');
    if (parts.size() < 4)
        throw Wrong { QStringLiteral("--%1 %2: expected X,Y,W,H").arg(option, given) };
    int numbers[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        numbers[i] = parts[i].trimmed().toInt(&ok);
        if (!ok)
            throw Wrong {
                QStringLiteral("--%1 %2: \"%3\" is not a whole number").arg(option, given, parts[i])
            };
    }
    if (numbers[2] <= 0 || numbers[3] <= 0)
        throw Wrong {
            QStringLiteral("--%1 %2: the width and height must be at least 1").arg(option, given)
        };
    return QRect(numbers[0], numbers[1], numbers[2], numbers[3]);
}

QRgb colorOf(const QString &given, const QString &text)
{
    if (text.startsWith(u'#') && text.size() == 7) {
        bool ok = false;
        const uint rgb = text.mid(1).toUInt(&ok, 16);
        if (ok)
            return qRgb(int(rgb >> 16), int(rgb >> 8) & 0xFF, int(rgb) & 0xFF);
    }
    if (const auto named = colorNamed(text))
        return *named;
    throw Wrong { QStringLiteral("--mark %1: unknown colour \"%2\" (a colour of the grid, such as "
                                 "Yellow or dark-red, or #RRGGBB)")
                      .arg(given, text) };
}

CommandLine::Mark markOf(const QString &given)
{
    const QStringList parts = given.split(u',');
    if (parts.size() > 5)
        throw Wrong { QStringLiteral("--mark %1: expected X,Y,W,H[,COLOUR]").arg(given) };
    return { rectangleOf(QStringLiteral("mark"), parts),
        // Without a colour, the window's default mark colour: a script never reads the settings, so
        // it gives the same result on every machine.
        parts.size() == 5 ? colorOf(given, parts[4].trimmed()) : Settings().markcol };
}

} // namespace

CommandLine readCommandLine(const QStringList &arguments, const QString &currentFolder)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Quillet marks up pictures the way a text marker tints paper.\n\n"
                       "Marking from a script, without a window:\n"
                       "  quillet --mark 120,80,400,24 --mark 120,140,400,24,Cyan shot.png "
                       "--output shot-marked.png"));
    // Not Qt's help option: that one brings --help-all and a page of the window system's options.
    const QCommandLineOption help(
        { QStringLiteral("h"), QStringLiteral("help") }, QStringLiteral("Displays this help."));
    parser.addOption(help);
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption mark(QStringLiteral("mark"),
        QStringLiteral("Marks the W by H picture pixels from (X, Y), in the given colour (a colour "
                       "of the grid, such as Yellow or dark-red, or #RRGGBB; red without one). "
                       "Marks apply in the order given."),
        QStringLiteral("X,Y,W,H[,COLOUR]"));
    const QCommandLineOption crop(QStringLiteral("crop"),
        QStringLiteral(
            "After the marks, keeps the W by H pixels from (X, Y), white off the picture."),
        QStringLiteral("X,Y,W,H"));
    const QCommandLineOption output(QStringLiteral("output"),
        QStringLiteral("Where the marked picture goes; its extension picks the format (.jpg, .png, "
                       "else bitmap)."),
        QStringLiteral("FILE"));
    parser.addOptions({ mark, crop, output });
    parser.addPositionalArgument(QStringLiteral("picture"),
        QStringLiteral("The picture to open: JPEG, bitmap, PNG or icon. Pictures after the first "
                       "are ignored."),
        QStringLiteral("[picture]"));

    const bool understood = parser.parse(arguments);
    const auto printing = [](const QString &text, int exitCode) {
        CommandLine line;
        line.text = text;
        line.exitCode = exitCode;
        return line;
    };
    if (parser.isSet(help))
        return printing(parser.helpText(), 0);
    if (parser.isSet(version))
        return printing(versionLine() + QLatin1Char('\n'), 0);
    const auto wrong = [&](const QString &text) {
        return printing(QStringLiteral("quillet: ") + text + QLatin1Char('\n'), 2);
    };
    if (!understood)
        return wrong(parser.errorText());
    CommandLine line;
    const QStringList pictures = parser.positionalArguments();
    if (!pictures.isEmpty())
        line.picture = absolute(pictures.first(), currentFolder);
    try {
        for (const QString &given : parser.values(mark))
            line.marks.append(markOf(given));
        if (parser.isSet(crop)) {
            const QStringList parts = parser.value(crop).split(u',');
            if (parts.size() > 4)
                throw Wrong {
                    QStringLiteral("--crop %1: expected X,Y,W,H").arg(parser.value(crop))
                };
            line.crop = rectangleOf(QStringLiteral("crop"), parts);
        }
    } catch (const Wrong &mistake) {
        return wrong(mistake.text);
    }
    if (parser.isSet(output))
        line.output = absolute(parser.value(output), currentFolder);
    if (line.scripted() && line.output.isEmpty())
        return wrong(QStringLiteral("--mark and --crop need --output FILE"));
    if (line.scripted() && line.picture.isEmpty())
        return wrong(QStringLiteral("no picture to mark was named"));
    return line;
}
