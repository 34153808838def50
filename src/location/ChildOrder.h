#pragma once

class TShellNode;

enum TFileSortType { so_Name, so_Size, so_Type, so_Date };
enum TFileSortOrder { so_Ascending, so_Descending };

// The order of a folder's children in the tree: folders and virtual items first, by name as a
// file manager sorts them, then files by the chosen key and direction with the name breaking
// ties.
class ChildOrder {
public:
    TFileSortType type = so_Name;
    TFileSortOrder order = so_Ascending;

    bool less(const TShellNode &a, const TShellNode &b) const;
    // Sorts the node's children, when they are out of order.
    void sort(TShellNode *parent) const;
};
