#pragma once

#include <optional>

#include <QRgb>
#include <QString>

class QColor;

// What an assistive tool reads for a colour: its common name and its red, green and blue
// values, "Red (255, 0, 0)"; a colour without a common name reads "Color (12, 200, 40)".
// The sixteen colours of the colour grid have names; an invalid colour reads "No color".
QString colorAccessibleName(const QColor &color);

// The colour grid's colour of that English name ("Dark red"), in any case and with a hyphen for
// a blank ("dark-red"); nothing for any other name.
std::optional<QRgb> colorNamed(QString name);
