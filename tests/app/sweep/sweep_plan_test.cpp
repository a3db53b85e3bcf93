// The combinations of a sweep: the values of --vary, their order and count, the refusals
// of bad input, and the shard slices.
#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "app/sweep_plan.hpp"

namespace vl::sweep {
namespace {

std::vector<double> numbers(const std::string& argument) {
    const VaryParse parsed = parseVary(argument);
    EXPECT_TRUE(parsed.variable) << parsed.error;
    std::vector<double> values;
    if (parsed.variable) {
        for (const InputValue& v : parsed.variable->values) values.push_back(v.number);
    }
    return values;
}

TEST(SweepVary, RangesTakeEachValueAfreshOnTwoDecimals) {
    EXPECT_EQ(numbers("height=6:12:0.5").size(), 13u);
    EXPECT_EQ(numbers("height=6:12:0.5").back(), 12.0);
    // Summing 0.1 ten times gives 0.9999999999999999 and 0.30000000000000004 on the way.
    const std::vector<double> tilt = numbers("tilt=0:1:0.1");
    ASSERT_EQ(tilt.size(), 11u);
    EXPECT_EQ(tilt[3], 0.3);
    EXPECT_EQ(tilt[7], 0.7);
    EXPECT_EQ(tilt[10], 1.0);
    // TO is reached when the quotient falls a hair short of a whole number.
    EXPECT_EQ(numbers("spacing=0.7:1:0.1").size(), 4u);
    // A TO between two steps stops at the last step below it.
    EXPECT_EQ(numbers("flux=1:2:0.3"), (std::vector<double>{1.0, 1.3, 1.6, 1.9}));
    EXPECT_EQ(numbers("grid=1:9:3"), (std::vector<double>{1, 4, 7}));
    EXPECT_EQ(numbers("height=6:6:1"), (std::vector<double>{6}));
    EXPECT_EQ(numbers("maintenance=0.8,0.65,1d0"), (std::vector<double>{0.8, 0.65, 1.0}));

    const VaryParse surfaces = parseVary("surface=C1,R3");
    ASSERT_TRUE(surfaces.variable);
    EXPECT_EQ(surfaces.variable->input, Input::Surface);
    EXPECT_EQ(surfaces.variable->values[1].text, "R3");
}

TEST(SweepVary, BadInputNamesTheOptionAndWhatIsWrong) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"lumens=1,2", "unknown input \"lumens\""},
        {"height", "needs NAME=FROM:TO:STEP"},
        {"height=", "empty range"},
        {"height=6::1", "empty range"},
        {"height=6:12", "FROM:TO:STEP"},
        {"height=12:6:0.5", "reversed range"},
        {"height=6:12:0", "a step of 0"},
        {"height=6:12:-1", "must be positive"},
        {"tilt=0:1:0.001", "below 0.01"},
        {"height=6:1e9:0.01", "more than 1000000 values"},
        {"surface=C1:C2:1", "takes a list of values"},
        {"grid=1.5,2", "\"1.5\" is not an integer"},
        {"height=6,,7", "empty value"},
        {"height=six", "\"six\" is not a number"},
    };
    for (const auto& [argument, expected] : cases) {
        const VaryParse parsed = parseVary(argument);
        EXPECT_FALSE(parsed.variable) << argument;
        EXPECT_NE(parsed.error.find("--vary " + argument + ":"), std::string::npos) << parsed.error;
        EXPECT_NE(parsed.error.find(expected), std::string::npos) << parsed.error;
    }
    for (const std::string shard : {"0/3", "4/3", "3", "1/0", "a/2", "-1/2", "1/2/3"}) {
        const ShardParse parsed = parseShard(shard);
        EXPECT_NE(parsed.error.find("--shard " + shard + ":"), std::string::npos) << shard << ": " << parsed.error;
    }
    EXPECT_TRUE(parseShard("3/3").error.empty());
}

TEST(SweepPlan, TheFirstVariableChangesSlowestAndEveryCombinationComesOnce) {
    InstallationData base;
    base.lampFlux = 6.5;
    base.photometryFile = "eulumdat.ldt";
    std::vector<Variable> variables;
    for (const std::string a : {"height=6:8:1", "surface=C1,C2", "spacing=20,25"}) variables.push_back(*parseVary(a).variable);
    const Plan plan(base, variables);
    ASSERT_EQ(plan.count(), 12u);
    std::uint64_t k = 0;
    for (double height : {6.0, 7.0, 8.0}) {
        for (const std::string surface : {"C1", "C2"}) {
            for (double spacing : {20.0, 25.0}) {
                const InstallationData d = plan.combination(k++);
                EXPECT_EQ(d.poleHeight, height);
                EXPECT_EQ(d.surfaceClass, surface);
                EXPECT_EQ(d.spacing, spacing);
                EXPECT_EQ(d.lampFlux, 6.5);  // what is not varied stays as the base has it
                EXPECT_EQ(d.photometryFile, "eulumdat.ldt");
            }
        }
    }
    EXPECT_EQ(Plan(base, {}).count(), 1u);
    // The count saturates instead of wrapping round.
    const Variable wide = *parseVary("flux=0:99.99:0.01").variable;  // 10000 values
    EXPECT_EQ(Plan(base, {wide, wide, wide, wide, wide}).count(), std::numeric_limits<std::uint64_t>::max());
}

TEST(SweepShards, SlicesFollowEachOtherAndCoverEveryCombinationOnce) {
    const std::uint64_t huge = std::numeric_limits<std::uint64_t>::max();
    for (std::uint64_t count : {std::uint64_t{0}, std::uint64_t{1}, std::uint64_t{7}, std::uint64_t{1000003}, huge}) {
        for (std::uint64_t n : {1u, 2u, 3u, 7u, 16u}) {
            std::uint64_t next = 0;
            std::uint64_t smallest = huge;
            std::uint64_t largest = 0;
            for (std::uint64_t k = 1; k <= n; ++k) {
                const Slice s = shardSlice(count, k, n);
                EXPECT_EQ(s.begin, next) << count << " " << k << "/" << n;
                ASSERT_LE(s.begin, s.end);
                smallest = std::min(smallest, s.end - s.begin);
                largest = std::max(largest, s.end - s.begin);
                next = s.end;
            }
            EXPECT_EQ(next, count) << count << " in " << n;
            EXPECT_LE(largest - smallest, 1u) << count << " in " << n;
        }
    }
}

}  // namespace
}  // namespace vl::sweep
