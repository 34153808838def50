#pragma once

#include <QString>
#include <QStringList>

// What the command line asks of a start. `quillet PICTURE` starts with PICTURE, opened as if
// chosen in the open dialog; pictures after the first are ignored. --help and --version print
// their text and end the program, as does a command line it does not understand.
struct CommandLine {
    QString picture; // absolute and native; empty for none
    QString text; // printed instead of starting, with its line end
    int exitCode = 0; // with `text`: 0 for help and version, 1 for a wrong command line

    bool starts() const { return text.isEmpty(); }
};

// Reads `arguments`, the program's name first; a relative picture is taken against
// `currentFolder`.
CommandLine readCommandLine(const QStringList &arguments, const QString &currentFolder);
