#include "location/ChildOrder.h"

#include <QFileInfo>

#include "location/TShellNode.h"

namespace {

bool isFile(const TShellNode &node)
{
    return (node.attributes & FileSystem) && !(node.attributes & IsFolder);
}

template<class T> int threeWay(const T &a, const T &b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

} // namespace

bool ChildOrder::less(const TShellNode &a, const TShellNode &b) const
{
    // Folders come before files, as the shell orders them: comparing a folder with a file by name
    // and two files by size would be no order at all, and sorting by it undefined.
    if (isFile(a) != isFile(b))
        return isFile(b);
    const int byName = ShellNamespace::compare(a.key(), b.key());
    if (!isFile(a))
        return byName < 0;
    int ordered = 0;
    if (type == so_Size)
        ordered = threeWay(a.size, b.size);
    else if (type == so_Date)
        ordered = threeWay(a.modified, b.modified);
    else if (type == so_Type)
        ordered = QFileInfo(a.text(0)).suffix().compare(
            QFileInfo(b.text(0)).suffix(), Qt::CaseInsensitive);
    if (ordered == 0)
        ordered = byName;
    return order == so_Descending ? ordered > 0 : ordered < 0;
}

void ChildOrder::sort(TShellNode *parent) const
{
    for (int i = 1; i < parent->childCount(); ++i) {
        if (less(*parent->childNode(i), *parent->childNode(i - 1))) {
            parent->sortChildren(0, Qt::AscendingOrder);
            return;
        }
    }
}
