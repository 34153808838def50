#include "FakePrinter.h"

#include <QImage>

#include "platform/Failure.h"

bool FakePrinter::setup(Prompts &)
{
    calls << QStringLiteral("setup");
    return setupAnswer;
}

QSize FakePrinter::resolution() const
{
    calls << QStringLiteral("resolution");
    if (failResolution)
        throw Failure(*failResolution);
    return dpi;
}

void FakePrinter::beginDocument()
{
    calls << QStringLiteral("begin");
    if (open)
        throw Failure(QStringLiteral("Printing in progress"));
    if (failBegin)
        throw Failure(*failBegin);
    open = true;
    current = Page();
}

void FakePrinter::drawStretched(const QRect &target, const QImage &picture)
{
    calls << QStringLiteral("draw");
    if (!open)
        throw Failure(QStringLiteral("No document is being printed"));
    if (failDraw)
        throw Failure(*failDraw);
    current.draws.append({ target, picture.size(), picture.copy() });
}

void FakePrinter::endDocument()
{
    calls << QStringLiteral("end");
    if (!open)
        return;
    open = false;
    pages.append(current);
    if (failEnd)
        throw Failure(*failEnd);
}
