#include "editor/PictureBuffers.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <mutex>
#include <utility>

#include <QColorSpace>
#include <QSize>

#include <sys/mman.h>

#include "platform/Failure.h"

namespace {

// Smaller pictures come from malloc, which keeps such blocks in its own heap anyway.
constexpr qsizetype pooledBytes = qsizetype(4) << 20;
constexpr qsizetype hugePage = qsizetype(2) << 20;

qsizetype roundUp(qsizetype value, qsizetype step)
{
    return (value + step - 1) / step * step;
}

struct Buffer {
    uchar *memory = nullptr;
    qsizetype capacity = 0;
};

// Maps `capacity` bytes (a multiple of the huge page) on a huge-page boundary: it maps a huge
// page more and returns the ends, since the kernel only backs aligned spans with huge pages.
uchar *mapBuffer(qsizetype capacity)
{
    const size_t length = size_t(capacity + hugePage);
    void *raw = mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED)
        return nullptr;
    const auto start = reinterpret_cast<std::uintptr_t>(raw);
    const std::uintptr_t aligned = roundUp(qsizetype(start), hugePage);
    if (aligned > start)
        munmap(raw, aligned - start);
    const std::uintptr_t end = aligned + std::uintptr_t(capacity);
    if (start + length > end)
        munmap(reinterpret_cast<void *>(end), start + length - end);
    auto *memory = reinterpret_cast<uchar *>(aligned);
    madvise(memory, size_t(capacity), MADV_HUGEPAGE);
    return memory;
}

void unmapBuffer(const Buffer &buffer)
{
    munmap(buffer.memory, size_t(buffer.capacity));
}

class Pool {
public:
    // A buffer of at least `bytes`: the waiting one when it fits without wasting a quarter of
    // itself, otherwise a fresh mapping (the waiting one goes first, so they never add up).
    Buffer take(qsizetype bytes)
    {
        const qsizetype capacity = roundUp(bytes, hugePage);
        Buffer stale;
        {
            const std::lock_guard lock(mutex);
            if (idle.memory && idle.capacity >= capacity
                && idle.capacity - capacity <= capacity / 4)
                return std::exchange(idle, Buffer());
            stale = std::exchange(idle, Buffer());
        }
        if (stale.memory)
            unmapBuffer(stale);
        return Buffer { mapBuffer(capacity), capacity };
    }

    // The newest buffer waits: the next picture most likely has the size of the last one.
    void give(Buffer buffer)
    {
        Buffer stale;
        {
            const std::lock_guard lock(mutex);
            stale = std::exchange(idle, buffer);
        }
        if (stale.memory)
            unmapBuffer(stale);
    }

    qsizetype idleBytes()
    {
        const std::lock_guard lock(mutex);
        return idle.capacity;
    }

    void release() { give(Buffer()); }

private:
    std::mutex mutex;
    Buffer idle;
};

// Never destroyed: images may outlive every static object.
Pool &pool()
{
    static Pool *const instance = new Pool;
    return *instance;
}

void returnBuffer(void *info)
{
    auto *buffer = static_cast<Buffer *>(info);
    pool().give(*buffer);
    delete buffer;
}

// Qt's own limits for an image's size (QImage refuses anything beyond them).
qsizetype bytesPerLine(QSize size, QImage::Format format)
{
    const qint64 bits = qint64(size.width()) * QImage::toPixelFormat(format).bitsPerPixel();
    if (bits > std::numeric_limits<int>::max()
        || size.height() > std::numeric_limits<int>::max() / qint64(sizeof(uchar *)))
        return 0;
    return qsizetype((bits + 31) / 32 * 4);
}

} // namespace

Failure notEnoughMemory(QSize size)
{
    return Failure(QStringLiteral("Not enough memory for a %1 x %2 picture")
                       .arg(size.width())
                       .arg(size.height()));
}

QImage PictureBuffers::newImage(QSize size, QImage::Format format)
{
    if (size.isEmpty())
        return QImage();
    const qsizetype lineBytes = bytesPerLine(size, format);
    if (lineBytes == 0)
        throw notEnoughMemory(size);
    const qsizetype bytes = lineBytes * size.height();
    if (bytes < pooledBytes) {
        QImage image(size, format);
        if (image.isNull())
            throw notEnoughMemory(size);
        return image;
    }
    auto *buffer = new Buffer(pool().take(bytes));
    QImage image;
    if (buffer->memory) {
        image = QImage(
            buffer->memory, size.width(), size.height(), lineBytes, format, returnBuffer, buffer);
    }
    if (image.isNull()) {
        if (buffer->memory)
            unmapBuffer(*buffer);
        delete buffer;
        throw notEnoughMemory(size);
    }
    // The bytes after each line's last pixel would otherwise keep what an earlier picture left.
    const qsizetype usedBytes = (qint64(size.width()) * image.depth() + 7) / 8;
    if (usedBytes < lineBytes) {
        for (int y = 0; y < size.height(); ++y)
            std::memset(
                buffer->memory + y * lineBytes + usedBytes, 0, size_t(lineBytes - usedBytes));
    }
    return image;
}

void PictureBuffers::copyMetadata(const QImage &from, QImage &to)
{
    to.setDotsPerMeterX(from.dotsPerMeterX());
    to.setDotsPerMeterY(from.dotsPerMeterY());
    to.setOffset(from.offset());
    to.setDevicePixelRatio(from.devicePixelRatio());
    to.setColorSpace(from.colorSpace());
    for (const QString &key : from.textKeys())
        to.setText(key, from.text(key));
}

QImage PictureBuffers::copyOf(const QImage &image)
{
    if (image.isNull())
        return QImage();
    QImage copy = newImage(image.size(), image.format());
    const qsizetype lineBytes = std::min(copy.bytesPerLine(), image.bytesPerLine());
    uchar *to = copy.bits();
    for (int y = 0; y < image.height(); ++y, to += copy.bytesPerLine())
        std::memcpy(to, image.constScanLine(y), size_t(lineBytes));
    copy.setColorTable(image.colorTable());
    copyMetadata(image, copy);
    return copy;
}

qsizetype PictureBuffers::idleBytes()
{
    return pool().idleBytes();
}

void PictureBuffers::releaseIdle()
{
    pool().release();
}
