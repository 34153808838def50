#pragma once

#include <exception>
#include <string>

#include <QString>

// A command's failure with the message the user is shown. Thrown inside commands and
// caught by the command wrapper (runCommand), never across the Qt event loop.
class Failure : public std::exception {
public:
    explicit Failure(QString message) : text(std::move(message)), utf8(text.toStdString()) { }

    const QString &message() const noexcept { return text; }
    const char *what() const noexcept override { return utf8.c_str(); }

private:
    QString text;
    std::string utf8;
};

// Abandons a command without showing anything.
class SilentAbort : public std::exception {
public:
    const char *what() const noexcept override { return "silent abort"; }
};
