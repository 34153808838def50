#include "location/TDiscMonitorThread.h"

#include <QMetaObject>

namespace {

// The thread only polls and posts; sanitizers need more room for their own frames.
#if defined(__SANITIZE_THREAD__) || defined(__SANITIZE_ADDRESS__)
constexpr uint watcherStackSize = 1024 * 1024;
#else
constexpr uint watcherStackSize = 64 * 1024;
#endif

} // namespace

TDiscMonitorThread::TDiscMonitorThread(ChangeNotification &notification, QObject *receiver,
    Refresh refresh, quint64 nodeId, quint64 serial, const QString &path, quint32 filter)
    : notification(notification), receiver(receiver), refresh(std::move(refresh)), nodeId(nodeId),
      watcherSerial(serial), watchedPath(path), changeFilter(filter),
      refreshed(std::make_shared<AutoResetEvent>()),
      // Set up here, on the caller's thread, so that no change between the listing and the
      // thread's start is missed.
      watch(notification.watch(path, filter))
{
    setStackSize(watcherStackSize);
}

TDiscMonitorThread::~TDiscMonitorThread()
{
    stop();
    wait();
    // QThread's join is invisible to ThreadSanitizer (Qt is not instrumented); this pairs with
    // the store at the end of run().
    [[maybe_unused]] const bool ended = runEnded.load(std::memory_order_acquire);
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

void TDiscMonitorThread::run()
{
    body();
    runEnded.store(true, std::memory_order_release);
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
        if (woken == 0 || woken < 0)
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
        QMetaObject::invokeMethod(
            receiver,
            [refresh = refresh, node = nodeId, serial = watcherSerial, done = refreshed] {
                refresh(node, serial);
                done->set();
            },
            Qt::QueuedConnection);
        if (waitForAny({ stopEvent.descriptor(), refreshed->descriptor() }) != 1)
            return;
        refreshed->take();
    }
}
