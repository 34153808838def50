#include <functional>

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>
#include <QWhatsThis>

#include <gtest/gtest.h>

#include "TableRow.h"
#include "WaitFor.h"
#include "widgets/TBitBtnWithColor.h"
#include "widgets/TGlyphList.h"

namespace {

using Kind = TBitBtnWithColorKind;

// ---- layout arithmetic ----

struct LayoutCase : TableRow {
    QRect client;
    QSize glyph;
    QSize text;
    TButtonLayout layout;
    int margin;
    int spacing;
    QPoint glyphPos;
    QPoint textPos;
};

class FaceLayoutRows : public ::testing::TestWithParam<LayoutCase> { };

TEST_P(FaceLayoutRows, PlaceGlyphAndCaption)
{
    const LayoutCase &row = GetParam();
    const FaceLayout got
        = layoutFace(row.client, row.glyph, row.text, row.layout, row.margin, row.spacing);
    EXPECT_EQ(got.glyphPos, row.glyphPos);
    EXPECT_EQ(got.textRect, QRect(row.textPos, row.text));
}

const QSize glyph18(18, 18);
const QSize text40(40, 13);

INSTANTIATE_TEST_SUITE_P(Button, FaceLayoutRows,
    ::testing::Values(LayoutCase { "GivenSpacingCentresTheWhole", { 0, 0, 100, 30 }, glyph18,
                          text40, TButtonLayout::blGlyphLeft, -1, 4, { 19, 6 }, { 41, 9 } },
        LayoutCase { "ComputedSpacingSharesTheRoomInThree", { 0, 0, 100, 30 }, glyph18, text40,
            TButtonLayout::blGlyphLeft, -1, -1, { 14, 6 }, { 46, 9 } },
        LayoutCase { "NoGlyphCentresTheCaption", { 0, 0, 100, 30 }, QSize(0, 0), text40,
            TButtonLayout::blGlyphLeft, -1, 4, { 30, 15 }, { 30, 9 } },
        LayoutCase { "GlyphRightWithGivenMargin", { 0, 0, 100, 30 }, glyph18, text40,
            TButtonLayout::blGlyphRight, 5, -1, { 77, 6 }, { 19, 9 } },
        LayoutCase { "GlyphTopCentresAcross", { 0, 0, 60, 50 }, glyph18, { 30, 13 },
            TButtonLayout::blGlyphTop, -1, 4, { 21, 8 }, { 15, 30 } },
        LayoutCase { "GlyphBottomWithBothGiven", { 0, 0, 60, 50 }, glyph18, { 30, 13 },
            TButtonLayout::blGlyphBottom, 2, 3, { 21, 30 }, { 15, 14 } },
        LayoutCase { "ClientOffsetMovesBoth", { 3, 2, 100, 30 }, glyph18, text40,
            TButtonLayout::blGlyphLeft, -1, 4, { 22, 8 }, { 44, 11 } },
        LayoutCase { "NegativeRoomRoundsTowardZero", { 0, 0, 10, 10 }, glyph18, QSize(0, 0),
            TButtonLayout::blGlyphLeft, -1, -1, { -3, -3 }, { 15, 5 } }),
    RowName());

// ---- Kind and NumGlyphs rules ----

QImage solidGlyph(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::blue);
    return image;
}

struct RuleCase : TableRow {
    Kind start;
    std::function<void(TBitBtnWithColor &)> change;
    Kind kind;
    int numGlyphs;
};

class KindRules : public ::testing::TestWithParam<RuleCase> { };

TEST_P(KindRules, GiveKindAndNumGlyphs)
{
    const RuleCase &row = GetParam();
    TBitBtnWithColor button;
    button.setKind(row.start);
    row.change(button);
    EXPECT_EQ(button.Kind(), row.kind);
    EXPECT_EQ(button.NumGlyphs(), row.numGlyphs);
}

