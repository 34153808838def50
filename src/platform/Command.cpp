#include "platform/Command.h"

#include <exception>
#include <new>

#include "platform/AppInfo.h"
#include "platform/Failure.h"
#include "platform/Prompts.h"

QString defaultErrorText(const QString &message)
{
    if (!message.isEmpty() && message.back() > u'.')
        return message + u'.';
    return message;
}

void runCommand(Prompts &prompts, const std::function<void()> &handler)
{
    QString message;
    try {
        handler();
        return;
    } catch (const SilentAbort &) {
        return;
    } catch (const Failure &failure) {
        message = failure.message();
    } catch (const std::bad_alloc &) {
        message = QStringLiteral("Out of memory");
    } catch (const std::exception &error) {
        message = QString::fromUtf8(error.what());
    } catch (...) {
        message = QStringLiteral("Unknown error");
    }
    try {
        prompts.message(applicationTitle(), defaultErrorText(message), Prompts::Icon::Error);
    } catch (...) {
        // Showing the box failed too; there is nobody left to tell.
    }
}
