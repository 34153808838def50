#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <mutex>

#include <QObject>

#include "platform/ChangeNotification.h"

class QSocketNotifier;

// Carries the folder watchers' requests to the thread this object lives on (the user-interface
// thread): a queue under a mutex and one eventfd that a socket notifier reads there. Posted Qt
// events would do the same, but their locking is invisible to ThreadSanitizer.
class WatcherMailbox : public QObject {
    Q_OBJECT

public:
    using Handler = std::function<void(quint64 nodeId, quint64 serial)>;

    // `refresh` runs for each refresh asked for; `ended` with the serial of each watcher whose
    // thread has finished, which may then be destroyed without waiting.
    WatcherMailbox(
        Handler refresh, std::function<void(quint64 serial)> ended, QObject *parent = nullptr);
    ~WatcherMailbox() override;

    // From a watcher's thread. `doneBit` of `done` is raised once the refresh has run.
    void postRefresh(
        quint64 nodeId, quint64 serial, std::shared_ptr<WakeReasons> done, quint32 doneBit);
    void postEnded(quint64 serial);

private:
    struct Letter {
        quint64 nodeId;
        quint64 serial;
        std::shared_ptr<WakeReasons> done; // null: the watcher has ended
        quint32 doneBit = 0;
    };

    void post(Letter letter);
    void deliver();

    const Handler refresh;
    const std::function<void(quint64)> ended;
    std::mutex mutex;
    std::deque<Letter> letters;
    AutoResetEvent arrived;
    QSocketNotifier *notifier = nullptr;
};
