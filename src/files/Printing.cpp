#include "files/Printing.h"

#include <limits>

#include <QImage>
#include <QRect>
#include <QSize>

#include "editor/Picture.h"
#include "platform/Failure.h"
#include "platform/Printer.h"
#include "platform/Prompts.h"

namespace {

// Ends the document on every way out once it has begun. On the normal way a failing end is
// reported; while another failure unwinds, that first failure is the one the user sees.
class DocumentGuard {
public:
    explicit DocumentGuard(Printer &printer) : printer(printer) { }
    DocumentGuard(const DocumentGuard &) = delete;
    DocumentGuard &operator=(const DocumentGuard &) = delete;
    ~DocumentGuard()
    {
        if (!open)
            return;
        try {
            printer.endDocument();
        } catch (...) {
        }
    }

    void end()
    {
        open = false;
        printer.endDocument();
    }

private:
    Printer &printer;
    bool open = true;
};

// Whole printer dots per screen pixel; the fraction is dropped so that the picture keeps an
// exact multiple of its pixels. A resolution below the screen's gives 0.
int scaleFactor(int printerDpi, int screenDpi)
{
    // A window never reports a resolution of 0; should it, take the usual screen resolution
    // rather than divide by zero.
    if (screenDpi <= 0)
        screenDpi = 96;
    return printerDpi > 0 ? printerDpi / screenDpi : 0;
}

int scaledLength(int factor, int pixels)
{
    const qint64 dots = qint64(factor) * pixels;
    if (dots > std::numeric_limits<int>::max())
        throw Failure(QStringLiteral("The picture is too large for the printer's resolution"));
    return int(dots);
}

} // namespace

void printPicture(Prompts &prompts, Printer &printer, const Picture &picture, QSize screenDpi)
{
    if (!printer.setup(prompts))
        return;

    printer.beginDocument();
    DocumentGuard guard(printer);

    const QSize printerDpi = printer.resolution();
    const int sx = scaleFactor(printerDpi.width(), screenDpi.width());
    const int sy = scaleFactor(printerDpi.height(), screenDpi.height());

    // A picture larger than the printable area is cut off at its edges, as on the screen: the
    // command prints at screen size and never shrinks to fit the page.
    if (picture.hasPixels() && sx > 0 && sy > 0) {
        const QRect target(0, 0, scaledLength(sx, picture.size().width()),
            scaledLength(sy, picture.size().height()));
        printer.drawStretched(target, picture.image());
    }

    guard.end();
}
