#include "location/DeviceNoticeFollower.h"

#include "location/TShellNode.h"
#include "location/TShellTree.h"
#include "shell/Volumes.h"

DeviceNoticeFollower::DeviceNoticeFollower(Volumes &volumes, TShellTree &tree)
    : QObject(&tree), tree(tree)
{
    connect(&volumes, &Volumes::lettersArrived, this,
        [this](const QString &letters) { notice(letters, true); });
    connect(&volumes, &Volumes::lettersGone, this,
        [this](const QString &letters) { notice(letters, false); });
}

void DeviceNoticeFollower::notice(const QString &letters, bool arrived)
{
    tree.runAutomatically([&] {
        TShellNode *root = tree.rootNode();
        // Before the first show nothing is listed: that show lists the drives as they are then.
        if (!root || !tree.windowCreated)
            return;
        const ItemId computer = ShellNamespace::computerId();
        if (root->absolute.size() <= 1) {
            TShellNode *drives
                = root->relative == computer ? root : tree.childWithId(root, computer);
            if (!drives)
                return;
            if (drives->childrenListed)
                tree.listChildren(drives, false);
            for (int i = 0; arrived && i < drives->childCount(); ++i) {
                TShellNode *drive = drives->childNode(i);
                if (letters.contains(ShellNamespace::driveLetterOf(drive->relative)))
                    forgetMedium(drive);
            }
        } else if (root->absolute.size() == 2 && root->absolute.front() == computer
            && letters.contains(ShellNamespace::driveLetterOf(root->relative))) {
            tree.watchers.retire(root);
            if (auto entry = tree.shell().describe(root->absolute, tree.enumFlags()))
                root->setItem(*entry);
            tree.applyLook(root);
            tree.listChildren(root, false);
        }
    });
}

void DeviceNoticeFollower::forgetMedium(TShellNode *drive)
{
    // A letter that came back holds another medium: nothing listed of the old one stays.
    tree.watchers.retire(drive);
    drive->setExpanded(false);
    tree.deleteChildren(drive);
    drive->childrenListed = false;
    drive->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
}
