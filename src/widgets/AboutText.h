#pragma once

#include <QString>

// The JPEG library this build uses, as "libjpeg-turbo 2.1.5 (libjpeg interface 6.2)".
QString jpegLibraryVersion();

// "Quillet" and the version, as the About box's text and `quillet --version` show it.
QString versionLine();

// The About box's text: what Quillet does, its keys, where this run keeps its settings and
// history (in `dataFolder`) and the versions it runs with, ready to paste into a bug report.
QString aboutText(const QString &dataFolder);
