#pragma once

#include <functional>

#include <QString>

class Prompts;

// Runs one command handler. Anything it throws ends the command there and is shown in
// the application's default error box; SilentAbort shows nothing. Nothing escapes.
void runCommand(Prompts &prompts, const std::function<void()> &handler);

// The message as the default error box shows it: a full stop is appended when the last
// character's code is above that of ".".
QString defaultErrorText(const QString &message);
