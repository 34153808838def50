// The folder tree's listing against the least any tree must do for it, and the cost of its
// folder watchers.

#include <QApplication>
#include <QDir>
#include <QDirIterator>
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
        // The tree was built before the folders were there.
        tree.relistAll();
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

// Expanding a folder of 1,000 leaves starts a watcher for each; collapsing it ends them.
void BM_Watch1000(benchmark::State &state)
{
    Machine machine(1000, false);
    TShellNode *big = machine.big();
    const int base = machine.notification.watchCount();
    int peakThreads = 0;
    int peakInstances = 0;
    for (auto _ : state) {
        big->setExpanded(true);
        peakThreads = std::max(peakThreads, threads());
        peakInstances = std::max(peakInstances, inotifyInstances());
        big->setExpanded(false);
        while (machine.notification.watchCount() > base + 1)
            QCoreApplication::processEvents();
    }
    state.counters["threads"] = peakThreads;
    state.counters["inotify_instances"] = peakInstances;
    state.counters["per_watcher"] = benchmark::Counter(
        1000, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_Watch1000)->Unit(benchmark::kMillisecond);

} // namespace
