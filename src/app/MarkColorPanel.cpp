#include "app/MarkColorPanel.h"

#include "app/ColorSwatch.h"
#include "app/TmainF.h"
#include "platform/Prompts.h"
#include "widgets/ColorNames.h"
#include "widgets/TBitBtnWithColor.h"
#include "widgets/TColorGrid.h"

MarkColorPanel::MarkColorPanel(Prompts &prompts, QWidget *panel, const MainMenus::Command &command)
    : prompts(prompts)
{
    button = new TBitBtnWithColor(QStringLiteral("-->"), panel);
    button->setObjectName(QStringLiteral("setcolB"));
    button->setGeometry(160, 16, 25, 25);
    button->setToolTip(QStringLiteral("Set default mark color"));
    button->setFocusPolicy(Qt::NoFocus);
    QObject::connect(button, &QPushButton::clicked, panel, command(&TmainF::setcolBClick));

    swatch = new ColorSwatch(panel);
    swatch->setObjectName(QStringLiteral("markcolP"));
    swatch->setGeometry(192, 19, 22, 21);
    QObject::connect(swatch, &ColorSwatch::clicked, panel, command(&TmainF::markcolPClick));

    grid = new TColorGrid(panel);
    grid->setObjectName(QStringLiteral("cg"));
    grid->setClickEnablesColor(true);
    grid->setGridOrdering(TGridOrdering::go8x2);
    grid->setForegroundEnabled(false);
    grid->setBackgroundEnabled(false);
    grid->setGeometry(220, 4, 200, 42);
    // Never shown: hints are on for the two buttons only; screen readers still read it.
    grid->setAccessibleDescription(QStringLiteral("Choose color with right click"));
    // Tab reaches the grid, whose keys pick colours; a click leaves the focus where it was.
    grid->setFocusPolicy(Qt::TabFocus);
    QObject::connect(grid, &TColorGrid::clicked, panel, command(&TmainF::cgClick));
}

QRgb MarkColorPanel::swatchColor() const
{
    return swatch->color();
}

void MarkColorPanel::setSwatchColor(QRgb color)
{
    swatch->setColor(color);
    swatch->setAccessibleName(
        QStringLiteral("Mark color: %1").arg(colorAccessibleName(QColor(swatch->color()))));
}

void MarkColorPanel::rememberGridIndices()
{
    lastfgindex = grid->ForegroundIndex();
    lastbgindex = grid->BackgroundIndex();
}

std::optional<QRgb> MarkColorPanel::chooseColor()
{
    const auto chosen = prompts.chooseColor(lastDialogColor);
    if (!chosen)
        return std::nullopt;
    lastDialogColor = *chosen;
    setSwatchColor(chosen->rgb());
    return chosen->rgb();
}

QRgb MarkColorPanel::gridColor(QRgb markcol, bool selectionMode)
{
    if (grid->BackgroundIndex() != lastbgindex) {
        lastbgindex = grid->BackgroundIndex();
        markcol = grid->BackgroundCellColor().rgb();
    }
    if (grid->ForegroundIndex() != lastfgindex) {
        lastfgindex = grid->ForegroundIndex();
        markcol = grid->ForegroundCellColor().rgb();
    }
    if (!selectionMode)
        setSwatchColor(markcol);
    grid->setForegroundEnabled(false);
    grid->setBackgroundEnabled(false);
    return markcol;
}
