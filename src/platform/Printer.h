#pragma once

class QImage;
class QRect;
class QSize;
class Prompts;

// The printer as the print command needs it: a set-up dialog, the device resolution
// and a one-page document to draw a stretched picture into. Failures throw Failure.
class Printer {
public:
    virtual ~Printer() = default;

    // Shows the platform's printer set-up dialog through prompts; false when the user cancels.
    virtual bool setup(Prompts &prompts) = 0;
    // Dots per inch, horizontally and vertically.
    virtual QSize resolution() const = 0;
    virtual void beginDocument() = 0;
    virtual void drawStretched(const QRect &target, const QImage &picture) = 0;
    virtual void endDocument() = 0;
};
