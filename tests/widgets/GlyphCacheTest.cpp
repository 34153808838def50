#include <memory>

#include <QPalette>

#include <gtest/gtest.h>

#include "widgets/TButtonGlyph.h"
#include "widgets/TGlyphCache.h"
#include "widgets/TGlyphList.h"

namespace {

std::unique_ptr<TButtonGlyph> glyphWithImage(int width, int height)
{
    auto glyph = std::make_unique<TButtonGlyph>();
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::gray);
    glyph->setGlyph(image);
    glyph->StateImage(FaceState::Up, Qt::lightGray, QPalette());
    return glyph;
}

TEST(GlyphCache, SameSizeSharesOneListAndTheLastGlyphTakesTheCacheAlong)
{
    ASSERT_FALSE(TGlyphCache::exists());
    auto first = glyphWithImage(36, 18);
    auto second = glyphWithImage(36, 18);
    auto other = glyphWithImage(16, 16);
    EXPECT_EQ(first->glyphList(), second->glyphList());
    EXPECT_NE(first->glyphList(), other->glyphList());
    EXPECT_EQ(TGlyphCache::instance().listCount(), 2);
    EXPECT_EQ(first->glyphList()->count(), 2);

    other.reset();
    EXPECT_EQ(TGlyphCache::instance().listCount(), 1);
    first->dropImages();
    EXPECT_EQ(second->glyphList()->count(), 1) << "the shared list stays while in use";
    second.reset();
    EXPECT_TRUE(TGlyphCache::exists()) << "a glyph object remains";
    first.reset();
    EXPECT_FALSE(TGlyphCache::exists());
}

TEST(GlyphList, ReleasedSlotIsReusedFirst)
{
    TGlyphList list(4, 4);
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(Qt::red);
    EXPECT_EQ(list.add(image), 0);
    EXPECT_EQ(list.add(image), 1);
    EXPECT_EQ(list.add(image), 2);
    list.ReleaseSlot(1);
    EXPECT_EQ(list.count(), 2);
    EXPECT_EQ(list.AcquireSlot(), 1);
    EXPECT_EQ(list.AcquireSlot(), 3);
}

} // namespace
