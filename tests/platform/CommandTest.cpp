#include "platform/Command.h"

#include <stdexcept>

#include <gtest/gtest.h>

#include "FakePrompts.h"
#include "TableRow.h"
#include "platform/AppInfo.h"
#include "platform/Failure.h"

struct FullStopCase : TableRow {
    QString message;
    QString shown;
};

class DefaultErrorBoxText : public ::testing::TestWithParam<FullStopCase> { };

TEST_P(DefaultErrorBoxText, AppendsAFullStopOnlyAfterCharactersAboveIt)
{
    FakePrompts prompts;
    runCommand(prompts, [&] { throw Failure(GetParam().message); });
    ASSERT_EQ(prompts.boxes.size(), 1);
    EXPECT_EQ(prompts.boxes[0].text, GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(Messages, DefaultErrorBoxText,
    ::testing::Values(FullStopCase { "EndsInLetter", "Cannot open file x", "Cannot open file x." },
        FullStopCase { "EndsInDigit", "JPEG error #42", "JPEG error #42." },
        FullStopCase { "EndsInFullStop", "Done.", "Done." },
        FullStopCase { "EndsInBang", "Really!", "Really!" },
        FullStopCase { "EndsInBracket", "Unknown picture file extension (.xyz)",
            "Unknown picture file extension (.xyz)" },
        FullStopCase { "EndsInSlash", "a/", "a/." }, FullStopCase { "Empty", "", "" }),
    RowName());

TEST(RunCommand, ShowsFailuresInTheApplicationsErrorBoxAndSwallowsThem)
{
    FakePrompts prompts;
    bool after = false;
    runCommand(prompts, [&] {
        throw std::runtime_error("Printing in progress");
        after = true;
    });
    EXPECT_FALSE(after);
    ASSERT_EQ(prompts.boxes.size(), 1);
    EXPECT_EQ(prompts.boxes[0].caption, applicationTitle());
    EXPECT_EQ(prompts.boxes[0].icon, Prompts::Icon::Error);
    EXPECT_EQ(prompts.boxes[0].buttons, Prompts::Buttons::Ok);
    EXPECT_EQ(prompts.boxes[0].text, "Printing in progress.");
}

TEST(RunCommand, SilentAbortAndSuccessShowNothing)
{
    FakePrompts prompts;
    int ran = 0;
    runCommand(prompts, [&] { ++ran; });
    runCommand(prompts, [&] {
        ++ran;
        throw SilentAbort();
    });
    EXPECT_EQ(ran, 2);
    EXPECT_TRUE(prompts.boxes.isEmpty());
}

TEST(RunCommand, ApplicationTitleIsTheExecutableNameWithoutExtension)
{
    EXPECT_EQ(applicationTitle(), "quillet_tests_platform");
}
