#pragma once

#include <QString>

class QColor;

// What an assistive tool reads for a colour: its common name and its red, green and blue
// values, "Red (255, 0, 0)"; a colour without a common name reads "Color (12, 200, 40)".
// The sixteen colours of the colour grid have names; an invalid colour reads "No color".
QString colorAccessibleName(const QColor &color);
