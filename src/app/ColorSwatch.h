#pragma once

#include <QFrame>
#include <QRgb>

// The tool panel's swatch: a lowered plain panel in the default mark colour that reports clicks.
class ColorSwatch : public QFrame {
    Q_OBJECT

public:
    explicit ColorSwatch(QWidget *parent = nullptr);

    QRgb color() const { return swatch; }
    void setColor(QRgb color);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QRgb swatch = qRgb(255, 0, 0);
};
