#pragma once

#include <QString>

// The executable's folder in native form with a trailing separator.
QString executableFolder();

// The application's title: the executable's file name without its extension.
QString applicationTitle();
