#pragma once

#include <memory>
#include <vector>

class TGlyphList;

// The one program-wide set of glyph lists: buttons whose glyphs have the same size share one
// list. It exists while some glyph object lives or some list remains in use.
class TGlyphCache {
public:
    // The cache, made when it is missing.
    static TGlyphCache &instance();
    // Whether the cache exists now; for tests that watch it go.
    static bool exists();
    // Glyph objects report their making and going: the last one to go frees an empty cache.
    static void glyphMade();
    static void glyphGone();

    // The newest list of that image size, or a new one.
    TGlyphList *ListFor(int width, int height);
    // Frees `list` when none of its slots is in use any more.
    void ReleaseList(TGlyphList *list);
    bool empty() const { return lists.empty(); }
    int listCount() const { return int(lists.size()); }

private:
    std::vector<std::unique_ptr<TGlyphList>> lists;
};
