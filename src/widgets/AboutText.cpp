#include "widgets/AboutText.h"

#include <cstdio>
#include <jpeglib.h>

#include <QDir>
#include <QFileInfo>
#include <QStringList>
#include <QSysInfo>
#include <QtGlobal>

#include "platform/AppInfo.h"

#define QUILLET_STRINGIFY2(x) #x
#define QUILLET_STRINGIFY(x) QUILLET_STRINGIFY2(x)

namespace {

// One line naming a file of this run and whether it is there yet.
QString fileLine(const QString &label, const QString &folder, const QString &name)
{
    const QString path = QDir::toNativeSeparators(QDir(folder).filePath(name));
    const QString state
        = QFileInfo::exists(path) ? QString() : QStringLiteral(" (not written yet)");
    return QStringLiteral("  %1 %2%3").arg(label, -10).arg(path, state);
}

} // namespace

QString jpegLibraryVersion()
{
    const QString interface = QStringLiteral("libjpeg interface %1.%2")
                                  .arg(JPEG_LIB_VERSION / 10)
                                  .arg(JPEG_LIB_VERSION % 10);
#ifdef LIBJPEG_TURBO_VERSION
    return QStringLiteral("libjpeg-turbo %1 (%2)")
        .arg(QLatin1String(QUILLET_STRINGIFY(LIBJPEG_TURBO_VERSION)), interface);
#else
    return interface;
#endif
}

QString versionLine()
{
    return QStringLiteral("Quillet " QUILLET_VERSION);
}

QString aboutText(const QString &dataFolder)
{
    const QString settingsName = applicationTitle() + QStringLiteral(".ini");
    const QStringList lines {
        QStringLiteral("Quillet marks up pictures the way a highlighter marks paper: open"),
        QStringLiteral("a JPEG or bitmap picture, or paste a screenshot, drag rectangles"),
        QStringLiteral("over it, and each one is tinted with the mark colour. Light"),
        QStringLiteral("backgrounds take the colour, dark text stays dark."),
        QString(),
        QStringLiteral("Modes (the button at the top left, or Options > Selection mode):"),
        QStringLiteral("  quick marking  letting go of the mouse marks the dragged"),
        QStringLiteral("                 rectangle at once with the swatch colour"),
        QStringLiteral("  selection      a drag only selects; then Selection > Mark! or"),
        QStringLiteral("                 Crop, or pick a colour to mark it"),
        QString(),
        QStringLiteral("Keys:"),
        QStringLiteral("  S       File > Save (to the current file name)"),
        QStringLiteral("  Ctrl+S  File > Save as..."),
        QStringLiteral("  Ctrl+P  File > Print..."),
        QStringLiteral("  Ctrl+V  Edit > Paste"),
        QStringLiteral("  D       Edit > Delete (Clear display), with undo"),
        QStringLiteral("  Ctrl+Z  Edit > Undo (one level)"),
        QStringLiteral("  M       Selection > Mark! (selection mode)"),
        QStringLiteral("  Ctrl+Y  Selection > Crop (selection mode)"),
        QStringLiteral("  Ctrl+C  Selection > Copy (selection mode)"),
        QStringLiteral("  Right click on the picture: copy the whole picture,"),
        QStringLiteral("  paste, clear, bring back the start picture."),
        QString(),
        QStringLiteral("Files of this run:"),
        fileLine(QStringLiteral("Settings"), dataFolder, settingsName),
        fileLine(QStringLiteral("History"), dataFolder, QStringLiteral("quilletfiles.his")),
        fileLine(QString(), dataFolder, QStringLiteral("quilletmax.his")),
        fileLine(QString(), dataFolder, QStringLiteral("quilletmaxlen.his")),
        QString(),
        QStringLiteral("Versions:"),
        QStringLiteral("  ") + versionLine(),
        QStringLiteral("  Qt %1 (built with %2)")
            .arg(QString::fromLatin1(qVersion()), QStringLiteral(QT_VERSION_STR)),
        QStringLiteral("  JPEG: %1").arg(jpegLibraryVersion()),
        QStringLiteral("  System: %1, %2 %3")
            .arg(QSysInfo::prettyProductName(), QSysInfo::kernelType(),
                QSysInfo::currentCpuArchitecture()),
    };
    return lines.join(QLatin1Char('\n'));
}
