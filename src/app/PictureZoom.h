#pragma once

#include <QObject>

class PictureView;
class QComboBox;
class QMainWindow;
class QScrollArea;

// The picture view's zoom as the user drives it: Ctrl and the mouse wheel about the point under
// the pointer, Ctrl++ (and Ctrl+=) and Ctrl+-, Ctrl+9 to fit the whole picture in the window and
// Ctrl+0 for actual pixels, and a "Zoom" control at the right end of the status bar. "Fit" stays
// fit as the window or the picture changes size; a fixed zoom stays fixed. Nothing of it is
// stored: every start shows actual pixels.
class PictureZoom : public QObject {
    Q_OBJECT

public:
    PictureZoom(QMainWindow &window, QScrollArea &area, PictureView &view);

    void zoomIn();
    void zoomOut();
    void fitWindow();
    void actualPixels();
    // A new zoom with the picture point under `viewportPosition` kept where it is.
    void zoomAbout(qreal zoom, QPointF viewportPosition);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void setFixedZoom(qreal zoom);
    void refit();
    void showZoom();
    QPointF viewportCentre() const;

    QScrollArea &area;
    PictureView &view;
    QComboBox *control;
    bool fit = false;
};
