#pragma once

#include <QPushButton>

#include "widgets/BitBtnKinds.h"
#include "widgets/ButtonLayout.h"
#include "widgets/SystemColor.h"
#include "widgets/TButtonGlyph.h"

class QShortcut;

// Kept for designs that set it; it does not change the drawing.
enum class TButtonStyle { bsAutoDetect, bsWin31, bsNew };

// A push button that draws itself: a raised face in `Color`, a caption and an optional glyph
// beside, above or below it. A stock `Kind` sets glyph, caption, modal result and the
// default/cancel roles at once. A click on a button in a QDialog with a non-zero `ModalResult`
// ends the dialog with that result before `clicked` is emitted.
class TBitBtnWithColor : public QPushButton {
    Q_OBJECT

public:
    explicit TBitBtnWithColor(const QString &caption = {}, QWidget *parent = nullptr);
    explicit TBitBtnWithColor(QWidget *parent);
    ~TBitBtnWithColor() override;

    using QPushButton::setLayout;
    using QPushButton::setStyle;

    // The face colour; system colours are resolved against the button's palette when drawn.
    TColor Color() const { return faceColor; }
    void setColor(TColor color);
    // Reads bkCustom, and stays so, once the roles, result or glyph differ from the kind's.
    TBitBtnWithColorKind Kind() const;
    void setKind(TBitBtnWithColorKind kind);
    TButtonLayout Layout() const { return glyphLayout; }
    void setLayout(TButtonLayout layout);
    int Spacing() const { return spacing; }
    void setSpacing(int value);
    int Margin() const { return margin; }
    // Values below -1 are ignored.
    void setMargin(int value);
    const QImage &Glyph() const { return glyph.glyph(); }
    void setGlyph(const QImage &image);
    int NumGlyphs() const { return glyph.NumGlyphs(); }
    void setNumGlyphs(int n);
    TButtonStyle Style() const { return buttonStyle; }
    void setStyle(TButtonStyle style);
    // Escape anywhere in the window clicks a Cancel button.
    bool Cancel() const { return cancel; }
    void setCancel(bool value);
    int ModalResult() const { return modalResult; }
    void setModalResult(int value) { modalResult = value; }
    bool CustomGlyph() const { return customGlyph; }
    // True while the button has the focus, or is the default and the focus is on a control
    // that is not a push button: it then shows the frame and the focus rectangle.
    bool ActingDefault() const { return actingDefault; }
    const TButtonGlyph &glyphObject() const { return glyph; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void nextCheckState() override;

private:
    void focusedControlChanged(QWidget *now);
    void assignGlyph(const QImage &image);
    bool clickKind();
    FaceState currentState() const;

    TButtonGlyph glyph;
    TColor faceColor = clBtnFace;
    TButtonStyle buttonStyle = TButtonStyle::bsAutoDetect;
    mutable TBitBtnWithColorKind kind = TBitBtnWithColorKind::bkCustom;
    TButtonLayout glyphLayout = TButtonLayout::blGlyphLeft;
    int spacing = 4;
    int margin = -1;
    bool customGlyph = false;
    bool actingDefault = false;
    bool cancel = false;
    int modalResult = 0;
    QShortcut *cancelKey = nullptr;
};
