#include "platform/ChangeNotification.h"

#include <cstdint>
#include <unistd.h>

#include <QSocketNotifier>

#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <sys/stat.h>

namespace {

constexpr quint32 nameEvents = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO;
// The folder itself going away, or the kernel dropping events: always worth a re-list.
constexpr quint32 folderEvents
    = IN_DELETE_SELF | IN_MOVE_SELF | IN_UNMOUNT | IN_IGNORED | IN_Q_OVERFLOW;
// A watch follows the folder's inode, not its path: after these it watches something else.
constexpr quint32 lostEvents = IN_DELETE_SELF | IN_MOVE_SELF | IN_UNMOUNT | IN_IGNORED;

quint32 kernelMask(quint32 filter)
{
    quint32 mask = IN_ONLYDIR | IN_DELETE_SELF | IN_MOVE_SELF;
    if (filter & (ChangeFileName | ChangeDirName))
        mask |= nameEvents;
    if (filter & ChangeAttributes)
        mask |= IN_ATTRIB;
    return mask;
}

// An entry without the folder flag may still be a link to a folder, which lists as one: such an
// entry that arrives is looked at, and one that goes may have been a link, which nothing tells.
bool mayBeFolderLink(const QByteArray &folder, const inotify_event &event)
{
    if (event.mask & (IN_DELETE | IN_MOVED_FROM))
        return true;
    struct stat info { };
    const QByteArray path = folder + '/' + QByteArray(event.name);
    return event.len > 0 && stat(path.constData(), &info) == 0 && S_ISDIR(info.st_mode);
}

// The kernel cannot tell folders from files in its mask, so a folders-only filter drops the
// file events here.
bool concerns(quint32 filter, const QByteArray &folder, const inotify_event &event)
{
    const quint32 eventMask = event.mask;
    if (eventMask & folderEvents)
        return true;
    if (eventMask & nameEvents) {
        if (eventMask & IN_ISDIR)
            return filter & ChangeDirName;
        return (filter & ChangeFileName)
            || ((filter & ChangeDirName) && mayBeFolderLink(folder, event));
    }
    if (eventMask & IN_ATTRIB)
        return filter & ChangeAttributes;
    return false;
}

} // namespace

AutoResetEvent::AutoResetEvent() : fd(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) { }

AutoResetEvent::~AutoResetEvent()
{
    if (fd >= 0)
        close(fd);
}

void AutoResetEvent::set()
{
    const std::uint64_t one = 1;
    [[maybe_unused]] auto written = write(fd, &one, sizeof one);
}

bool AutoResetEvent::take()
{
    std::uint64_t value = 0;
    return read(fd, &value, sizeof value) == sizeof value;
}

void WakeReasons::set(quint32 bits)
{
    {
        const std::lock_guard lock(mutex);
        pending |= bits;
    }
    raised.notify_all();
}

quint32 WakeReasons::wait(quint32 mask)
{
    std::unique_lock lock(mutex);
    raised.wait(lock, [&] { return (pending & mask) != 0; });
    const quint32 answer = pending & mask;
    pending &= ~answer;
    return answer;
}

quint32 WakeReasons::take(quint32 mask)
{
    const std::lock_guard lock(mutex);
    const quint32 answer = pending & mask;
    pending &= ~answer;
    return answer;
}

ChangeNotification::Watch::Watch(ChangeNotification &owner, const QByteArray &folder,
    quint32 filter, WakeReasons &wake, quint32 bit)
    : owner(owner), folder(folder), filter(filter), wake(wake), bit(bit)
{
}

ChangeNotification::Watch::~Watch()
{
    owner.release(this);
}

ChangeNotification::ChangeNotification(QObject *parent)
    : QObject(parent), inotifyFd(inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
{
    if (inotifyFd < 0)
        return;
    notifier = new QSocketNotifier(inotifyFd, QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &ChangeNotification::dispatch);
}

ChangeNotification::~ChangeNotification()
{
    delete notifier;
    if (inotifyFd >= 0)
        close(inotifyFd);
}

std::unique_ptr<ChangeNotification::Watch> ChangeNotification::watch(
    const QByteArray &path, quint32 filter, WakeReasons &wake, quint32 bit)
{
    if (inotifyFd < 0 || path.isEmpty())
        return nullptr;
    // Made before the lock is taken: a watch that is never registered releases nothing.
    std::unique_ptr<Watch> watch(new Watch(*this, path, filter, wake, bit));
    std::lock_guard lock(mutex);
    // A second watch on the same folder gets the same descriptor: widen its mask, never narrow it.
    const int wd = inotify_add_watch(inotifyFd, path.constData(), kernelMask(filter) | IN_MASK_ADD);
    if (wd < 0)
        return nullptr;
    watch->watchDescriptor = wd;
    watches[wd].push_back(watch.get());
    ++count;
    return watch;
}

int ChangeNotification::watchCount() const
{
    std::lock_guard lock(mutex);
    return count;
}

void ChangeNotification::release(Watch *watch)
{
    std::lock_guard lock(mutex);
    if (watch->watchDescriptor < 0)
        return;
    auto found = watches.find(watch->watchDescriptor);
    if (found == watches.end())
        return;
    auto &list = found->second;
    for (auto it = list.begin(); it != list.end(); ++it) {
        if (*it != watch)
            continue;
        list.erase(it);
        --count;
        if (list.empty()) {
            watches.erase(found);
            inotify_rm_watch(inotifyFd, watch->watchDescriptor);
        }
        return;
    }
}

void ChangeNotification::dispatch()
{
    alignas(inotify_event) char buffer[16384];
    for (;;) {
        const ssize_t length = read(inotifyFd, buffer, sizeof buffer);
        if (length <= 0)
            return;
        std::lock_guard lock(mutex);
        for (ssize_t at = 0; at < length;) {
            const auto *event = reinterpret_cast<const inotify_event *>(buffer + at);
            at += ssize_t(sizeof(inotify_event) + event->len);
            if (event->mask & IN_Q_OVERFLOW) {
                for (auto &[wd, list] : watches)
                    for (Watch *watch : list)
                        watch->wake.set(watch->bit);
                continue;
            }
            auto found = watches.find(event->wd);
            if (found == watches.end())
                continue;
            const bool lost = event->mask & lostEvents;
            for (Watch *watch : found->second) {
                if (lost)
                    watch->folderLost = true;
                if (concerns(watch->filter, watch->folder, *event))
                    watch->wake.set(watch->bit);
            }
            // The kernel has dropped the watch (folder deleted, volume unmounted): its watches
            // stay woken and are released as their owners end; the descriptor may be reused.
            if (event->mask & IN_IGNORED) {
                count -= int(found->second.size());
                for (Watch *watch : found->second)
                    watch->watchDescriptor = -1;
                watches.erase(found);
            }
        }
    }
}
