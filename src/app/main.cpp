#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QStandardPaths>
#include <QTextStream>
#include <QTimer>

#include "app/CommandLine.h"
#include "app/ScriptedMark.h"
#include "app/TmainF.h"
#include "files/PictureLimits.h"
#include "files/PicturePreview.h"
#include "location/TDriveInfo.h"
#include "location/TLocxxxF.h"
#include "platform/AppInfo.h"
#include "platform/ChangeNotification.h"
#include "platform/DataFolder.h"
#include "platform/SystemVolumeSource.h"
#include "platform/qt/QtPrinter.h"
#include "platform/qt/QtPrompts.h"
#include "shell/ShellNamespace.h"
#include "shell/Volumes.h"
#include "widgets/TAboutF.h"

namespace {

QIcon applicationIcon()
{
    QIcon icon;
    for (const int size : { 16, 24, 32, 48, 64, 128, 256 })
        icon.addFile(QStringLiteral(":/icons/%1.png").arg(size), QSize(size, size));
    return icon;
}

// Help and the version line go to the standard output, what is wrong with the command line to
// the standard error.
int printed(const CommandLine &line)
{
    std::fputs(line.text.toLocal8Bit().constData(), line.exitCode == 0 ? stdout : stderr);
    return line.exitCode;
}

// The window and everything it uses, made and taken down within the application's lifetime.
int runWindow(const CommandLine &line)
{
    // Wayland shells take the icon from the desktop entry of this name, X11 from the window.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.quillet.Quillet"));
    allowPicturesUpToOpenLimit();
    QtPrompts prompts;
    prompts.setPreviewer(std::make_shared<PicturePreview>());
    // Made when Print is first used: a printer loads the print system and talks to its server.
    std::unique_ptr<QtPrinter> printer;
    const auto printerOnDemand = [&printer]() -> Printer & {
        if (!printer)
            printer = std::make_unique<QtPrinter>();
        return *printer;
    };
    // TmainF keeps the settings at this path with ".ini" and the history files in its folder:
    // the executable's own path while its folder can be written.
    const QString folder = dataFolder();
    const QString filesPath
        = QDir(folder).filePath(QFileInfo(QCoreApplication::applicationFilePath()).fileName());
    const QString saveFolder = defaultSaveFolder(folder, executableFolder(),
        QStandardPaths::writableLocation(QStandardPaths::PicturesLocation), QDir::homePath());
    TmainF window(prompts, printerOnDemand, filesPath, saveFolder);
    prompts.setParent(&window);
    TAboutF aboutBox(prompts, folder, &window);
    window.setAboutBox(&aboutBox);
    // The machine's volumes and the one change notification of the process, for the dialog's
    // drive selector and folder tree.
    SystemVolumeSource volumeSource;
    Volumes volumes(volumeSource);
    TDriveInfo driveInfo(volumes);
    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    ShellNamespace shell(
        QFileInfo(desktop).isDir() ? desktop : QDir::homePath(), QDir::homePath(), volumes);
    ChangeNotification notification;
    TLocxxxF locationDialog(prompts, driveInfo, shell, notification, &window);
    window.setLocationDialog(&locationDialog);
    window.show();
    // Once the window shows, so that a message about the picture appears over it.
    if (!line.picture.isEmpty())
        QTimer::singleShot(0, &window, [&window, &line] { window.openFromOutside(line.picture); });
    // The icon's seven pictures go through an image reader, which scans every image plugin, and
    // then to the window system as one large property: a quarter second after start, once the
    // window has shown and painted, that no longer holds up either.
    QTimer::singleShot(250, &window, [] { QApplication::setWindowIcon(applicationIcon()); });
    return QApplication::exec();
}

} // namespace

int main(int argc, char **argv)
{
    // Under a file-size limit a write past it fails with EFBIG, which the writers report; the
    // signal's default would end the program and lose the picture on screen.
    std::signal(SIGXFSZ, SIG_IGN);
    // --help and --version are answered before the window system starts, so they need no
    // display; a start without options skips that first reading.
    if (std::any_of(argv + 1, argv + argc, [](const char *word) { return word[0] == '-'; })) {
        QCoreApplication terminal(argc, argv);
        const CommandLine asked
            = readCommandLine(QCoreApplication::arguments(), QDir::currentPath());
        // A script's mistakes are told here, where no display is needed; other unknown words
        // may be the window system's own options, read once it starts.
        const bool script = std::any_of(argv + 1, argv + argc, [](const char *word) {
            return QByteArrayView(word).startsWith("--mark")
                || QByteArrayView(word).startsWith("--crop")
                || QByteArrayView(word).startsWith("--output");
        });
        if (!asked.starts() && (asked.exitCode == 0 || script))
            return printed(asked);
        if (asked.starts() && asked.scripted()) {
            allowPicturesUpToOpenLimit();
            QTextStream errors(stderr);
            return runScriptedMark(asked, errors);
        }
    }
    Q_INIT_RESOURCE(icon);
    QApplication app(argc, argv);
    // Read again once the window system has taken its own options (-platform, -style, ...).
    const CommandLine line = readCommandLine(QCoreApplication::arguments(), QDir::currentPath());
    if (!line.starts())
        return printed(line);
    const int exitCode = runWindow(line);
    // Qt 6.4's Wayland client can deadlock while taking down its display connection, leaving a
    // process without a window. The window is gone and its settings are written by now, and a
    // Wayland clipboard ends with its program anyway, so the process ends without that step.
    if (QGuiApplication::platformName() == QLatin1String("wayland")) {
        std::fflush(nullptr);
        std::_Exit(exitCode);
    }
    return exitCode;
}
