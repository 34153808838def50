#include "location/TDiscMonitorThread.h"

#include "location/WatcherMailbox.h"

namespace {

// The thread only polls and posts; sanitizers need more room for their own frames.
#if defined(__SANITIZE_THREAD__) || defined(__SANITIZE_ADDRESS__)
constexpr size_t watcherStackSize = 1024 * 1024;
#else
constexpr size_t watcherStackSize = 64 * 1024;
#endif

} // namespace

TDiscMonitorThread::TDiscMonitorThread(ChangeNotification &notification, WatcherMailbox &mailbox,
    quint64 nodeId, quint64 serial, const QString &path, quint32 filter)
    : notification(notification), mailbox(mailbox), nodeId(nodeId), watcherSerial(serial),
      watchedPath(path), changeFilter(filter), refreshed(std::make_shared<AutoResetEvent>()),
      // Set up here, on the caller's thread, so that no change between the listing and the
      // thread's start is missed.
      watch(notification.watch(path, filter))
{
}

TDiscMonitorThread::~TDiscMonitorThread()
{
    stop();
    if (running)
        pthread_join(thread, nullptr);
}

void TDiscMonitorThread::start()
{
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstacksize(&attributes, watcherStackSize);
    running = pthread_create(&thread, &attributes, &TDiscMonitorThread::entry, this) == 0;
    pthread_attr_destroy(&attributes);
    // Without a thread the folder still re-lists at every expansion and show.
    if (!running) {
        setupFailed = true;
        runEnded = true;
    }
}

void *TDiscMonitorThread::entry(void *self)
{
    auto *watcher = static_cast<TDiscMonitorThread *>(self);
    watcher->body();
    watcher->runEnded = true;
    watcher->mailbox.postEnded(watcher->watcherSerial);
    return nullptr;
}

void TDiscMonitorThread::setFilter(quint32 filter)
{
    changeFilter = filter;
    if (!stopRequested)
        restartEvent.set();
}

void TDiscMonitorThread::stop()
{
    stopRequested = true;
    stopEvent.set();
}

void TDiscMonitorThread::body()
{
    for (;;) {
        if (!watch) {
            setupFailed = true;
            return;
        }
        const int woken = waitForAny(
            { stopEvent.descriptor(), restartEvent.descriptor(), watch->descriptor() });
        if (woken <= 0)
            return;
        if (woken == 1) {
            restartEvent.take();
            watch.reset();
            watch = notification.watch(watchedPath, changeFilter);
            if (!watch)
                continue;
            // What changed while no notification was set up is found by one listing.
        } else {
            // Re-armed before the refresh, so that a change made while it runs wakes us again.
            watch->rearm();
        }
        mailbox.postRefresh(nodeId, watcherSerial, refreshed);
        if (waitForAny({ stopEvent.descriptor(), refreshed->descriptor() }) != 1)
            return;
        refreshed->take();
    }
}