INSTANTIATE_TEST_SUITE_P(Button, KindRules,
    ::testing::Values(RuleCase { "UntouchedOkStaysOk", Kind::bkOK, [](auto &) {}, Kind::bkOK, 2 },
        RuleCase { "ColourChangeMakesOkCustom", Kind::bkOK,
            [](auto &b) { b.setColor(rgbColor(255, 0, 0)); }, Kind::bkCustom, 2 },
        RuleCase { "DefaultClearedMakesYesCustom", Kind::bkYes,
            [](auto &b) { b.setDefault(false); }, Kind::bkCustom, 2 },
        RuleCase { "OtherModalResultMakesNoCustom", Kind::bkNo,
            [](auto &b) { b.setModalResult(1); }, Kind::bkCustom, 2 },
        RuleCase { "CustomStaysCustomWhenRolesComeBack", Kind::bkCancel,
            [](auto &b) {
                b.setCancel(false);
                b.Kind();
                b.setCancel(true);
            },
            Kind::bkCustom, 2 },
        RuleCase { "NumGlyphsAboveFourIsFour", Kind::bkCustom, [](auto &b) { b.setNumGlyphs(7); },
            Kind::bkCustom, 4 },
        RuleCase { "NumGlyphsZeroIsIgnored", Kind::bkCustom,
            [](auto &b) {
                b.setNumGlyphs(3);
                b.setNumGlyphs(0);
            },
            Kind::bkCustom, 3 },
        RuleCase { "FiveSquaresCountAsOne", Kind::bkCustom,
            [](auto &b) {
                b.setNumGlyphs(2);
                b.setGlyph(solidGlyph(90, 18));
            },
            Kind::bkCustom, 1 },
        RuleCase { "ThreeSquaresCountAsThree", Kind::bkCustom,
            [](auto &b) { b.setGlyph(solidGlyph(54, 18)); }, Kind::bkCustom, 3 },
        RuleCase { "UnevenWidthKeepsTheCount", Kind::bkCustom,
            [](auto &b) {
                b.setNumGlyphs(3);
                b.setGlyph(solidGlyph(40, 18));
            },
            Kind::bkCustom, 3 }),
    RowName());

TEST(BitBtnKind, SetsRolesCaptionAndGlyph)
{
    TBitBtnWithColor button(QStringLiteral("Go"));
    button.setKind(Kind::bkYes);
    EXPECT_EQ(button.text(), QStringLiteral("&Yes"));
    EXPECT_TRUE(button.isDefault());
    EXPECT_FALSE(button.Cancel());
    EXPECT_EQ(button.ModalResult(), 6);
    EXPECT_EQ(button.Glyph().size(), QSize(36, 18));
    button.setKind(Kind::bkAll);
    EXPECT_EQ(button.Glyph().size(), QSize(36, 19));
    EXPECT_EQ(button.NumGlyphs(), 2);
}

// ---- which image each state uses ----

const QList<QColor> imageColours { Qt::red, Qt::green, Qt::blue, Qt::cyan };
const QColor olive(128, 128, 0);
const QColor face(200, 200, 200);

// `count` images side by side in the colours above; the bottom-left pixel, olive, names the
// transparent colour.
QImage stripe(int count, int size = 4)
{
    QImage image(count * size, size, QImage::Format_RGB32);
    QPainter painter(&image);
    for (int i = 0; i < count; ++i)
        painter.fillRect(i * size, 0, size, size, imageColours.at(i));
    painter.fillRect(0, size - 1, 1, 1, olive);
    return image;
}

QPalette knownPalette()
{
    QPalette palette;
    palette.setColor(QPalette::Button, face);
    palette.setColor(QPalette::Light, QColor(250, 250, 250));
    palette.setColor(QPalette::Midlight, QColor(230, 230, 230));
    palette.setColor(QPalette::Dark, QColor(100, 100, 100));
    palette.setColor(QPalette::Shadow, QColor(10, 10, 10));
    palette.setColor(QPalette::WindowText, Qt::black);
    palette.setColor(QPalette::ButtonText, Qt::black);
    return palette;
}

struct StateCase : TableRow {
    QImage bitmap;
    FaceState state;
    QPoint probe;
    QColor expected;
};

