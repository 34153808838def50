#include "widgets/TBitBtnWithColor.h"

#include <algorithm>
#include <cmath>

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QPainter>
#include <QShortcut>
#include <QTimer>
#include <QWhatsThis>

namespace {

// Paints in whole device pixels, so that frames stay crisp on scaled screens: one logical
// pixel of frame is `line` device pixels.
struct DevicePainter {
    QPainter &painter;
    qreal dpr;
    int line;

    void fill(const QRect &device, const QColor &color) const
    {
        painter.fillRect(
            QRectF(device.x() / dpr, device.y() / dpr, device.width() / dpr, device.height() / dpr),
            color);
    }
    void topLeft(const QRect &r, const QColor &color) const
    {
        fill(QRect(r.left(), r.top(), r.width(), line), color);
        fill(QRect(r.left(), r.top(), line, r.height()), color);
    }
    void bottomRight(const QRect &r, const QColor &color) const
    {
        fill(QRect(r.left(), r.bottom() - line + 1, r.width(), line), color);
        fill(QRect(r.right() - line + 1, r.top(), line, r.height()), color);
    }
    void frame(const QRect &r, const QColor &color) const
    {
        topLeft(r, color);
        bottomRight(r, color);
    }
    // Every other dot of the rectangle's edge, as the platform's focus rectangle shows it.
    void dottedFrame(const QRect &r, const QColor &color) const
    {
        for (int x = r.left(); x <= r.right() - line + 1; x += 2 * line) {
            fill(QRect(x, r.top(), line, line), color);
            fill(QRect(x, r.bottom() - line + 1, line, line), color);
        }
        for (int y = r.top(); y <= r.bottom() - line + 1; y += 2 * line) {
            fill(QRect(r.left(), y, line, line), color);
            fill(QRect(r.right() - line + 1, y, line, line), color);
        }
    }
    QRect shrunk(const QRect &r, int logical = 1) const
    {
        const int d = logical * line;
        return r.adjusted(d, d, -d, -d);
    }
    QRect toDevice(const QRect &logical) const
    {
        return QRect(QPoint(qRound(logical.left() * dpr), qRound(logical.top() * dpr)),
            QPoint(
                qRound((logical.right() + 1) * dpr) - 1, qRound((logical.bottom() + 1) * dpr) - 1));
    }
};

} // namespace

TBitBtnWithColor::TBitBtnWithColor(const QString &caption, QWidget *parent)
    : QPushButton(caption, parent)
{
    // Our own Enter handling: Qt's auto-default would clear other buttons' Default flag.
    setAutoDefault(false);
    setAttribute(Qt::WA_OpaquePaintEvent);
    connect(qApp, &QApplication::focusChanged, this,
        [this](QWidget *, QWidget *now) { focusedControlChanged(now); });
}

TBitBtnWithColor::TBitBtnWithColor(QWidget *parent) : TBitBtnWithColor(QString(), parent) { }

TBitBtnWithColor::~TBitBtnWithColor() = default;

void TBitBtnWithColor::setColor(TColor color)
{
    if (color == faceColor)
        return;
    faceColor = color;
    // Reassigning the glyph drops the state images made on the old face.
    assignGlyph(glyph.glyph());
    update();
}

TBitBtnWithColorKind TBitBtnWithColor::Kind() const
{
    if (kind != TBitBtnWithColorKind::bkCustom) {
        const KindTraits &traits = kindTraits(kind);
        if (isDefault() != traits.isDefault || cancel != traits.isCancel
            || modalResult != traits.modalResult || customGlyph)
            kind = TBitBtnWithColorKind::bkCustom;
    }
    return kind;
}

void TBitBtnWithColor::setKind(TBitBtnWithColorKind value)
{
    if (value == kind)
        return;
    if (value != TBitBtnWithColorKind::bkCustom) {
        const KindTraits &traits = kindTraits(value);
        setDefault(traits.isDefault);
        setCancel(traits.isCancel);
        const QString caption = defaultCaption(value);
        if (!caption.isEmpty())
            setText(caption);
        modalResult = traits.modalResult;
        glyph.setGlyph(KindGlyph(value));
        glyph.setNumGlyphs(2);
        customGlyph = false;
    }
    kind = value;
    update();
}

void TBitBtnWithColor::setLayout(TButtonLayout layout)
{
    if (layout == glyphLayout)
        return;
    glyphLayout = layout;
    update();
}

void TBitBtnWithColor::setSpacing(int value)
{
    if (value == spacing)
        return;
    spacing = value;
    update();
}

void TBitBtnWithColor::setMargin(int value)
{
    if (value == margin || value < -1)
        return;
    margin = value;
    update();
}

void TBitBtnWithColor::setGlyph(const QImage &image)
{
    assignGlyph(image);
    update();
}

