#pragma once

#include <optional>

#include <QList>
#include <QRect>
#include <QRgb>
#include <QString>
#include <QStringList>

// What the command line asks of a start. `quillet PICTURE` starts with PICTURE, opened as if
// chosen in the open dialog; pictures after the first are ignored. With --mark, --crop or
// --output it marks PICTURE without a window instead. --help and --version print their text and
// end the program, as does a command line it does not understand.
struct CommandLine {
    struct Mark {
        QRect pixels;
        QRgb color;
    };

    QString picture; // absolute and native; empty for none
    QString text; // printed instead of starting, with its line end
    int exitCode = 0; // with `text`: 0 for help and version, 2 for a wrong command line
    QList<Mark> marks; // in the order given
    std::optional<QRect> crop;
    QString output; // absolute and native

    bool starts() const { return text.isEmpty(); }
    // Marks from a script, without a window.
    bool scripted() const { return !marks.isEmpty() || crop || !output.isEmpty(); }
};

// Reads `arguments`, the program's name first; relative paths are taken against
// `currentFolder`.
CommandLine readCommandLine(const QStringList &arguments, const QString &currentFolder);
