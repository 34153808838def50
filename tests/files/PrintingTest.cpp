#include "files/Printing.h"

#include <optional>

#include <QDialog>
#include <QFile>
#include <QImage>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "FakePrinter.h"
#include "FakePrompts.h"
#include "TableRow.h"
#include "editor/Picture.h"
#include "platform/Command.h"
#include "platform/Failure.h"
#include "platform/qt/QtPrinter.h"

namespace {

const QSize screen96(96, 96);

Picture plainPicture(QSize size)
{
    QImage image(size, QImage::Format_RGB888);
    image.fill(QColor(255, 251, 240));
    return Picture(image);
}

} // namespace

struct ScaleCase : TableRow {
    QSize printerDpi;
    QSize screenDpi;
    QSize pictureSize;
    std::optional<QRect> target; // none: the page stays empty
};

class PrintScale : public ::testing::TestWithParam<ScaleCase> { };

TEST_P(PrintScale, StretchesByWholePrinterDotsPerScreenPixelOnOnePage)
{
    const ScaleCase &row = GetParam();
    FakePrompts prompts;
    FakePrinter printer(row.printerDpi);

    printPicture(prompts, printer, plainPicture(row.pictureSize), row.screenDpi);

    ASSERT_EQ(printer.pages.size(), 1);
    EXPECT_FALSE(printer.printing());
    const QList<FakePrinter::Draw> &draws = printer.pages[0].draws;
    if (!row.target) {
        EXPECT_TRUE(draws.isEmpty());
        return;
    }
    ASSERT_EQ(draws.size(), 1);
    EXPECT_EQ(draws[0].target, *row.target);
    EXPECT_EQ(draws[0].pictureSize, row.pictureSize);
}

INSTANTIATE_TEST_SUITE_P(Resolutions, PrintScale,
    ::testing::Values(ScaleCase { "SixHundredDpiOnNinetySixIsSixNotSixPointTwoFive", { 600, 600 },
                          screen96, { 621, 462 }, QRect(0, 0, 3726, 2772) },
        ScaleCase { "ThreeHundredDpiIsThreeNotThreePointOneTwoFive", { 300, 300 }, screen96,
            { 621, 462 }, QRect(0, 0, 1863, 1386) },
        ScaleCase { "UnequalResolutionsScaleEachDirectionOnItsOwn", { 1200, 600 }, screen96,
            { 100, 50 }, QRect(0, 0, 1200, 300) },
        ScaleCase { "ScreenResolutionPrinterPrintsPixelForDot", { 96, 96 }, screen96, { 621, 462 },
            QRect(0, 0, 621, 462) },
        ScaleCase { "HighResolutionScreenUsesItsOwnDpi", { 600, 600 }, { 144, 120 }, { 10, 10 },
            QRect(0, 0, 40, 50) },
        ScaleCase { "HorizontalBelowTheScreenGivesAnEmptyPage", { 72, 600 }, screen96, { 621, 462 },
            std::nullopt },
        ScaleCase { "VerticalBelowTheScreenGivesAnEmptyPage", { 600, 95 }, screen96, { 621, 462 },
            std::nullopt },
        ScaleCase { "UnknownScreenResolutionCountsAsNinetySix", { 600, 600 }, { 0, 0 }, { 2, 3 },
            QRect(0, 0, 12, 18) },
        ScaleCase { "NonsensePrinterResolutionGivesAnEmptyPage", { -600, 600 }, screen96, { 2, 3 },
            std::nullopt }),
    RowName());

struct NoPixelsCase : TableRow {
    Picture picture;
};

class PrintWithoutPixels : public ::testing::TestWithParam<NoPixelsCase> { };

