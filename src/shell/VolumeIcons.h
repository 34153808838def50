#pragma once

#include "platform/MountTable.h"

class QIcon;

// The icon of a volume type: the icon theme's drive icon, else one drawn here, so every type
// has an icon on a machine without a theme.
QIcon volumeIcon(TDriveType type);
