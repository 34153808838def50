#include "location/WildcardMask.h"

#include <gtest/gtest.h>

#include "TableRow.h"

namespace {

struct MaskRow : TableRow {
    const char *mask;
    const char *file;
    bool matches;
};

class WildcardMaskRule : public ::testing::TestWithParam<MaskRow> { };

} // namespace

TEST_P(WildcardMaskRule, Matches)
{
    EXPECT_EQ(WildcardMask(GetParam().mask).matches(GetParam().file), GetParam().matches);
}

INSTANTIATE_TEST_SUITE_P(Masks, WildcardMaskRule,
    ::testing::Values(MaskRow { "StarDotStarTakesANameWithoutADot", "*.*", "README", true },
        MaskRow { "StarDotStarTakesADottedName", "*.*", "a.b.c", true },
        MaskRow { "ExtensionComparedWithoutCase", "*.JPG", "shot.jpg", true },
        MaskRow { "ExtensionMustMatch", "*.jpg", "shot.png", false },
        MaskRow { "QuestionMarkIsOneCharacter", "a?c", "abbc", false },
        MaskRow { "NameDotStarTakesTheBareName", "notes.*", "notes", true },
        MaskRow { "SecondOfSeveralMasks", "*.png; *.bmp", "x.bmp", true },
        MaskRow { "EmptyMaskTakesEverything", "", "anything", true }),
    RowName());
