// What a new user meets first: the bundled default, the messages of bad inputs, the checks
// of scripted settings and the plausibility warnings.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <limits>

#include "app/plausibility.hpp"
#include "app/setting_check.hpp"
#include "support/test_support.hpp"

namespace vl {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::runProgram;

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// The bundled installation as a user gets it: the default run's energy section is that of a
// real LED street luminaire (10580 lm at 76.7 W), and its photometry reaches the zenith.
TEST(FirstHour, BundledDefaultRunsQuietlyWithABelievableLamp) {
    test::ScratchDir dir;
    dir.copyDefaultInstallation();
    const auto run = runProgram("--batch --start");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_TRUE(has(run.out, " evaluated for lamp L-IT1X-5P5-3000-140-\n")) << run.out;
    EXPECT_TRUE(has(run.out, " with lamp efficacy (including ballast)137.9 lm/w\n")) << run.out;
    EXPECT_TRUE(has(run.out, "Raw images for 3D plotting writted\n")) << run.out;
    EXPECT_TRUE(has(run.out, "Computation completed\n"));
}

// Item by item, what each bad input now says (standard error) while the Console and the
// files stay as they were.
TEST(FirstHour, MissingFilesSayTheyWereCreatedEmpty) {
    test::ScratchDir dir;
    dir.copyAllBundled();
    auto run = runProgram("--batch --set photometry=missing.ldt --start");
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(has(run.err, "file \"missing.ldt\": did not exist, so an empty file of that name now stands in its "
                             "place; line 1: expected header line 1, found the end of the file"))
        << run.err;
    EXPECT_EQ(fs::file_size("missing.ldt"), 0u);  // as the program always did

    run = runProgram("--batch --set surface=r3 --start");
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(has(run.err, "file \"SRT_r3\": did not exist")) << run.err;

    test::ScratchDir empty;
    run = runProgram("--run");
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(has(run.err, "file \"input_nocturne.dat\": did not exist, so an empty file of that name now stands "
                             "in its place; line 1: expected the lamp flux (a number), found the end of the file"))
        << run.err;
}

TEST(FirstHour, ReadErrorsAndTheGridRefusalSayWhatWasExpected) {
    test::ScratchDir dir;
    dir.copyAllBundled();
    dir.write("input_nocturne.dat", "   6.50   7.00  24.00   2.50   7.00   0.80   0.00 C2  x  eulumdat.ldt\n");
    auto run = runProgram("--run");
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "vesperluminal: file \"input_nocturne.dat\": line 1: expected the grid choice (an integer), "
                       "found \"x\"\n");

    dir.write("grid.dat", "title one\n1 10 c 6 c 60 1.5 0.25 0.75\ntitle four\n4 10 b 6 b 60 1.5 0.25 0.75\n");
    run = runProgram("--batch --set grid=12 --start");
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(has(run.out, " wrong input grid choice\n"));  // the Console's own text
    EXPECT_EQ(run.err, "vesperluminal: grid choice 12 is not one of 1 to 9; grid.dat holds the records 1, 4\n");
    run = runProgram("--batch --set grid=3 --start");
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(has(run.err, "line 5: expected grid record number 3, found the end of the file (the file has 4 lines)"))
        << run.err;
}

// A --set that is not taken whole is named with what was stored; the run is the one the
// stored value gives, byte for byte.
TEST(FirstHour, ScriptedSettingsSayWhatTheyStored) {
    test::ScratchDir dir;
    dir.copyAllBundled();
    ::setenv("VESPERLUMINAL_CLOCK", "20260101120000", 1);
    const auto typedWithComma = runProgram("--batch --set flux=6,5 --set 1015=3 --start");
    const std::string report = readFile("report_nocturne_202601011200.doc");
    const auto typedPlainly = runProgram("--batch --set flux=6 --start");
    ::unsetenv("VESPERLUMINAL_CLOCK");
    ASSERT_EQ(typedWithComma.status, 0) << typedWithComma.err;
    EXPECT_EQ(typedWithComma.out, typedPlainly.out);
    EXPECT_EQ(readFile("report_nocturne_202601011200.doc"), report);
    EXPECT_EQ(typedPlainly.err, "");
    EXPECT_TRUE(has(typedWithComma.err, "warning: --set 1015=3: 1015 is no input field")) << typedWithComma.err;
    EXPECT_TRUE(has(typedWithComma.err, "warning: --set flux=6,5: not taken whole: a comma ends the item (the decimal "
                                        "sign is a point): \"6\" taken, \",5\" left over; input_nocturne.dat holds 6.00"))
        << typedWithComma.err;

    const auto kept = runProgram("--batch --set flux=abc --set 'height=7 m' --set tilt=5deg");
    EXPECT_EQ(kept.status, 0);
    EXPECT_TRUE(has(kept.err, "--set flux=abc: not taken whole: \"abc\" is not a number: the field keeps its value; "
                              "input_nocturne.dat holds 6.50"))
        << kept.err;
    EXPECT_TRUE(has(kept.err, "--set height=7 m: not taken whole: \"7\" taken, \"m\" left over (units are not written)"));
    EXPECT_TRUE(has(kept.err, "--set tilt=5deg: not taken whole: \"5deg\" is not a number (units are not written)"));

    // --strict: each is an error, status 64, and nothing runs (not even the form's first store).
    fs::remove("input_nocturne.dat");
    const auto strict = runProgram("--batch --strict --set flux=6,5 --set width=1000 --set 1015=3 --start");
    EXPECT_EQ(strict.status, 64);
    EXPECT_EQ(strict.out, "");
    EXPECT_FALSE(fs::exists("input_nocturne.dat"));
    EXPECT_TRUE(has(strict.err, "--set width=1000: not taken whole: \"1000\" fills its whole 7-character column of "
                                "input_nocturne.dat and joins the field before it"))
        << strict.err;
    EXPECT_TRUE(has(strict.err, "--set 1015=3: not taken whole: 1015 is no input field"));
    EXPECT_TRUE(has(strict.err, "nothing was run (--strict)"));
    EXPECT_EQ(runProgram("--batch --strict --set flux=6.5 --set grid=3").status, 0);
}

