#include "files/pathhelpers.h"

#include "platform/AppInfo.h"
#include "platform/Prompts.h"

void plainmsg(Prompts &prompts, const QString &text)
{
    prompts.message(applicationTitle(), text, Prompts::Icon::None);
}

void errormsg(Prompts &prompts, const QString &text)
{
    prompts.message(QStringLiteral("Error"), text, Prompts::Icon::Error);
}

void warnmsg(Prompts &prompts, const QString &text)
{
    prompts.message(QStringLiteral("Warning"), text, Prompts::Icon::Warning);
}
