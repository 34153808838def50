#include "platform/qt/QtPrinter.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QRect>
#include <QSize>

#include "platform/Failure.h"
#include "platform/Prompts.h"

QtPrinter::QtPrinter()
    : printer(std::make_unique<QPrinter>(QPrinter::HighResolution)),
      painter(std::make_unique<QPainter>())
{
}

QtPrinter::QtPrinter(const QString &pdfPath) : QtPrinter()
{
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(pdfPath);
}

QtPrinter::~QtPrinter()
{
    if (painter->isActive())
        painter->end();
}

bool QtPrinter::setup(Prompts &prompts)
{
    QPrintDialog dialog(printer.get());
    // Only the printer and its settings are chosen here; the picture is always one page.
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    return prompts.runDialog(dialog) == QDialog::Accepted;
}

QSize QtPrinter::resolution() const
{
    return { printer->logicalDpiX(), printer->logicalDpiY() };
}

void QtPrinter::beginDocument()
{
    if (painter->isActive() || printer->printerState() == QPrinter::Active)
        throw Failure(QStringLiteral("Printing in progress"));
    if (printer->outputFormat() == QPrinter::NativeFormat && printer->printerName().isEmpty())
        throw Failure(QStringLiteral("There is no default printer currently selected"));
    if (!printer->isValid())
        throw Failure(QStringLiteral("Printer selected is not valid"));
    printer->setDocName(QString());
    if (!painter->begin(printer.get())) {
        const QString where = printer->outputFormat() == QPrinter::PdfFormat
            ? QDir::toNativeSeparators(printer->outputFileName())
            : printer->printerName();
        throw Failure(QStringLiteral("Unable to start printing on %1").arg(where));
    }
}

void QtPrinter::drawStretched(const QRect &target, const QImage &picture)
{
    if (!painter->isActive())
        throw Failure(QStringLiteral("No document is being printed"));
    if (picture.isNull() || target.isEmpty())
        return;
    painter->drawImage(target, picture);
}

void QtPrinter::endDocument()
{
    if (!painter->isActive())
        return;
    if (!painter->end())
        throw Failure(QStringLiteral("The printer did not accept the page"));
}
