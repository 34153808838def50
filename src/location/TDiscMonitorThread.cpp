#include "location/TDiscMonitorThread.h"

#include "location/WatcherMailbox.h"

namespace {

// The thread only waits and posts; sanitizers need more room for their own frames.
#if defined(__SANITIZE_THREAD__) || defined(__SANITIZE_ADDRESS__)
constexpr size_t watcherStackSize = 1024 * 1024;
#else
constexpr size_t watcherStackSize = 64 * 1024;
#endif

} // namespace

TDiscMonitorThread::TDiscMonitorThread(ChangeNotification &notification, WatcherMailbox &mailbox,
    quint64 nodeId, quint64 serial, const QByteArray &path, quint32 filter)
    : notification(notification), mailbox(mailbox), nodeId(nodeId), watcherSerial(serial),
      watchedPath(path), changeFilter(filter), wake(std::make_shared<WakeReasons>())
{
    // Set up here, on the caller's thread, so that no change between the listing and the
    // thread's start is missed.
    setUp();
}

TDiscMonitorThread::~TDiscMonitorThread()
{
    stop();
    if (running)
        pthread_join(thread, nullptr);
}

bool TDiscMonitorThread::setUp()
{
    watch.reset();
    watch = notification.watch(watchedPath, changeFilter, *wake, Changed);
    if (!watch)
        setupFailed = true;
    return bool(watch);
}

void TDiscMonitorThread::start()
{
    if (!watch) {
        runEnded = true;
        return;
    }
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstacksize(&attributes, watcherStackSize);
    running = pthread_create(&thread, &attributes, &TDiscMonitorThread::entry, this) == 0;
    pthread_attr_destroy(&attributes);
    // Without a thread the folder still re-lists at every expansion and show.
    if (!running) {
        setupFailed = true;
        runEnded = true;
        watch.reset();
    }
}

void *TDiscMonitorThread::entry(void *self)
{
    auto *watcher = static_cast<TDiscMonitorThread *>(self);
    watcher->body();
    watcher->watch.reset();
    watcher->runEnded = true;
    watcher->mailbox.postEnded(watcher->watcherSerial);
    return nullptr;
}

void TDiscMonitorThread::setFilter(quint32 filter)
{
    changeFilter = filter;
    if (!stopRequested)
        wake->set(Restart);
}

void TDiscMonitorThread::stop()
{
    stopRequested = true;
    wake->set(Stop);
}

void TDiscMonitorThread::body()
{
    for (;;) {
        const quint32 woken = wake->wait(Stop | Restart | Changed);
        if (woken & Stop)
            return;
        // A folder replaced under its path (moved away, deleted and made again) is followed by
        // its path: the watch is set up again there. What changed while no notification was set
        // up is found by the one listing below.
        const bool again = (woken & Restart) || watch->lost();
        if (again && !setUp()) {
            // The folder is gone: one last listing lets the tree see that, then the watcher ends.
            mailbox.postRefresh(nodeId, watcherSerial, wake, Refreshed);
            return;
        }
        // A change made while the refresh runs raises Changed again and wakes the next wait.
        mailbox.postRefresh(nodeId, watcherSerial, wake, Refreshed);
        if (wake->wait(Stop | Refreshed) & Stop)
            return;
    }
}
