#include "app/PictureZoom.h"

#include <cmath>

#include <QComboBox>
#include <QKeySequence>
#include <QMainWindow>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QStatusBar>
#include <QWheelEvent>

#include "app/PictureView.h"

namespace {

// The control's choices after "Fit": the steps a user most often wants.
const qreal choices[] = { 1.0 / 16, 1.0 / 8, 1.0 / 4, 1.0 / 2, 1, 2, 4, 8, 16 };

QString percent(qreal zoom)
{
    return QStringLiteral("%1%").arg(qRound(zoom * 100));
}

} // namespace

PictureZoom::PictureZoom(QMainWindow &window, QScrollArea &area, PictureView &view)
    : QObject(&window), area(area), view(view), control(new QComboBox(&window))
{
    control->setObjectName(QStringLiteral("zoomCB"));
    control->setAccessibleName(QStringLiteral("Zoom"));
    control->setFocusPolicy(Qt::NoFocus);
    control->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    control->addItem(QStringLiteral("Fit"));
    for (const qreal zoom : choices)
        control->addItem(percent(zoom), zoom);
    window.statusBar()->addPermanentWidget(control);
    connect(control, &QComboBox::activated, this, [this](int index) {
        if (index == 0)
            fitWindow();
        else
            setFixedZoom(control->itemData(index).toReal());
    });

    const auto shortcut = [&](const QKeySequence &keys, void (PictureZoom::*handler)()) {
        connect(new QShortcut(keys, &window), &QShortcut::activated, this, handler);
    };
    shortcut(QKeySequence::ZoomIn, &PictureZoom::zoomIn);
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_Equal), &PictureZoom::zoomIn);
    shortcut(QKeySequence::ZoomOut, &PictureZoom::zoomOut);
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_9), &PictureZoom::fitWindow);
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_0), &PictureZoom::actualPixels);

    area.viewport()->installEventFilter(this);
    connect(&view, &PictureView::pictureResized, this, [this] {
        if (fit)
            refit();
    });
    showZoom();
}

void PictureZoom::zoomIn()
{
    zoomAbout(ZoomSteps::larger(view.zoom()), viewportCentre());
}

void PictureZoom::zoomOut()
{
    zoomAbout(ZoomSteps::smaller(view.zoom()), viewportCentre());
}

void PictureZoom::fitWindow()
{
    fit = true;
    refit();
}

void PictureZoom::actualPixels()
{
    setFixedZoom(1);
}

void PictureZoom::setFixedZoom(qreal zoom)
{
    zoomAbout(zoom, viewportCentre());
}

void PictureZoom::zoomAbout(qreal zoom, QPointF viewportPosition)
{
    fit = false;
    const QPoint scroll(area.horizontalScrollBar()->value(), area.verticalScrollBar()->value());
    // The middle of the pixel under the pointer, so that rounding the scroll to whole logical
    // pixels cannot move the pointer onto a neighbour when zoomed in.
    const QPointF kept
        = QPointF(view.mapping().pictureAt(viewportPosition, scroll)) + QPointF(0.5, 0.5);
    view.setZoom(zoom);
    const QPointF now = view.mapping().viewAt(kept) - viewportPosition;
    area.horizontalScrollBar()->setValue(int(std::floor(now.x())));
    area.verticalScrollBar()->setValue(int(std::floor(now.y())));
    showZoom();
}

void PictureZoom::refit()
{
    view.setZoom(
        ZoomSteps::fitting(view.pictureSize(), area.viewport()->size(), view.devicePixelRatioF()));
    showZoom();
}

void PictureZoom::showZoom()
{
    // A zoom between the control's choices shows as a choice of its own, last, while it lasts.
    constexpr int stepRole = Qt::UserRole + 1;
    if (const int extra = control->findData(true, stepRole); extra >= 0)
        control->removeItem(extra);
    control->setItemText(
        0, fit ? QStringLiteral("Fit (%1)").arg(percent(view.zoom())) : QStringLiteral("Fit"));
    int index = fit ? 0 : control->findData(view.zoom());
    if (index < 0) {
        control->addItem(percent(view.zoom()), view.zoom());
        index = control->count() - 1;
        control->setItemData(index, true, stepRole);
    }
    control->setCurrentIndex(index);
}

QPointF PictureZoom::viewportCentre() const
{
    return QRectF(area.viewport()->rect()).center();
}

bool PictureZoom::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Resize && fit)
        refit();
    if (event->type() == QEvent::Wheel) {
        auto *wheel = static_cast<QWheelEvent *>(event);
        if (wheel->modifiers() & Qt::ControlModifier) {
            const int steps = wheel->angleDelta().y();
            if (steps != 0)
                zoomAbout(
                    steps > 0 ? ZoomSteps::larger(view.zoom()) : ZoomSteps::smaller(view.zoom()),
                    wheel->position());
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}