TEST_P(PrintWithoutPixels, EjectsAnEmptyPage)
{
    FakePrompts prompts;
    FakePrinter printer;
    printPicture(prompts, printer, GetParam().picture, screen96);
    ASSERT_EQ(printer.pages.size(), 1);
    EXPECT_TRUE(printer.pages[0].draws.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Pictures, PrintWithoutPixels,
    ::testing::Values(NoPixelsCase { "EmptyPicture", Picture::emptyPicture() },
        NoPixelsCase { "ZeroSizeBitmap", Picture() }),
    RowName());

TEST(Print, CancellingTheSetUpDialogPrintsNothing)
{
    FakePrompts prompts;
    FakePrinter printer;
    printer.setupAnswer = false;
    printPicture(prompts, printer, plainPicture({ 621, 462 }), screen96);
    EXPECT_EQ(printer.calls, QStringList { "setup" });
    EXPECT_TRUE(printer.pages.isEmpty());
}

struct FailingStepCase : TableRow {
    std::optional<QString> FakePrinter::*step;
    bool documentBegun;
};

class PrintFailure : public ::testing::TestWithParam<FailingStepCase> { };

TEST_P(PrintFailure, ReachesTheCallerAndEndsABegunDocument)
{
    FakePrompts prompts;
    FakePrinter printer;
    printer.*GetParam().step = QStringLiteral("Printer selected is not valid");

    try {
        printPicture(prompts, printer, plainPicture({ 621, 462 }), screen96);
        ADD_FAILURE() << "the failure was swallowed";
    } catch (const Failure &failure) {
        EXPECT_EQ(failure.message(), "Printer selected is not valid");
    }

    EXPECT_FALSE(printer.printing());
    EXPECT_EQ(printer.calls.count("end"), GetParam().documentBegun ? 1 : 0);
    EXPECT_EQ(printer.pages.size(), GetParam().documentBegun ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Steps, PrintFailure,
    ::testing::Values(FailingStepCase { "BeginFailsNothingToEnd", &FakePrinter::failBegin, false },
        FailingStepCase { "ResolutionFails", &FakePrinter::failResolution, true },
        FailingStepCase { "DrawingFails", &FakePrinter::failDraw, true },
        FailingStepCase { "EndingFails", &FakePrinter::failEnd, true }),
    RowName());

TEST(Print, ADocumentStillOpenFailsTheCommandAndIsLeftToItsOwner)
{
    FakePrompts prompts;
    FakePrinter printer;
    printer.beginDocument();

    runCommand(prompts, [&] { printPicture(prompts, printer, plainPicture({ 8, 8 }), screen96); });

    EXPECT_EQ(prompts.texts(), QStringList { "Printing in progress." });
    EXPECT_TRUE(printer.printing());
    EXPECT_EQ(printer.calls.count("end"), 0);
    EXPECT_EQ(printer.calls.count("draw"), 0);
}

namespace {

// The pages of a PDF file: its "/Type /Page" objects, leaving out the "/Type /Pages" tree.
qsizetype pdfPageCount(const QByteArray &pdf)
{
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?![a-zA-Z])"));
    return QString::fromLatin1(pdf).count(page);
}

} // namespace

TEST(QtPrinterPdf, PrintsOnePageIntoTheFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("print.pdf"));
    QtPrinter printer(path);
    printer.qprinter().setResolution(600);
    EXPECT_EQ(printer.resolution(), QSize(600, 600));

    FakePrompts prompts;
    prompts.dialogScripts.push_back([](QDialog &) { return int(QDialog::Accepted); });
    printPicture(prompts, printer, plainPicture({ 621, 462 }), screen96);
    EXPECT_EQ(prompts.dialogs.size(), 1) << "the set-up dialog was not run through the prompts";

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray pdf = file.readAll();
    EXPECT_TRUE(pdf.startsWith("%PDF"));
    EXPECT_EQ(pdfPageCount(pdf), 1);
    EXPECT_TRUE(pdf.contains("/Width 621")) << "the picture was not drawn at its own pixels";
}

TEST(QtPrinterPdf, SecondDocumentWhileOneIsOpenFails)
{
    QTemporaryDir dir;
    QtPrinter printer(dir.filePath(QStringLiteral("busy.pdf")));
    printer.beginDocument();
    try {
        printer.beginDocument();
        ADD_FAILURE() << "a second document was begun";
    } catch (const Failure &failure) {
        EXPECT_EQ(failure.message(), "Printing in progress");
    }
    printer.endDocument();
    EXPECT_NO_THROW(printer.beginDocument());
    printer.endDocument();
}

TEST(QtPrinterPdf, UnwritableFileFailsWithItsNameAndPrintsNothing)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("missing/folder/out.pdf"));
    QtPrinter printer(path);
    FakePrompts prompts;
    prompts.dialogScripts.push_back([](QDialog &) { return int(QDialog::Accepted); });
    try {
        printPicture(prompts, printer, plainPicture({ 8, 8 }), screen96);
        ADD_FAILURE() << "printing into a missing folder succeeded";
    } catch (const Failure &failure) {
        EXPECT_TRUE(failure.message().contains(path)) << failure.message().toStdString();
    }
    EXPECT_FALSE(QFile::exists(path));
}
