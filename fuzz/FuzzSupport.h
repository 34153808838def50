#pragma once

// What the fuzz targets share: the application object, a rule check and the temporary files
// through which the readers that take a file name get their input.

#include <cstdio>
#include <cstdlib>

#include <QByteArrayView>
#include <QFile>
#include <QString>
#include <QtGlobal>

// Starts the application object that Qt's image plugins, fonts and widgets look for, on the
// offscreen platform, with Qt's messages silenced: damaged input makes Qt warn by design. Qt gets
// an argument list of its own, so that it never takes anything out of libFuzzer's.
template<class Application> void startFuzzApplication(char *programName)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char *argv[] = { programName, nullptr };
    static Application app(argc, argv);
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
}

// A promise of the reader that the input broke: the abort makes libFuzzer keep the input.
inline void require(bool holds, const char *promise)
{
    if (holds)
        return;
    std::fprintf(stderr, "Broken promise: %s\n", promise);
    std::abort();
}

// Replaces the content of the file at `path` with `bytes`.
inline void writeInputFile(const QString &path, QByteArrayView bytes)
{
    QFile file(path);
    require(file.open(QIODevice::WriteOnly | QIODevice::Truncate)
            && file.write(bytes.data(), bytes.size()) == bytes.size(),
        "the input file can be written");
}
