#pragma once

#include <optional>

#include <QColor>
#include <QObject>
#include <QRgb>

class ColorSwatch;
class Prompts;
class QPushButton;
class QWidget;
class TColorGrid;

// The tool panel's mark-colour controls: the "-->" button, the swatch and the colour grid, with
// the grid's indices as last seen and the colour last chosen in the colour dialog. It tells what
// the user picked; the window holds the mark colour and runs Mark.
class MarkColorPanel : public QObject {
    Q_OBJECT

public:
    // Places the controls in `panel`, right of the mode button.
    MarkColorPanel(Prompts &prompts, QWidget *panel);

    QRgb swatchColor() const;
    void setSwatchColor(QRgb color);
    // The grid's indices as they are now, so that a click on the cell numbered like them keeps
    // the mark colour.
    void rememberGridIndices();

    // The colour dialog, opened on the colour last chosen in it; the swatch takes the choice.
    // Nothing when cancelled.
    std::optional<QRgb> chooseColor();

signals:
    void chooseClicked(); // the "-->" button
    void swatchClicked();
    // A click in the grid: the colour of the cell whose index changed (the foreground's when both
    // did), or nothing when neither did. The grid's marks are off again by then.
    void gridPicked(std::optional<QRgb> color);

private:
    void gridClicked();

    Prompts &prompts;
    QPushButton *button = nullptr;
    ColorSwatch *swatch = nullptr;
    TColorGrid *grid = nullptr;
    int lastfgindex = 0;
    int lastbgindex = 0;
    QColor lastDialogColor = Qt::black;
};
