#pragma once

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

#include <QByteArray>
#include <QObject>

class QSocketNotifier;

// An auto-reset event on an eventfd: set() makes descriptor() readable until take() resets it,
// so one signal wakes one wait. For waits that an event loop's socket notifier makes.
class AutoResetEvent {
public:
    AutoResetEvent();
    ~AutoResetEvent();
    AutoResetEvent(const AutoResetEvent &) = delete;
    AutoResetEvent &operator=(const AutoResetEvent &) = delete;

    int descriptor() const { return fd; }
    void set();
    // Whether the event was set; resets it.
    bool take();

private:
    int fd = -1;
};

// Reasons for a thread to wake, as bits, behind a condition variable: set() raises bits, wait()
// sleeps until one of the asked bits is raised and lowers those it answers, so one signal wakes
// one wait. It costs no file descriptor, so a process may have thousands.
class WakeReasons {
public:
    void set(quint32 bits);
    // Blocks until a bit of `mask` is raised; answers the raised bits of `mask`, lowered.
    quint32 wait(quint32 mask);
    // The raised bits of `mask`, lowered, without waiting.
    quint32 take(quint32 mask);

private:
    std::mutex mutex;
    std::condition_variable raised;
    quint32 pending = 0;
};

// What a folder's change notification reports (the values of the Windows notify filter).
enum ChangeFilterFlag : quint32 {
    ChangeFileName = 0x1,
    ChangeDirName = 0x2,
    ChangeAttributes = 0x4,
};

// The process's one inotify instance, shared by every folder watch: the per-user limit on
// instances is small and shared by every program, and a descriptor per watch would let a large
// tree exhaust the process's own limit. The application creates one and hands it to every folder
// tree; it must outlive every watch. Events are read on the thread this object lives on (its
// event loop) and raise each concerned watch's wake bit.
class ChangeNotification : public QObject {
    Q_OBJECT

public:
    // A notification on one folder, not its subtree: raises its bit when something that the
    // filter names changes, or when the folder itself goes.
    class Watch {
    public:
        ~Watch();
        Watch(const Watch &) = delete;
        Watch &operator=(const Watch &) = delete;

        // The folder watched was deleted, moved away or unmounted: this watch follows the old
        // folder or nothing, and must be set up again on the path to see what is there now.
        bool lost() const { return folderLost; }

    private:
        friend class ChangeNotification;
        Watch(ChangeNotification &owner, const QByteArray &folder, quint32 filter,
            WakeReasons &wake, quint32 bit);

        ChangeNotification &owner;
        const QByteArray folder;
        int watchDescriptor = -1;
        const quint32 filter;
        WakeReasons &wake;
        const quint32 bit;
        std::atomic<bool> folderLost = false;
    };

    explicit ChangeNotification(QObject *parent = nullptr);
    ~ChangeNotification() override;

    // Sets up a notification on the folder `path` (native bytes) for `filter` (ChangeFilterFlag
    // bits) that raises `bit` of `wake`, which must outlive the watch; null when it cannot be
    // set (no such folder, the per-user watch limit, a file system without notification). Safe
    // from any thread.
    std::unique_ptr<Watch> watch(
        const QByteArray &path, quint32 filter, WakeReasons &wake, quint32 bit);

    // Inotify instances held: 0 or 1.
    int instances() const { return inotifyFd >= 0 ? 1 : 0; }
    // Watches set up and not yet released.
    int watchCount() const;

    // Reads the pending events and wakes the watches they concern.
    void dispatch();

private:
    void release(Watch *watch);

    int inotifyFd = -1;
    QSocketNotifier *notifier = nullptr;
    mutable std::mutex mutex;
    // Watches by inotify watch descriptor; one folder watched twice shares a descriptor.
    std::unordered_map<int, std::vector<Watch *>> watches;
    int count = 0;
};
