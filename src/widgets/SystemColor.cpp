#include "widgets/SystemColor.h"

#include <QPalette>

namespace {

// The system colour indices that have a counterpart among the palette's roles.
QPalette::ColorRole roleOf(int index)
{
    switch (index) {
    case 5: // window
        return QPalette::Base;
    case 6: // window frame
    case 8: // window text
        return QPalette::WindowText;
    case 13:
        return QPalette::Highlight;
    case 14:
        return QPalette::HighlightedText;
    case 16: // button shadow
        return QPalette::Dark;
    case 17: // grey text
        return QPalette::PlaceholderText;
    case 18:
        return QPalette::ButtonText;
    case 20: // button highlight
        return QPalette::Light;
    case 21: // 3-D dark shadow
        return QPalette::Shadow;
    case 22: // 3-D light
        return QPalette::Midlight;
    case 23:
        return QPalette::ToolTipText;
    case 24:
        return QPalette::ToolTipBase;
    default: // the button face, and the indices without a role of their own
        return QPalette::Button;
    }
}

} // namespace

QColor resolveColor(TColor color, const QPalette &palette)
{
    if (color & systemColorFlag)
        return palette.color(QPalette::Active, roleOf(int(color & 0xff)));
    return QColor(int(color & 0xff), int(color >> 8 & 0xff), int(color >> 16 & 0xff));
}
