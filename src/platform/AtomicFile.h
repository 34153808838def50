#pragma once

#include <optional>

#include <QByteArray>
#include <QIODevice>
#include <QString>

// Replaces a file only once its new content is wholly on disk. Everything written goes to a
// temporary file beside the target; commit() writes out what is still buffered, syncs it and
// renames it over the target. Any failure on the way (the temporary file cannot be made, a write
// is short or fails, the sync or the rename fails) removes the temporary file and leaves the
// target exactly as it was. The destructor cancels a write that was not committed.
class AtomicFile : public QIODevice {
public:
    // The system calls in the order a write makes them; tests fail each one in turn.
    enum class Step { Create, Write, Flush, Sync, Rename };

    explicit AtomicFile(const QString &target);
    ~AtomicFile() override;

    // Creates the temporary file for writing (the only mode); false when it cannot be made.
    bool open(OpenMode mode) override;
    // True only when the target now holds everything written.
    bool commit();

    bool isSequential() const override { return true; }

    // Makes the given step fail with EIO in every writer of the process until it is cleared.
    static void failStepForTesting(std::optional<Step> step);

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *data, qint64 size) override;

private:
    bool writeBuffer(Step step);
    void cancel();

    QString targetPath;
    QByteArray tempPath;
    QByteArray buffer;
    int fd = -1;
    bool failed = false;
};

// Writes `bytes` to `path` through an AtomicFile; true when the whole file is on disk.
bool writeFileAtomically(const QString &path, const QByteArray &bytes);