class StateImages : public ::testing::TestWithParam<StateCase> { };

TEST_P(StateImages, ComeFromTheRightImage)
{
    const StateCase &row = GetParam();
    TButtonGlyph glyph;
    glyph.setGlyph(row.bitmap);
    const int slot = glyph.StateImage(row.state, face, knownPalette());
    ASSERT_NE(glyph.glyphList(), nullptr);
    EXPECT_EQ(glyph.glyphList()->image(slot).pixelColor(row.probe), row.expected);
}

QImage whiteAndGreySecondImage()
{
    QImage image = stripe(2);
    QPainter painter(&image);
    painter.fillRect(4, 0, 2, 4, Qt::white);
    painter.fillRect(6, 0, 2, 4, QColor(128, 128, 128));
    return image;
}

QImage blackSquare()
{
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(Qt::white);
    image.setPixel(1, 1, qRgb(0, 0, 0));
    return image;
}

INSTANTIATE_TEST_SUITE_P(Glyph, StateImages,
    ::testing::Values(StateCase { "UpUsesImageZero", stripe(2), FaceState::Up, { 1, 1 }, Qt::red },
        StateCase { "UpPaintsTransparentInFace", stripe(2), FaceState::Up, { 0, 3 }, face },
        StateCase { "DownOfTwoUsesUpImage", stripe(2), FaceState::Down, { 1, 1 }, Qt::red },
        StateCase { "DownOfThreeUsesImageTwo", stripe(3), FaceState::Down, { 1, 1 }, Qt::blue },
        StateCase {
            "ExclusiveOfTwoUsesImageZero", stripe(2), FaceState::Exclusive, { 1, 1 }, Qt::red },
        StateCase {
            "ExclusiveOfFourUsesImageThree", stripe(4), FaceState::Exclusive, { 1, 1 }, Qt::cyan },
        StateCase { "ExclusiveLeavesTransparentClear", stripe(2), FaceState::Exclusive, { 0, 3 },
            Qt::transparent },
        StateCase { "DisabledWhiteBecomesHighlight", whiteAndGreySecondImage(), FaceState::Disabled,
            { 1, 1 }, QColor(250, 250, 250) },
        StateCase { "DisabledGreyBecomesShadow", whiteAndGreySecondImage(), FaceState::Disabled,
            { 3, 1 }, QColor(100, 100, 100) },
        StateCase { "SingleImageDisabledEngravesBlackInShadow", blackSquare(), FaceState::Disabled,
            { 1, 1 }, QColor(100, 100, 100) },
        StateCase { "SingleImageDisabledHighlightsBelowRight", blackSquare(), FaceState::Disabled,
            { 2, 2 }, QColor(250, 250, 250) },
        StateCase { "SingleImageDisabledFillsTheRestWithFace", blackSquare(), FaceState::Disabled,
            { 3, 0 }, face }),
    RowName());

// ---- the drawn face ----

// A button with known colours and a caption drawn without antialiasing, so pixels can be named.
void paintable(TBitBtnWithColor &button)
{
    button.setText(QStringLiteral("Mode"));
    button.setPalette(knownPalette());
    QFont font = button.font();
    font.setPixelSize(11);
    font.setStyleStrategy(QFont::NoAntialias);
    button.setFont(font);
    button.setColor(rgbColor(255, 0, 0));
    button.setFixedSize(60, 30);
}

QImage look(TBitBtnWithColor &button)
{
    return button.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

int count(const QImage &image, QColor colour)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += image.pixelColor(x, y) == colour;
    return n;
}

TEST(ButtonLook, RaisedFaceInItsColour)
{
    TBitBtnWithColor button;
    paintable(button);
    const QImage image = look(button);
    EXPECT_EQ(image.pixelColor(0, 0), QColor(230, 230, 230));
    EXPECT_EQ(image.pixelColor(1, 1), QColor(250, 250, 250));
    EXPECT_EQ(image.pixelColor(59, 29), QColor(10, 10, 10));
    EXPECT_EQ(image.pixelColor(58, 28), QColor(100, 100, 100));
    EXPECT_EQ(image.pixelColor(3, 3), QColor(Qt::red));
    EXPECT_GT(count(image, Qt::black), 0) << "the caption";
}

