// Feeds every input to the settings reader as the settings file beside the executable: read at
// start, written at close, read at the next start. What was read must come back from the file
// written, and a second close with nothing changed must leave that file as it is. The file sits
// in a temporary folder made once and is rewritten for each input.

#include <cstddef>
#include <cstdint>

#include <QByteArrayView>
#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include "FuzzSupport.h"
#include "app/Settings.h"
#include "platform/ProfileFile.h"

namespace {

QString settingsPath;

QByteArray fileBytes()
{
    QFile file(settingsPath);
    require(file.open(QIODevice::ReadOnly), "the settings file can be read back");
    return file.readAll();
}

bool operator==(const Settings &a, const Settings &b)
{
    return a.save == b.save && a.selectionmode == b.selectionmode && a.markcol == b.markcol;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***argv)
{
    startFuzzApplication<QCoreApplication>(**argv);
    static QTemporaryDir folder;
    require(folder.isValid(), "a temporary folder can be made");
    settingsPath = folder.filePath(QStringLiteral("quillet.ini"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    writeInputFile(
        settingsPath, QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size)));
    ProfileFile file(settingsPath);
    const Settings read = readSettings(file);
    writeSettings(file, read);
    const QByteArray written = fileBytes();
    require(readSettings(file) == read, "the settings read back as they were written");
    writeSettings(file, read);
    require(fileBytes() == written, "writing unchanged settings leaves the file unchanged");
    return 0;
}
