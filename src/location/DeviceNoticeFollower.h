#pragma once

#include <QObject>
#include <QString>

class TShellNode;
class TShellTree;
class Volumes;

// Keeps a tree's drives in step with the volume table while the tree lives, shown or not:
// drives whose volume went leave Computer with everything listed below them, new ones join it,
// and a tree rooted at a drive lists what the drive holds now. Its refreshes are automatic ones:
// they show no box.
class DeviceNoticeFollower : public QObject {
    Q_OBJECT

public:
    DeviceNoticeFollower(Volumes &volumes, TShellTree &tree);

private:
    void notice(const QString &letters, bool arrived);
    void forgetMedium(TShellNode *drive);

    TShellTree &tree;
};