TEST(ButtonLook, PressedFaceHasAShadowOutline)
{
    TBitBtnWithColor button;
    paintable(button);
    button.setDown(true);
    const QImage image = look(button);
    EXPECT_EQ(image.pixelColor(0, 0), QColor(100, 100, 100));
    EXPECT_EQ(image.pixelColor(59, 29), QColor(100, 100, 100));
    EXPECT_EQ(image.pixelColor(1, 1), QColor(Qt::red));
}

TEST(ButtonLook, DisabledCaptionIsEngraved)
{
    TBitBtnWithColor button;
    paintable(button);
    button.setEnabled(false);
    const QImage image = look(button);
    EXPECT_GT(count(image, QColor(128, 128, 128)), 0);
    EXPECT_GT(count(image, Qt::white), 0);
    EXPECT_EQ(count(image, Qt::black), 0);
}

TEST(ButtonLook, DefaultFollowsTheFocusAndShowsFrameAndDots)
{
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *edit = new QLineEdit;
    auto *button = new TBitBtnWithColor;
    auto *other = new QPushButton;
    layout->addWidget(edit);
    layout->addWidget(button);
    layout->addWidget(other);
    paintable(*button);
    button->setDefault(true);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    edit->setFocus();
    EXPECT_SOON(button->ActingDefault());
    const QImage image = look(*button);
    EXPECT_EQ(image.pixelColor(0, 0), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(4, 4), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(5, 4), QColor(Qt::red));
    EXPECT_EQ(image.pixelColor(6, 4), QColor(Qt::black));

    other->setFocus();
    EXPECT_SOON(!button->ActingDefault());
}

// ---- clicks ----

TEST(BitBtnClick, CloseKindClosesItsWindowWithoutAClick)
{
    QDialog dialog;
    auto *button = new TBitBtnWithColor(&dialog);
    button->setKind(Kind::bkClose);
    QSignalSpy clicks(button, &QAbstractButton::clicked);
    dialog.show();
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(clicks.count(), 0);
}

TEST(BitBtnClick, HelpKindShowsTheNearestWhatsThisInsteadOfAClick)
{
    QWidget window;
    auto *button = new TBitBtnWithColor(&window);
    button->setKind(Kind::bkHelp);
    QSignalSpy clicks(button, &QAbstractButton::clicked);
    window.show();
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(clicks.count(), 1) << "nothing to show: an ordinary click";
    window.setWhatsThis(QStringLiteral("How to mark"));
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_NE(QApplication::activePopupWidget(), nullptr);
    QWhatsThis::hideText();
    EXPECT_EQ_SOON(QApplication::activePopupWidget(), nullptr);
}

TEST(BitBtnClick, ModalResultEndsTheDialogAndStillClicks)
{
    QDialog dialog;
    auto *button = new TBitBtnWithColor(&dialog);
    button->setKind(Kind::bkRetry);
    QSignalSpy clicks(button, &QAbstractButton::clicked);
    QSignalSpy finished(&dialog, &QDialog::finished);
    dialog.show();
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(clicks.count(), 1);
    ASSERT_EQ(finished.count(), 1);
    EXPECT_EQ(finished.first().first().toInt(), 4);
}

TEST(BitBtnClick, DoubleClickIsASecondPress)
{
    QWidget window;
    auto *button = new TBitBtnWithColor(QStringLiteral("-->"), &window);
    QSignalSpy clicks(button, &QAbstractButton::clicked);
    window.show();
    // A real double click: press, release, double-click press, release.
    QTest::mouseClick(button, Qt::LeftButton);
    QTest::mouseDClick(button, Qt::LeftButton);
    QTest::mouseRelease(button, Qt::LeftButton);
    EXPECT_EQ(clicks.count(), 2);
}

} // namespace
