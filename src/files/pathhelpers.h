#pragma once

#include <QString>

class Prompts;

// Message boxes shared by the windows and components.
// plainmsg: the application's title, no icon, OK.
void plainmsg(Prompts &prompts, const QString &text);
// errormsg: "Error", the error icon, OK.
void errormsg(Prompts &prompts, const QString &text);
// warnmsg: "Warning", the warning icon, OK.
void warnmsg(Prompts &prompts, const QString &text);
