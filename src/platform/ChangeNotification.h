#pragma once

#include <initializer_list>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

#include <QObject>
#include <QString>

class QSocketNotifier;

// An auto-reset event on an eventfd: set() makes descriptor() readable until take() resets it,
// so one signal wakes one wait.
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

// Waits without a time-out until one of `descriptors` is readable and answers the index of the
// first readable one; -1 when the wait itself fails.
int waitForAny(std::initializer_list<int> descriptors);

// What a folder's change notification reports (the values of the Windows notify filter).
enum ChangeFilterFlag : quint32 {
    ChangeFileName = 0x1,
    ChangeDirName = 0x2,
    ChangeAttributes = 0x4,
};

// The process's one inotify instance, shared by every folder watch: the per-user limit on
// instances is small and shared by every program, so each watch is woken through an eventfd of
// its own instead. The application creates one and hands it to every folder tree; it must
// outlive every watch. Events are read on the thread this object lives on (its event loop).
class ChangeNotification : public QObject {
    Q_OBJECT

public:
    // A notification on one folder, not its subtree. Its descriptor becomes readable when
    // something that the filter names changes (or the folder itself goes); rearm() resets it.
    class Watch {
    public:
        ~Watch();
        Watch(const Watch &) = delete;
        Watch &operator=(const Watch &) = delete;

        int descriptor() const { return event.descriptor(); }
        void rearm() { event.take(); }

    private:
        friend class ChangeNotification;
        Watch(ChangeNotification &owner, int watchDescriptor, quint32 filter);

        ChangeNotification &owner;
        int watchDescriptor;
        const quint32 filter;
        AutoResetEvent event;
    };

    explicit ChangeNotification(QObject *parent = nullptr);
    ~ChangeNotification() override;

    // Sets up a notification on `path` for `filter` (ChangeFilterFlag bits); null when it cannot
    // be set (no such folder, the per-user watch limit, a file system without notification).
    // Safe from any thread.
    std::unique_ptr<Watch> watch(const QString &path, quint32 filter);

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
