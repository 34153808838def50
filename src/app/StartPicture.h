#pragma once

#include <QImage>

// The instructions the main window shows at start: a 621 x 462 picture in 24-bit RGB
// (Format_RGB888), built into the program; an ordinary picture to mark, crop and save.
QImage startPicture();
