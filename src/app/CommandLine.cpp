#include "app/CommandLine.h"

#include <QCommandLineParser>
#include <QDir>

#include "widgets/AboutText.h"

CommandLine readCommandLine(const QStringList &arguments, const QString &currentFolder)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Quillet marks up pictures the way a text marker tints paper."));
    // Not Qt's help option: that one brings --help-all and a page of the window system's options.
    const QCommandLineOption help(
        { QStringLiteral("h"), QStringLiteral("help") }, QStringLiteral("Displays this help."));
    parser.addOption(help);
    const QCommandLineOption version = parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("picture"),
        QStringLiteral("The picture to open: JPEG, bitmap, PNG or icon. Pictures after the first "
                       "are ignored."),
        QStringLiteral("[picture]"));

    const bool understood = parser.parse(arguments);
    if (parser.isSet(help))
        return { {}, parser.helpText(), 0 };
    if (parser.isSet(version))
        return { {}, versionLine() + QLatin1Char('\n'), 0 };
    if (!understood)
        return { {}, parser.errorText() + QLatin1Char('\n'), 1 };
    const QStringList pictures = parser.positionalArguments();
    if (pictures.isEmpty())
        return {};
    const QString absolute
        = QDir::cleanPath(QDir(currentFolder).absoluteFilePath(pictures.first()));
    return { QDir::toNativeSeparators(absolute), {}, 0 };
}
