#pragma once

#include <optional>

#include <QColor>
#include <QRgb>

#include "app/MainMenus.h"

class ColorSwatch;
class Prompts;
class QPushButton;
class QWidget;
class TColorGrid;

// The tool panel's mark-colour controls: the "-->" button, the swatch and the colour grid, with
// the grid's indices as last seen and the colour last chosen in the colour dialog. It does the
// work of their handlers; the window holds the mark colour and runs Mark.
class MarkColorPanel {
public:
    // Places the controls in `panel`, right of the mode button; their clicks run the window's
    // handlers as `command` wraps them.
    MarkColorPanel(Prompts &prompts, QWidget *panel, const MainMenus::Command &command);

    QRgb swatchColor() const;
    void setSwatchColor(QRgb color);
    // The grid's indices as they are now, so that a click on the cell numbered like them keeps
    // the mark colour.
    void rememberGridIndices();

    // The colour dialog, opened on the colour last chosen in it; the swatch takes the choice.
    // Nothing when cancelled.
    std::optional<QRgb> chooseColor();
    // After a grid click: the colour of the cell whose index changed (the foreground's when both
    // did), else `markcol`. In quick marking mode the swatch takes it; the grid's marks go off.
    QRgb gridColor(QRgb markcol, bool selectionMode);

private:
    Prompts &prompts;
    QPushButton *button = nullptr;
    ColorSwatch *swatch = nullptr;
    TColorGrid *grid = nullptr;
    int lastfgindex = 0;
    int lastbgindex = 0;
    QColor lastDialogColor = Qt::black;
};
