#include "widgets/ColorNames.h"

#include <QColor>
#include <QCoreApplication>

namespace {

struct NamedColor {
    QRgb rgb;
    const char *name;
};

// Plain names rather than the web's (Maroon, Olive, Teal): they say what the colour looks like.
constexpr NamedColor namedColors[] = {
    { qRgb(0, 0, 0), QT_TRANSLATE_NOOP("ColorNames", "Black") },
    { qRgb(128, 0, 0), QT_TRANSLATE_NOOP("ColorNames", "Dark red") },
    { qRgb(0, 128, 0), QT_TRANSLATE_NOOP("ColorNames", "Dark green") },
    { qRgb(128, 128, 0), QT_TRANSLATE_NOOP("ColorNames", "Dark yellow") },
    { qRgb(0, 0, 128), QT_TRANSLATE_NOOP("ColorNames", "Dark blue") },
    { qRgb(128, 0, 128), QT_TRANSLATE_NOOP("ColorNames", "Dark magenta") },
    { qRgb(0, 128, 128), QT_TRANSLATE_NOOP("ColorNames", "Dark cyan") },
    { qRgb(192, 192, 192), QT_TRANSLATE_NOOP("ColorNames", "Light gray") },
    { qRgb(128, 128, 128), QT_TRANSLATE_NOOP("ColorNames", "Dark gray") },
    { qRgb(255, 0, 0), QT_TRANSLATE_NOOP("ColorNames", "Red") },
    { qRgb(0, 255, 0), QT_TRANSLATE_NOOP("ColorNames", "Green") },
    { qRgb(255, 255, 0), QT_TRANSLATE_NOOP("ColorNames", "Yellow") },
    { qRgb(0, 0, 255), QT_TRANSLATE_NOOP("ColorNames", "Blue") },
    { qRgb(255, 0, 255), QT_TRANSLATE_NOOP("ColorNames", "Magenta") },
    { qRgb(0, 255, 255), QT_TRANSLATE_NOOP("ColorNames", "Cyan") },
    { qRgb(255, 255, 255), QT_TRANSLATE_NOOP("ColorNames", "White") },
};

} // namespace

QString colorAccessibleName(const QColor &color)
{
    if (!color.isValid())
        return QCoreApplication::translate("ColorNames", "No color");
    const QRgb rgb = qRgb(color.red(), color.green(), color.blue());
    QString name = QCoreApplication::translate("ColorNames", "Color");
    for (const NamedColor &named : namedColors)
        if (named.rgb == rgb)
            name = QCoreApplication::translate("ColorNames", named.name);
    return QStringLiteral("%1 (%2, %3, %4)")
        .arg(name)
        .arg(color.red())
        .arg(color.green())
        .arg(color.blue());
}