TEST(FirstHour, SettingProblemsOfEachKindOfField) {
    EXPECT_TRUE(settingProblems(1001, "6.5").empty());
    EXPECT_TRUE(settingProblems(1001, "  1.5e1  ").empty());
    EXPECT_TRUE(settingProblems(1001, "1000").empty());  // the line's first column may be full
    EXPECT_EQ(settingProblems(1001, "10000"),
              std::vector<std::string>{"\"10000\" is too wide for its 7-character column of input_nocturne.dat "
                                       "(written \"*******\")"});
    EXPECT_EQ(settingProblems(1008, "-400").size(), 1u);
    EXPECT_TRUE(settingProblems(1008, "-99.99").empty());
    EXPECT_EQ(settingProblems(1011, ""), std::vector<std::string>{"no number: the field keeps its value"});
    EXPECT_EQ(settingProblems(1011, ",0.8"), std::vector<std::string>{"no number: the field keeps its value"});
    EXPECT_EQ(settingProblems(1021, "2.5"), std::vector<std::string>{"\"2.5\" is cut to the whole number 2.0"});
    EXPECT_EQ(settingProblems(1021, "100").size(), 1u);
    EXPECT_TRUE(settingProblems(1021, "-9").empty());
    EXPECT_TRUE(settingProblems(1012, "R3").empty());
    EXPECT_EQ(settingProblems(1012, "R3x"), std::vector<std::string>{"\"R3x\" is cut to its first 2 characters"});
    EXPECT_TRUE(settingProblems(1010, "'my file.ldt'").empty());
    EXPECT_EQ(settingProblems(1010, "my file.ldt"),
              std::vector<std::string>{"\"my\" taken, \"file.ldt\" left over (units are not written)"});
    EXPECT_EQ(settingProblems(1010, "a_name_of_21_chars.ld").size(), 1u);
    EXPECT_EQ(settingProblems(1013, "x").size(), 1u);  // the report name is no input
}

// The warnings go to standard error only: the Console and the files carry none of them.
TEST(FirstHour, ImplausibleInputsWarnOnStandardErrorOnly) {
    test::ScratchDir dir;
    dir.copyAllBundled();
    const auto run = runProgram("--batch --set height=-7 --set maintenance=1.5 --start");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "vesperluminal: warning: pole height -7 m is not above 0\n"
                       "vesperluminal: warning: maintenance factor 1.5 is outside 0 < q <= 1\n"
                       "vesperluminal: warning: 62 figures of this run are not finite (NaN or infinite; the files "
                       "write them as NaN, Infinity or asterisks): 62 in road lighting\n");
    for (const auto& entry : fs::directory_iterator(".")) {
        if (entry.path().extension() == ".doc") {
            EXPECT_FALSE(has(readFile(entry.path()), "warning")) << entry.path();
        }
    }
    EXPECT_FALSE(has(run.out, "warning"));
    EXPECT_FALSE(has(run.out, "q <= 1"));
}

TEST(FirstHour, PlausibilityBounds) {
    InstallationData d = test::defaultInstallation();
    GridChoice record;
    record.gridNumber = 1;
    record.observer1Offset = 0.25;
    record.observer2Offset = 0.75;
    EXPECT_TRUE(plausibilityWarnings(d, &record).empty());
    auto count = [&](InstallationData changed, const GridChoice* r = nullptr) {
        return plausibilityWarnings(changed, r).size();
    };
    // Each rule at its edge: inside gives nothing, outside one warning.
    auto with = [&](auto member, double value) {
        InstallationData c = d;
        c.*member = value;
        return c;
    };
    using D = InstallationData;
    EXPECT_EQ(count(with(&D::maintenanceFactor, 1.0)), 0u);
    EXPECT_EQ(count(with(&D::maintenanceFactor, 1.0001)), 1u);
    EXPECT_EQ(count(with(&D::maintenanceFactor, 0.0)), 1u);
    EXPECT_EQ(count(with(&D::maintenanceFactor, std::numeric_limits<double>::quiet_NaN())), 1u);
    EXPECT_EQ(count(with(&D::poleHeight, 0.0)), 1u);
    EXPECT_EQ(count(with(&D::roadWidth, 0.0)), 1u);
    EXPECT_EQ(count(with(&D::lampFlux, -6.0)), 1u);
    EXPECT_EQ(count(with(&D::tilt, -90.0)), 0u);
    EXPECT_EQ(count(with(&D::tilt, 90.5)), 1u);
    EXPECT_EQ(count(with(&D::overhang, -7.0)), 0u);  // one road width behind the kerb
    EXPECT_EQ(count(with(&D::overhang, -7.5)), 1u);
    EXPECT_EQ(count(with(&D::overhang, 14.0)), 0u);
    EXPECT_EQ(count(with(&D::overhang, 14.5)), 1u);
    GridChoice off = record;
    off.observer2Offset = 1.2;
    EXPECT_EQ(count(d, &off), 1u);
    EXPECT_EQ(count(d, &record), 0u);
}

}  // namespace
}  // namespace vl
