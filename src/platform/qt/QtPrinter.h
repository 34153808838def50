#pragma once

#include <memory>

#include <QString>

#include "platform/Printer.h"

class QPainter;
class QPrinter;

// The system's printer through Qt: QPrintDialog for the set-up (on Linux it offers the
// system's printers and printing to a PDF file), a high-resolution QPrinter, and a QPainter
// that holds the open document.
class QtPrinter : public Printer {
public:
    QtPrinter();
    // A printer that writes PDF into the given file, without asking.
    explicit QtPrinter(const QString &pdfPath);
    ~QtPrinter() override;

    bool setup(Prompts &prompts) override;
    QSize resolution() const override;
    void beginDocument() override;
    void drawStretched(const QRect &target, const QImage &picture) override;
    void endDocument() override;

    QPrinter &qprinter() { return *printer; }

private:
    std::unique_ptr<QPrinter> printer;
    std::unique_ptr<QPainter> painter;
};
