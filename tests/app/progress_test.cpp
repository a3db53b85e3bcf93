// The progress of a long run: nothing before its delay, a few lines a second after it,
// cleared at the end; nothing at all when standard error is not a terminal.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "app/progress.hpp"

namespace vl {
namespace {

TEST(Progress, ShownAfterItsDelayThenCleared) {
    std::vector<std::string> shown;
    {
        ProgressDisplay quiet([&shown](const std::string& t) { shown.push_back(t); }, std::chrono::hours(1));
        quiet.update("road lighting", 0.5);
    }
    EXPECT_TRUE(shown.empty());  // a short run shows nothing, and clears nothing
    {
        ProgressDisplay display([&shown](const std::string& t) { shown.push_back(t); }, std::chrono::milliseconds(0));
        display.update("road lighting", 0.426);
        display.update("road lighting", 0.427);  // too soon after the last line
    }
    EXPECT_EQ(shown, (std::vector<std::string>{"road lighting 42 %", ""}));
    EXPECT_EQ(ProgressDisplay::text("light pollution", 1.5), "light pollution 100 %");
    EXPECT_EQ(ProgressDisplay::text("x", -1.0), "x 0 %");
}

TEST(Progress, NothingWhenStandardErrorIsNoTerminal) {
    // The test runner's standard error is a pipe or a file.
    EXPECT_FALSE(standardErrorProgress());
}

}  // namespace
}  // namespace vl
