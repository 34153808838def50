#include "widgets/ColorNames.h"

#include <algorithm>
#include <iterator>

#include <QColor>
#include <QCoreApplication>

#include "widgets/StandardColors.h"

namespace {

// The names of the standard colours, in their order. Plain names rather than the web's (Maroon,
// Olive, Teal): they say what the colour looks like.
constexpr const char *standardColorNames[] = {
    QT_TRANSLATE_NOOP("ColorNames", "Black"),
    QT_TRANSLATE_NOOP("ColorNames", "Dark red"),
    QT_TRANSLATE_NOOP("ColorNames", "Dark green"),
    QT_TRANSLATE_NOOP("ColorNames", "Dark yellow"),
    QT_TRANSLATE_NOOP("ColorNames", "Dark blue"),
    QT_TRANSLATE_NOOP("ColorNames", "Dark magenta"),
    QT_TRANSLATE_NOOP("ColorNames", "Dark cyan"),
    QT_TRANSLATE_NOOP("ColorNames", "Light gray"),
    QT_TRANSLATE_NOOP("ColorNames", "Dark gray"),
    QT_TRANSLATE_NOOP("ColorNames", "Red"),
    QT_TRANSLATE_NOOP("ColorNames", "Green"),
    QT_TRANSLATE_NOOP("ColorNames", "Yellow"),
    QT_TRANSLATE_NOOP("ColorNames", "Blue"),
    QT_TRANSLATE_NOOP("ColorNames", "Magenta"),
    QT_TRANSLATE_NOOP("ColorNames", "Cyan"),
    QT_TRANSLATE_NOOP("ColorNames", "White"),
};
static_assert(std::size(standardColorNames) == standardColors.size());

} // namespace

QString colorAccessibleName(const QColor &color)
{
    if (!color.isValid())
        return QCoreApplication::translate("ColorNames", "No color");
    const QRgb rgb = qRgb(color.red(), color.green(), color.blue());
    QString name = QCoreApplication::translate("ColorNames", "Color");
    const auto standard = std::find(standardColors.begin(), standardColors.end(), rgb);
    if (standard != standardColors.end()) {
        name = QCoreApplication::translate(
            "ColorNames", standardColorNames[standard - standardColors.begin()]);
    }
    return QStringLiteral("%1 (%2, %3, %4)")
        .arg(name)
        .arg(color.red())
        .arg(color.green())
        .arg(color.blue());
}

std::optional<QRgb> colorNamed(QString name)
{
    name.replace(u'-', u' ');
    for (size_t i = 0; i < std::size(standardColorNames); ++i) {
        if (name.compare(QLatin1String(standardColorNames[i]), Qt::CaseInsensitive) == 0)
            return standardColors[i];
    }
    return std::nullopt;
}
