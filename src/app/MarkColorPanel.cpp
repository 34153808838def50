#include "app/MarkColorPanel.h"

#include "app/ColorSwatch.h"
#include "platform/Prompts.h"
#include "widgets/ColorNames.h"
#include "widgets/TBitBtnWithColor.h"
#include "widgets/TColorGrid.h"

MarkColorPanel::MarkColorPanel(Prompts &prompts, QWidget *panel) : prompts(prompts)
{
    button = new TBitBtnWithColor(QStringLiteral("-->"), panel);
    button->setObjectName(QStringLiteral("setcolB"));
    button->setGeometry(160, 16, 25, 25);
    button->setToolTip(QStringLiteral("Set default mark color"));
    button->setFocusPolicy(Qt::NoFocus);
    connect(button, &QPushButton::clicked, this, &MarkColorPanel::chooseClicked);

    swatch = new ColorSwatch(panel);
    swatch->setObjectName(QStringLiteral("markcolP"));
    swatch->setGeometry(192, 19, 22, 21);
    connect(swatch, &ColorSwatch::clicked, this, &MarkColorPanel::swatchClicked);

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
    connect(grid, &TColorGrid::clicked, this, &MarkColorPanel::gridClicked);
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

void MarkColorPanel::gridClicked()
{
    std::optional<QRgb> picked;
    if (grid->BackgroundIndex() != lastbgindex) {
        lastbgindex = grid->BackgroundIndex();
        picked = grid->BackgroundCellColor().rgb();
    }
    if (grid->ForegroundIndex() != lastfgindex) {
        lastfgindex = grid->ForegroundIndex();
        picked = grid->ForegroundCellColor().rgb();
    }
    grid->setForegroundEnabled(false);
    grid->setBackgroundEnabled(false);
    emit gridPicked(picked);
}
