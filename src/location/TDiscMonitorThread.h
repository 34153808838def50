#pragma once

#include <atomic>
#include <memory>
#include <pthread.h>

#include <QString>

#include "platform/ChangeNotification.h"

class WatcherMailbox;

// Keeps one listed folder in step with the disk: a thread of its own with a small stack sleeps in
// one wait on its stop event, its restart event and the folder's change notification, and on a
// change hands the refresh to the user-interface thread. It never touches a tree node: the
// refresh goes through the mailbox with the node's id and this watcher's serial, which the tree
// checks, and the watcher waits for it with a wait that its stop event also ends, so stopping it
// never deadlocks against a refresh. Plain threads, so that ThreadSanitizer sees every join.
class TDiscMonitorThread {
public:
    TDiscMonitorThread(ChangeNotification &notification, WatcherMailbox &mailbox, quint64 nodeId,
        quint64 serial, const QString &path, quint32 filter);
    // Stops the thread and waits for it; the stop event always ends its wait at once.
    ~TDiscMonitorThread();
    TDiscMonitorThread(const TDiscMonitorThread &) = delete;
    TDiscMonitorThread &operator=(const TDiscMonitorThread &) = delete;

    void start();
    bool isFinished() const { return runEnded; }
    quint64 serial() const { return watcherSerial; }
    QString path() const { return watchedPath; }
    quint32 filter() const { return changeFilter; }
    // Stores the filter and, unless the thread has been stopped, has it set up its notification
    // again with it.
    void setFilter(quint32 filter);
    bool failed() const { return setupFailed; }
    bool stopped() const { return stopRequested; }
    void stop();

private:
    static void *entry(void *self);
    void body();

    ChangeNotification &notification;
    WatcherMailbox &mailbox;
    const quint64 nodeId;
    const quint64 watcherSerial;
    const QString watchedPath;
    std::atomic<quint32> changeFilter;
    std::atomic<bool> setupFailed = false;
    std::atomic<bool> stopRequested = false;
    std::atomic<bool> runEnded = false;
    bool running = false;
    pthread_t thread {};
    AutoResetEvent stopEvent;
    AutoResetEvent restartEvent;
    // Shared with the refresh in the mailbox, which may be delivered after this watcher has gone.
    const std::shared_ptr<AutoResetEvent> refreshed;
    // Used by the thread alone once it runs.
    std::unique_ptr<ChangeNotification::Watch> watch;
};
