#include "app/ColorSwatch.h"

#include <QMouseEvent>

ColorSwatch::ColorSwatch(QWidget *parent) : QFrame(parent)
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setAutoFillBackground(true);
    setColor(swatch);
}

void ColorSwatch::setColor(QRgb color)
{
    swatch = qRgb(qRed(color), qGreen(color), qBlue(color));
    QPalette colors = palette();
    colors.setColor(QPalette::Window, QColor(swatch));
    setPalette(colors);
}

void ColorSwatch::mouseReleaseEvent(QMouseEvent *event)
{
    QFrame::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}