void TBitBtnWithColor::assignGlyph(const QImage &image)
{
    // The glyph object copies the picture; a copy guards against `image` being its own.
    glyph.setGlyph(QImage(image));
    customGlyph = true;
}

void TBitBtnWithColor::setNumGlyphs(int n)
{
    const int before = glyph.NumGlyphs();
    glyph.setNumGlyphs(n);
    if (glyph.NumGlyphs() != before)
        update();
}

void TBitBtnWithColor::setStyle(TButtonStyle style)
{
    if (style == buttonStyle)
        return;
    buttonStyle = style;
    update();
}

void TBitBtnWithColor::setCancel(bool value)
{
    cancel = value;
    if (cancel && !cancelKey) {
        cancelKey = new QShortcut(QKeySequence(Qt::Key_Escape), this);
        connect(cancelKey, &QShortcut::activated, this, &QAbstractButton::click);
    }
    if (cancelKey)
        cancelKey->setEnabled(cancel);
}

void TBitBtnWithColor::focusedControlChanged(QWidget *now)
{
    // Only a change of this window's focused control counts.
    if (!now || now->window() != window())
        return;
    const bool acting = now == this || (isDefault() && !qobject_cast<QPushButton *>(now));
    if (acting == actingDefault)
        return;
    actingDefault = acting;
    repaint();
}

FaceState TBitBtnWithColor::currentState() const
{
    if (!isEnabled())
        return FaceState::Disabled;
    return isDown() ? FaceState::Down : FaceState::Up;
}

void TBitBtnWithColor::showEvent(QShowEvent *event)
{
    QPushButton::showEvent(event);
    glyph.StateImage(isEnabled() ? FaceState::Up : FaceState::Disabled,
        resolveColor(faceColor, palette()), palette());
}

void TBitBtnWithColor::keyPressEvent(QKeyEvent *event)
{
    // A focused button answers Enter itself, as it acts as the default then.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        && event->modifiers() == Qt::NoModifier) {
        click();
        return;
    }
    QPushButton::keyPressEvent(event);
}

void TBitBtnWithColor::nextCheckState()
{
    QPushButton::nextCheckState();
    if (clickKind()) {
        // Qt emits `clicked` right after this; a Help or Close button that found its target
        // fires no click, so the signals stay blocked until the event loop runs again.
        const bool wasBlocked = blockSignals(true);
        QTimer::singleShot(0, this, [this, wasBlocked] { blockSignals(wasBlocked); });
        return;
    }
    if (modalResult != 0) {
        if (auto *dialog = qobject_cast<QDialog *>(window()))
            dialog->done(modalResult);
    }
}

bool TBitBtnWithColor::clickKind()
{
    if (kind == TBitBtnWithColorKind::bkHelp) {
        // No help-context system on Linux: the nearest What's This text stands for the context.
        for (QWidget *w = this; w; w = w->parentWidget()) {
            if (!w->whatsThis().isEmpty()) {
                QWhatsThis::showText(mapToGlobal(rect().center()), w->whatsThis(), this);
                return true;
            }
        }
    }
    if (kind == TBitBtnWithColorKind::bkClose && window() != this) {
        window()->close();
        return true;
    }
    return false;
}

void TBitBtnWithColor::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QPalette pal = palette();
    const QColor face = resolveColor(faceColor, pal);
    const QColor windowFrame = resolveColor(clWindowFrame, pal);
    const bool pressed = isDown();
    const qreal dpr = devicePixelRatio();
    const DevicePainter device { painter, dpr, std::max(1, int(dpr)) };

    QRect r = rect();
    QRect d = device.toDevice(r);
    if (actingDefault || hasFocus()) {
        device.frame(d, windowFrame);
        d = device.shrunk(d);
        r.adjust(1, 1, -1, -1);
    }
    if (pressed) {
        device.frame(d, resolveColor(clBtnShadow, pal));
        d = device.shrunk(d);
        device.fill(d, face);
        r.adjust(1, 1, -1, -1);
    } else {
        // The raised edge: an outer and an inner bevel, light from the top left.
        device.topLeft(d, resolveColor(cl3DLight, pal));
        device.bottomRight(d, resolveColor(cl3DDkShadow, pal));
        d = device.shrunk(d);
        device.topLeft(d, resolveColor(clBtnHighlight, pal));
        device.bottomRight(d, resolveColor(clBtnShadow, pal));
        d = device.shrunk(d);
        device.fill(d, face);
        r.adjust(3, 3, -3, -3);
    }
    if (actingDefault)
        r = rect().adjusted(1, 1, -1, -1);
    painter.setFont(font());
    if (pressed)
        r.translate(1, 1);
    glyph.DrawFace(painter, r, face, currentState(), spacing, margin, glyphLayout, text(), pal);
    if (actingDefault)
        device.dottedFrame(device.toDevice(rect().adjusted(4, 4, -4, -4)), windowFrame);
}
