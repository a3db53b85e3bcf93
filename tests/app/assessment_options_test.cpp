#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/assessment_options.hpp"

namespace vl {
namespace {

AssessmentArguments parse(std::vector<std::string> args) { return parseAssessmentArguments(args); }

TEST(AssessmentOptions, TakesItsOptionsAndLeavesTheRest) {
    AssessmentArguments a = parse({"--batch", "--assess", "m3", "--set", "tilt=10", "--start", "--power=42.5"});
    ASSERT_TRUE(a.ok()) << a.usageError;
    EXPECT_TRUE(a.options.assess);
    ASSERT_NE(a.options.lightingClass, nullptr);
    EXPECT_EQ(a.options.lightingClass->name, "M3");
    EXPECT_EQ(a.options.power, 42.5);
    EXPECT_TRUE(a.options.profile.byDefault);
    EXPECT_EQ(a.options.profile.periods.size(), 1u);
    EXPECT_EQ(a.options.profile.periods[0].hours, 4000.0);
    EXPECT_EQ(a.otherArguments, (std::vector<std::string>{"--batch", "--set", "tilt=10", "--start"}));

    // Without a class (the next argument is an option), and with --hours.
    a = parse({"--assess", "--run", "--hours", "8760"});
    ASSERT_TRUE(a.ok()) << a.usageError;
    EXPECT_EQ(a.options.lightingClass, nullptr);
    EXPECT_EQ(a.otherArguments, std::vector<std::string>{"--run"});
    EXPECT_EQ(a.options.profile.periods[0].hours, 8760.0);
    EXPECT_FALSE(a.options.profile.byDefault);

    EXPECT_FALSE(parse({"--run"}).options.assess);
}

TEST(AssessmentOptions, ProfileSum) {
    AssessmentArguments a = parse({"--assess", "--profile", " 2000@100, 2760@50% ,4000@0"});
    ASSERT_TRUE(a.ok()) << a.usageError;
    ASSERT_EQ(a.options.profile.periods.size(), 3u);
    EXPECT_EQ(a.options.profile.periods[1].hours, 2760.0);
    EXPECT_EQ(a.options.profile.periods[1].percentOfFullPower, 50.0);
    EXPECT_FALSE(a.options.profile.fromHours);
    // One hour beyond the year.
    a = parse({"--assess", "--profile=5000@100,3761@50"});
    EXPECT_NE(a.usageError.find("--profile"), std::string::npos);
    EXPECT_NE(a.usageError.find("8761"), std::string::npos) << a.usageError;
}

TEST(AssessmentOptions, UsageErrorsNameTheOptionAndWhatItAccepts) {
    struct Case {
        std::vector<std::string> args;
        const char* option;
        const char* accepts;
    };
    const Case cases[] = {
        {{"--assess", "M7"}, "--assess", "M1 M2 M3 M4 M5 M6 C0 C1 C2 C3 C4 C5 P1 P2 P3 P4 P5 P6"},
        {{"--assess=Q"}, "--assess", "M1"},
        {{"--assess", "--power", "0"}, "--power", "above 0"},
        {{"--assess", "--power", "-5"}, "--power", "above 0"},
        {{"--assess", "--power", "50W"}, "--power", "watts"},
        {{"--assess", "--power", "+-5"}, "--power", "watts"},
        {{"--assess", "--power"}, "--power", "value"},
        {{"--assess", "--hours", "8761"}, "--hours", "0..8760"},
        {{"--assess", "--hours", "-1"}, "--hours", "0..8760"},
        {{"--assess", "--hours", "nan"}, "--hours", "0..8760"},
        {{"--assess", "--profile", "4000"}, "--profile", "HOURS@PERCENT"},
        {{"--assess", "--profile", "4000@"}, "--profile", "0..100"},
        {{"--assess", "--profile", "x@50"}, "--profile", "hours"},
        {{"--assess", "--profile", "1000@120"}, "--profile", "0..100"},
        {{"--assess", "--profile", "1000@100,"}, "--profile", "HOURS@PERCENT"},
        {{"--assess", "--profile", ""}, "--profile", "HOURS@PERCENT"},
        {{"--assess", "--hours", "10", "--profile", "10@100"}, "--profile", "exclude"},
        {{"--power", "50", "--run"}, "--power", "--assess"},
        {{"--assess", "--assess"}, "--assess", "twice"},
    };
    for (const Case& c : cases) {
        const AssessmentArguments a = parseAssessmentArguments(c.args);
        SCOPED_TRACE(c.args.back());
        ASSERT_FALSE(a.ok());
        EXPECT_NE(a.usageError.find(c.option), std::string::npos) << a.usageError;
        EXPECT_NE(a.usageError.find(c.accepts), std::string::npos) << a.usageError;
    }
}

}  // namespace
}  // namespace vl
