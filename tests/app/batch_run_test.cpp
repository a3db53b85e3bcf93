// The program run as a user runs it, in a scratch copy of the bundled installation.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/test_support.hpp"

namespace vl {
namespace {

namespace fs = std::filesystem;
using test::readLines;
using test::runProgram;


TEST(BatchRun, ReportHeadingAndInstallationEcho) {
    test::ScratchDir dir;
    dir.copyAllBundled();
    const auto run = test::runProgram("--batch --set flux=6.5 --start");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("Computation completed\n"), std::string::npos);
    // The form prints the report name (field 1013) after the run.
    EXPECT_NE(run.out.find("report_nocturne_"), std::string::npos);
}

TEST(BatchRun, FixedClockNamesTheFilesAndHeadsTheReport) {
    test::ScratchDir dir;
    dir.copyAllBundled();
    ::setenv("VESPERLUMINAL_CLOCK", "20060309081500", 1);
    const auto run = runProgram("--batch --start");
    ::unsetenv("VESPERLUMINAL_CLOCK");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("\nreport_nocturne_200603090815.doc\n"), std::string::npos);
    ASSERT_TRUE(fs::exists("report_nocturne_200603090815.doc"));
    ASSERT_TRUE(fs::exists("outdat_nocturne_200603090815.doc"));
    const auto report = readLines("report_nocturne_200603090815.doc");
    ASSERT_GT(report.size(), 40u);
    EXPECT_EQ(report[0], " ");
    EXPECT_EQ(report[1].size(), 81u);  // header.txt lines padded to 80
    EXPECT_EQ(report[6], " " + std::string(64, '-'));
    EXPECT_EQ(report[8], "                             REPORT");
    EXPECT_EQ(report[12], " " + std::string(22, ' '));
    EXPECT_EQ(report[15], " Creator:");
    EXPECT_EQ(report[26], " Date  20060309");
    EXPECT_EQ(report[27], " Time  0815");
    EXPECT_EQ(report[28], " Filename  report_nocturne_200603090815.doc        ");
    EXPECT_EQ(report[29], " ");
    EXPECT_EQ(report[30], "     ");
    EXPECT_EQ(report[32], " Input installation data:");
    EXPECT_EQ(report[34], " lamp flux (klm)                                     6.500");
    EXPECT_EQ(report[35], " road width (m)                                        7.0");
    EXPECT_EQ(report[36], " luminaire spacing (m)                                24.0");
    EXPECT_EQ(report[37], " luminaire overhang (m)                                2.5");
    EXPECT_EQ(report[38], " luminaire height (m)                                  7.0");
    EXPECT_EQ(report[39], " luminaire tilt (deg)                                  0.0");

    const auto data = readLines("outdat_nocturne_200603090815.doc");
    ASSERT_GT(data.size(), 10u);
    EXPECT_EQ(data[0], " " + std::string(54, '-'));
    EXPECT_EQ(data[2], "                     Vesperluminal Data Tables");
    EXPECT_EQ(data[9], " 20060309081500.0");

    // The Console echo comes after the thirteen banner lines, heading first.
    const auto& out = run.out;
    EXPECT_EQ(out.rfind(" @                  Vesperluminal                     @\n"), out.find(" @                  Vesperluminal"));
    EXPECT_NE(out.find(" Input installation data:\n     \n lamp flux (klm)"), std::string::npos);
    EXPECT_NE(out.find(" Output data written in file:   report_nocturne_200603090815.doc        \n Computation completed\n"),
              std::string::npos);
}

TEST(BatchRun, WrongGridChoiceStopsWithStatus1) {
    test::ScratchDir dir;
    dir.copyAllBundled();
    const auto run = runProgram("--batch --set grid=12 --start");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find(" wrong input grid choice\n"), std::string::npos);
    EXPECT_EQ(readLines("input_nocturne.dat").at(0).substr(52, 3), " 12");
}

TEST(BatchRun, MissingHeaderStopsAfterTheFirstReportLine) {
    test::ScratchDir dir;
    dir.copyAllBundled();
    fs::remove("header.txt");
    ::setenv("VESPERLUMINAL_CLOCK", "20060309081500", 1);
    const auto run = runProgram("--batch --start");
    ::unsetenv("VESPERLUMINAL_CLOCK");
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("header.txt"), std::string::npos);
    EXPECT_FALSE(fs::exists("header.txt"));  // opened as an existing file, never created
    EXPECT_EQ(readLines("report_nocturne_200603090815.doc").size(), 1u);
    EXPECT_FALSE(fs::exists("outdat_nocturne_200603090815.doc"));
}

TEST(BatchRun, RunOptionComputesThePreparedFileAndHelpNeverHangs) {
    test::ScratchDir dir;
    dir.copyAllBundled();
    EXPECT_EQ(runProgram("--run").status, 2);  // no input_nocturne.dat yet: created empty, read fails
    EXPECT_EQ(runProgram("--batch").status, 0);
    EXPECT_TRUE(fs::exists("input_nocturne.dat"));
    const auto run = runProgram("--run");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("Computation completed"), std::string::npos);
    EXPECT_EQ(runProgram("--help").status, 0);
    EXPECT_EQ(runProgram("--bogus").status, 64);
    EXPECT_EQ(runProgram("").status, 64);  // no terminal here: a hint, not a hang
}

}  // namespace
}  // namespace vl
