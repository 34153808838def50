#pragma once

#include <optional>

#include <QImage>
#include <QList>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

#include "platform/Printer.h"

// A printer that records what it was asked to do. Like a real one it refuses a second
// document while one is open ("Printing in progress"), and it fails on request at any step.
class FakePrinter : public Printer {
public:
    struct Draw {
        QRect target;
        QSize pictureSize;
        QImage picture;
    };
    struct Page {
        QList<Draw> draws;
    };

    explicit FakePrinter(QSize dpi = QSize(600, 600)) : dpi(dpi) { }

    bool setup(Prompts &prompts) override;
    QSize resolution() const override;
    void beginDocument() override;
    void drawStretched(const QRect &target, const QImage &picture) override;
    void endDocument() override;

    bool printing() const { return open; }

    QSize dpi;
    bool setupAnswer = true;
    // When set, that step throws Failure with this message.
    std::optional<QString> failBegin, failResolution, failDraw, failEnd;

    // Calls in order: "setup", "begin", "resolution", "draw", "end".
    mutable QStringList calls;
    // Every page handed to the spooler, that is every document that was ended.
    QList<Page> pages;

private:
    bool open = false;
    Page current;
};
