#pragma once

#include <atomic>
#include <functional>
#include <memory>

#include <QString>
#include <QThread>

#include "platform/ChangeNotification.h"

// Keeps one listed folder in step with the disk: sleeps in one wait on its stop event, its
// restart event and the folder's change notification, and on a change hands the refresh to the
// user-interface thread. It never touches a tree node: the refresh is a queued call carrying the
// node's id and this watcher's serial, which the tree checks, and the watcher waits for it with
// a wait that its stop event also ends, so stopping it never deadlocks against a refresh.
class TDiscMonitorThread : public QThread {
    Q_OBJECT

public:
    // Runs on the receiver's thread for each change; a refresh whose receiver has gone is dropped.
    using Refresh = std::function<void(quint64 nodeId, quint64 serial)>;

    TDiscMonitorThread(ChangeNotification &notification, QObject *receiver, Refresh refresh,
        quint64 nodeId, quint64 serial, const QString &path, quint32 filter);
    // Stops the thread and waits for it; the stop event always ends its wait at once.
    ~TDiscMonitorThread() override;

    quint64 serial() const { return watcherSerial; }
    QString path() const { return watchedPath; }
    quint32 filter() const { return changeFilter; }
    // Stores the filter and, unless the thread has been stopped, has it set up its notification
    // again with it.
    void setFilter(quint32 filter);
    bool failed() const { return setupFailed; }
    bool stopped() const { return stopRequested; }
    void stop();

protected:
    void run() override;

private:
    void body();

    ChangeNotification &notification;
    QObject *const receiver;
    const Refresh refresh;
    const quint64 nodeId;
    const quint64 watcherSerial;
    const QString watchedPath;
    std::atomic<quint32> changeFilter;
    std::atomic<bool> setupFailed = false;
    std::atomic<bool> stopRequested = false;
    std::atomic<bool> runEnded = false;
    AutoResetEvent stopEvent;
    AutoResetEvent restartEvent;
    // Shared with the queued refresh, which may run after this thread has gone.
    const std::shared_ptr<AutoResetEvent> refreshed;
    // Used by the thread alone once it runs.
    std::unique_ptr<ChangeNotification::Watch> watch;
};
