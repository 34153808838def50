#include "location/WatcherMailbox.h"

#include <QSocketNotifier>

WatcherMailbox::WatcherMailbox(
    Handler refresh, std::function<void(quint64 serial)> ended, QObject *parent)
    : QObject(parent), refresh(std::move(refresh)), ended(std::move(ended)),
      notifier(new QSocketNotifier(arrived.descriptor(), QSocketNotifier::Read, this))
{
    connect(notifier, &QSocketNotifier::activated, this, &WatcherMailbox::deliver);
}

WatcherMailbox::~WatcherMailbox() = default;

void WatcherMailbox::postRefresh(
    quint64 nodeId, quint64 serial, std::shared_ptr<WakeReasons> done, quint32 doneBit)
{
    post({ nodeId, serial, std::move(done), doneBit });
}

void WatcherMailbox::postEnded(quint64 serial)
{
    post({ 0, serial, nullptr, 0 });
}

void WatcherMailbox::post(Letter letter)
{
    {
        const std::lock_guard lock(mutex);
        letters.push_back(std::move(letter));
    }
    arrived.set();
}

void WatcherMailbox::deliver()
{
    arrived.take();
    std::deque<Letter> batch;
    {
        const std::lock_guard lock(mutex);
        batch.swap(letters);
    }
    for (const Letter &letter : batch) {
        if (!letter.done) {
            ended(letter.serial);
            continue;
        }
        refresh(letter.nodeId, letter.serial);
        letter.done->set(letter.doneBit);
    }
}
