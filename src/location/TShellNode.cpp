#include "location/TShellNode.h"

#include "location/TShellTree.h"

TShellNode::TShellNode(
    TShellTree &tree, quint64 id, const ItemIdList &absolute, const ShellEntry &entry)
    : id(id), relative(entry.id), absolute(absolute), tree(tree)
{
    setItem(entry);
    tree.registerNode(this);
}

TShellNode::~TShellNode()
{
    watcher.reset();
    tree.forgetNode(this);
}

void TShellNode::setItem(const ShellEntry &entry)
{
    attributes = entry.attributes;
    parsingName = entry.parsingName;
    size = entry.size;
    modified = entry.modified;
    const QString shown = entry.name.isEmpty() ? entry.parsingName : entry.name;
    if (text(0) != shown) {
        setText(0, shown);
        sortKey.reset();
    }
}

const ShellNamespace::SortKey &TShellNode::key() const
{
    // Made when first compared: a node that is never sorted, like the root, needs none.
    if (!sortKey)
        sortKey = tree.shell().sortKey(relative, text(0));
    return *sortKey;
}

bool TShellNode::operator<(const QTreeWidgetItem &other) const
{
    return tree.order.less(*this, static_cast<const TShellNode &>(other));
}
