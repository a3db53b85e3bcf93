// Pictures of whole runs (--plots): the run's own files unchanged by them, and a folder that
// cannot be written ending the run after those files are complete.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/test_support.hpp"

namespace vl {
namespace {

using test::runProgram;

class PlotsRun : public ::testing::Test {
protected:
    void SetUp() override {
        dir_.copyAllBundled();
        ::setenv("VESPERLUMINAL_CLOCK", "20260101120000", 1);
        const test::ProgramResult probe = runProgram("--batch --plots probe");
        if (probe.status == 64 && probe.err.find("without its pictures") != std::string::npos) {
            GTEST_SKIP() << "the program was built without its pictures (cairo missing)";
        }
    }
    void TearDown() override { ::unsetenv("VESPERLUMINAL_CLOCK"); }
    test::ScratchDir dir_;
};

TEST_F(PlotsRun, DrawsEveryPictureAndLeavesTheRunsFilesAlone) {
    ASSERT_EQ(runProgram("--batch --set tilt=10 --start").status, 0);
    const std::string report = test::readFile("report_nocturne_202601011200.doc");
    const std::string data = test::readFile("outdat_nocturne_202601011200.doc");
    const test::ProgramResult r = runProgram("--batch --set tilt=10 --plots plots --start");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(test::readFile("report_nocturne_202601011200.doc"), report);
    EXPECT_EQ(test::readFile("outdat_nocturne_202601011200.doc"), data);
    for (const char* name : {"luminance_at_infinity", "luminance_observer1", "luminance_observer2",
                             "horizontal_illuminance", "hemispherical_illuminance", "semicylindrical_illuminance",
                             "vertical_illuminance", "veiling_luminance", "glare_rating", "polar_intensity",
                             "luminance_by_azimuth", "upward_intensity_by_elevation"}) {
        EXPECT_TRUE(std::filesystem::exists(std::string("plots/") + name + ".png")) << name;
        EXPECT_TRUE(std::filesystem::exists(std::string("plots/") + name + ".svg")) << name;
    }
    const std::string page = test::readFile("plots/index.html");
    EXPECT_NE(page.find("polar_intensity.png"), std::string::npos);
}

TEST_F(PlotsRun, AFolderThatCannotBeWrittenEndsTheRunAfterItsFiles) {
    dir_.write("blocked", "a file where the folder should go\n");
    const test::ProgramResult r = runProgram("--batch --plots blocked/plots --start");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("blocked"), std::string::npos) << r.err;
    // The run's own files are complete: the closing line came before the stop.
    EXPECT_NE(r.out.find("Output data written in file"), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists("outdat_nocturne_202601011200.doc"));
    EXPECT_EQ(runProgram("--plots x").status, 64);  // needs --run or --batch
}

}  // namespace
}  // namespace vl
