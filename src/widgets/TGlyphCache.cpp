#include "widgets/TGlyphCache.h"

#include <algorithm>

#include "widgets/TGlyphList.h"

namespace {

std::unique_ptr<TGlyphCache> &theCache()
{
    static std::unique_ptr<TGlyphCache> cache;
    return cache;
}

int liveGlyphs = 0;

} // namespace

TGlyphCache &TGlyphCache::instance()
{
    auto &cache = theCache();
    if (!cache)
        cache = std::make_unique<TGlyphCache>();
    return *cache;
}

bool TGlyphCache::exists()
{
    return theCache() != nullptr;
}

void TGlyphCache::glyphMade()
{
    ++liveGlyphs;
    instance();
}

void TGlyphCache::glyphGone()
{
    --liveGlyphs;
    auto &cache = theCache();
    if (liveGlyphs == 0 && cache && cache->empty())
        cache.reset();
}

TGlyphList *TGlyphCache::ListFor(int width, int height)
{
    const auto found = std::find_if(lists.rbegin(), lists.rend(),
        [&](const auto &list) { return list->width() == width && list->height() == height; });
    if (found != lists.rend())
        return found->get();
    lists.push_back(std::make_unique<TGlyphList>(width, height));
    return lists.back().get();
}

void TGlyphCache::ReleaseList(TGlyphList *list)
{
    if (!list || list->count() != 0)
        return;
    std::erase_if(lists, [list](const auto &owned) { return owned.get() == list; });
}
