// The folder tree's listing against the least any tree must do for it, and the cost of its
// folder watchers.

#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include "location/TShellNode.h"
#include "location/TShellTree.h"
#include "platform/ChangeNotification.h"
#include "platform/Command.h"
#include "platform/VolumeSource.h"
#include "platform/qt/QtPrompts.h"
#include "shell/ShellNamespace.h"
#include "shell/Volumes.h"

namespace {

class RootOnly : public VolumeSource {
public:
    QByteArray mountTable() const override
    {
        return "1 0 8:2 / / rw shared:1 - ext4 /dev/sda2 rw\n";
    }
    QHash<QString, QString> labels() const override { return {}; }
    bool isRemovable(const QString &) const override { return false; }
};

// A desktop folder holding "big": `count` subfolders, every other one with a subfolder.
struct Machine {
    explicit Machine(int count, bool nested)
    {
        QDir().mkpath(dir.filePath("Desktop/big"));
        for (int i = 0; i < count; ++i) {
            const QString folder = dir.filePath(QStringLiteral("Desktop/big/folder %1").arg(i));
            QDir().mkdir(folder);
            if (nested && i % 2 == 0)
                QDir().mkdir(folder + "/inner");
        }
        // Shown, as in the open dialog: the first show lists the folders made since the tree.
        tree.show();
    }
    TShellNode *big() const
    {
        TShellNode *root = tree.rootNode();
        for (int i = 0; i < root->childCount(); ++i) {
            if (root->childNode(i)->text(0) == QLatin1String("big"))
                return root->childNode(i);
        }
        return nullptr;
    }

    QTemporaryDir dir;
    RootOnly source;
    Volumes volumes { source };
    ShellNamespace shell { dir.filePath("Desktop"), dir.filePath("home"), volumes };
    ChangeNotification notification;
    QtPrompts prompts;
    TShellTree tree { shell, notification, prompts };
};

int threads()
{
    return int(QDir("/proc/self/task").entryList(QDir::Dirs | QDir::NoDotAndDotDot).size());
}

int inotifyInstances()
{
    int count = 0;
    for (const QFileInfo &fd : QDir("/proc/self/fd").entryInfoList(QDir::System | QDir::Files))
        count += fd.symLinkTarget().contains("inotify") ? 1 : 0;
    return count;
}

void BM_ListFolder10kBare(benchmark::State &state)
{
    Machine machine(10000, true);
    const QString big = machine.dir.filePath("Desktop/big");
    for (auto _ : state) {
        int withSubfolder = 0;
        QDirIterator folders(big, QDir::Dirs | QDir::NoDotAndDotDot);
        while (folders.hasNext()) {
            QDirIterator inner(folders.next(), QDir::Dirs | QDir::NoDotAndDotDot);
            withSubfolder += inner.hasNext() ? 1 : 0;
        }
        benchmark::DoNotOptimize(withSubfolder);
    }
}
BENCHMARK(BM_ListFolder10kBare)->Unit(benchmark::kMillisecond);

// Expanding "big" from nothing: every node made, sorted and given its icon. The watchers are
// off, BM_Watch1000 measures them.
void BM_ListFolder10k(benchmark::State &state)
{
    Machine machine(10000, true);
    machine.tree.setUpdAutoThread(false);
    TShellNode *big = machine.big();
    for (auto _ : state) {
        state.PauseTiming();
        big->setExpanded(false);
        qDeleteAll(big->takeChildren());
        big->childrenListed = false;
        state.ResumeTiming();
        big->setExpanded(true);
        benchmark::DoNotOptimize(big->childCount());
    }
}
BENCHMARK(BM_ListFolder10k)->Unit(benchmark::kMillisecond);

// Expanding "big" again with all its children there: the merge.
void BM_RelistFolder10k(benchmark::State &state)
{
    Machine machine(10000, true);
    machine.tree.setUpdAutoThread(false);
    TShellNode *big = machine.big();
    big->setExpanded(true);
    for (auto _ : state) {
        state.PauseTiming();
        big->setExpanded(false);
        state.ResumeTiming();
        big->setExpanded(true);
        benchmark::DoNotOptimize(big->childCount());
    }
}
BENCHMARK(BM_RelistFolder10k)->Unit(benchmark::kMillisecond);

int descriptors()
{
    return int(QDir("/proc/self/fd").entryList(QDir::System | QDir::Files).size());
}

// Resident memory in KiB.
double residentKiB()
{
    QFile statm("/proc/self/statm");
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> pages = statm.readAll().split(' ');
    return pages.size() > 1 ? pages[1].toDouble() * double(sysconf(_SC_PAGESIZE)) / 1024 : 0;
}

// Expanding a folder of `count` leaves starts a watcher for each; collapsing it ends them. The
// counters say what one watcher costs while they all run: threads, descriptors and resident
// memory (its stack pages touched, its watch and its node's share of the watcher state).
void watchLeaves(benchmark::State &state, int count)
{
    Machine machine(count, false);
    TShellNode *big = machine.big();
    const int baseWatches = machine.notification.watchCount();
    const int baseThreads = threads();
    const int baseDescriptors = descriptors();
    big->setExpanded(true);
    big->setExpanded(false);
    while (machine.notification.watchCount() > baseWatches + 1)
        QCoreApplication::processEvents();
    // The nodes stay when collapsed: memory is measured against the tree with them listed.
    const double baseResident = residentKiB();
    int peakThreads = 0;
    int peakDescriptors = 0;
    int peakInstances = 0;
    double peakResident = 0;
    for (auto _ : state) {
        big->setExpanded(true);
        peakThreads = std::max(peakThreads, threads() - baseThreads);
        peakDescriptors = std::max(peakDescriptors, descriptors() - baseDescriptors);
        peakInstances = std::max(peakInstances, inotifyInstances());
        peakResident = std::max(peakResident, residentKiB() - baseResident);
        big->setExpanded(false);
        while (machine.notification.watchCount() > baseWatches + 1)
            QCoreApplication::processEvents();
    }
    state.counters["threads_per_watcher"] = double(peakThreads) / count;
    state.counters["descriptors_per_watcher"] = double(peakDescriptors) / count;
    state.counters["KiB_per_watcher"] = peakResident / count;
    state.counters["inotify_instances"] = peakInstances;
    state.counters["per_watcher"] = benchmark::Counter(
        count, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_Watch1000(benchmark::State &state)
{
    watchLeaves(state, 1000);
}
BENCHMARK(BM_Watch1000)->Unit(benchmark::kMillisecond);

void BM_Watch10000(benchmark::State &state)
{
    watchLeaves(state, 10000);
}
BENCHMARK(BM_Watch10000)->Unit(benchmark::kMillisecond);

} // namespace
