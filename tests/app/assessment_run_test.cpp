// The lighting class assessment of whole runs: the file beside the report, the JSON section,
// the report and data file unchanged by it, and the options that are refused.
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>

#include "support/test_support.hpp"

namespace vl {
namespace {

using test::runProgram;

TEST(AssessmentRun, WritesItsFileAndJsonAndLeavesTheReportAlone) {
    test::ScratchDir dir;
    dir.copyAllBundled();
    dir.copyTestData("ldt/derived/strada_nogap.ldt", "eulumdat.ldt");
    ::setenv("VESPERLUMINAL_CLOCK", "20260101120000", 1);
    ASSERT_EQ(runProgram("--batch --start").status, 0);
    const std::string report = test::readFile("report_nocturne_202601011200.doc");
    const std::string data = test::readFile("outdat_nocturne_202601011200.doc");
    const test::ProgramResult r = runProgram("--batch --assess M6 --power 50 --hours 3650 --json r.json --start");
    ::unsetenv("VESPERLUMINAL_CLOCK");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(test::readFile("report_nocturne_202601011200.doc"), report);
    EXPECT_EQ(test::readFile("outdat_nocturne_202601011200.doc"), data);

    const std::string text = test::readFile("assessment_202601011200.txt");
    EXPECT_NE(text.find("Lighting class M6"), std::string::npos);
    EXPECT_NE(text.find("limiting edge"), std::string::npos);
    const auto doc = nlohmann::json::parse(test::readFile("r.json"));
    const auto& a = doc["assessment"];
    EXPECT_EQ(a["chosen_class"]["class"], "M6");
    // 50 W a luminaire, 3650 h, over the road and the two outside strips of one spacing.
    const auto& energy = a["energy_indicators"];
    EXPECT_DOUBLE_EQ(energy["system_power_w"].get<double>(), 50.0);
    EXPECT_NEAR(energy["annual_energy_consumption_indicator_wh_per_m2"].get<double>(),
                50.0 * 3650.0 / energy["area_m2"].get<double>(), 1e-9);
    EXPECT_GT(a["edge_illuminance_ratio"]["ratio"].get<double>(), 0.3);
}

TEST(AssessmentRun, RefusedOptionsRunNothing) {
    test::ScratchDir dir;
    dir.copyAllBundled();
    for (const std::string options : {"--assess M9", "--assess --power 0", "--assess --hours 9000",
                                      "--assess --profile 10@x", "--power 50"}) {
        const test::ProgramResult r = runProgram("--batch " + options + " --start");
        EXPECT_EQ(r.status, 64) << options;
        EXPECT_FALSE(r.err.empty()) << options;
    }
    EXPECT_EQ(runProgram("--assess").status, 64);  // needs --run or --batch
    bool wroteSomething = false;
    for (const auto& entry : std::filesystem::directory_iterator(".")) {
        wroteSomething = wroteSomething || entry.path().filename().string().rfind("report_", 0) == 0;
    }
    EXPECT_FALSE(wroteSomething);
}

}  // namespace
}  // namespace vl
