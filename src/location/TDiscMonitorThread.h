#pragma once

#include <atomic>
#include <memory>
#include <pthread.h>

#include <QByteArray>

#include "platform/ChangeNotification.h"

class WatcherMailbox;

// Keeps one listed folder in step with the disk: a thread of its own with a small stack sleeps on
// its wake reasons (stop, restart, a change of the folder, the refresh done) and on a change
// hands the refresh to the user-interface thread. It holds no file descriptor, so a tree may
// watch thousands of folders. It never touches a tree node: the refresh goes through the mailbox
// with the node's id and this watcher's serial, which the tree checks, and the watcher waits for
// it with a wait that its stop also ends, so stopping it never deadlocks against a refresh.
// Plain threads, so that ThreadSanitizer sees every join.
class TDiscMonitorThread {
public:
    // `path` is the folder's native path, bytes as the file system holds them.
    TDiscMonitorThread(ChangeNotification &notification, WatcherMailbox &mailbox, quint64 nodeId,
        quint64 serial, const QByteArray &path, quint32 filter);
    // Stops the thread and waits for it; the stop always ends its wait at once.
    ~TDiscMonitorThread();
    TDiscMonitorThread(const TDiscMonitorThread &) = delete;
    TDiscMonitorThread &operator=(const TDiscMonitorThread &) = delete;

    void start();
    bool isFinished() const { return runEnded; }
    quint64 serial() const { return watcherSerial; }
    QByteArray path() const { return watchedPath; }
    quint32 filter() const { return changeFilter; }
    // Stores the filter and, unless the thread has been stopped, has it set up its notification
    // again with it.
    void setFilter(quint32 filter);
    // The notification could not be set up (or set up again), or no thread could be made: the
    // watcher has ended or is ending, and its folder is no longer followed.
    bool failed() const { return setupFailed; }
    bool stopped() const { return stopRequested; }
    void stop();

    // Wake reasons; public for the refresh's hand-back.
    enum Reason : quint32 { Stop = 1, Restart = 2, Changed = 4, Refreshed = 8 };

private:
    static void *entry(void *self);
    void body();
    bool setUp();

    ChangeNotification &notification;
    WatcherMailbox &mailbox;
    const quint64 nodeId;
    const quint64 watcherSerial;
    const QByteArray watchedPath;
    std::atomic<quint32> changeFilter;
    std::atomic<bool> setupFailed = false;
    std::atomic<bool> stopRequested = false;
    std::atomic<bool> runEnded = false;
    bool running = false;
    pthread_t thread {};
    // Shared with the refresh in the mailbox, which may be delivered after this watcher has gone.
    const std::shared_ptr<WakeReasons> wake;
    // Used by the thread alone once it runs.
    std::unique_ptr<ChangeNotification::Watch> watch;
};
